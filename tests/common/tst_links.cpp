#include <QTest>

#include "FakeShell.h"
#include "common/Links.h"
#include "common/MessageBox.h"

using namespace kivora;

class TestLinks : public QObject {
    Q_OBJECT

    int shown_ = 0;

private slots:
    void init() {
        shown_ = 0;
        MessageBox::SetHandler([this](const MessageBox::Message&) { ++shown_; });
    }
    void cleanup() { MessageBox::ClearHandler(); }

    void SendSupportMail_eachClick_asksForNewMail() {
        FakeShell shell;
        SendSupportMail(shell);
        SendSupportMail(shell);
        const QString mail = QStringLiteral("mailto:support@kivora.example");
        QCOMPARE(shell.targets, QStringList({mail, mail}));
    }

    void OpenWebPage_address_getsSchemeWhenItHasNone_data() {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("target");
        QTest::newRow("the program's page")
            << kWebPage << QStringLiteral("https://www.kivora.example/lotto");
        QTest::newRow("https") << QStringLiteral("https://a.example/x")
                               << QStringLiteral("https://a.example/x");
        QTest::newRow("http") << QStringLiteral("http://a.example")
                              << QStringLiteral("http://a.example");
        QTest::newRow("host and port") << QStringLiteral("localhost:8080/lotto")
                                       << QStringLiteral("https://localhost:8080/lotto");
        QTest::newRow("mailto") << QStringLiteral("mailto:a@b.example")
                                << QStringLiteral("mailto:a@b.example");
    }
    void OpenWebPage_address_getsSchemeWhenItHasNone() {
        QFETCH(QString, address);
        QFETCH(QString, target);
        FakeShell shell;
        OpenWebPage(shell, address);
        QCOMPARE(shell.targets, QStringList{target});
    }

    void Links_shellFails_nothingIsShown_data() {
        QTest::addColumn<int>("result");
        QTest::newRow("out of resources") << Shell::kOutOfResources;
        QTest::newRow("no association") << Shell::kNoAssociation;
    }
    void Links_shellFails_nothingIsShown() {
        QFETCH(int, result);
        FakeShell shell(result);
        SendSupportMail(shell);
        OpenWebPage(shell, kWebPage);
        QCOMPARE(shell.targets.size(), 2);
        QCOMPARE(shown_, 0);
    }
};

QTEST_MAIN(TestLinks)
#include "tst_links.moc"
