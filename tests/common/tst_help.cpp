#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "common/DesktopShell.h"
#include "common/Help.h"
#include "common/Links.h"
#include "common/MessageBox.h"

using namespace kivora;

// Records what it is asked to open and answers with result.
struct FakeShell final : Shell {
    int result = kOpened;
    QStringList targets;
    int Open(const QString& target) override { return targets.append(target), result; }
};

class TestHelp : public QObject {
    Q_OBJECT

    QStringList shown_; // the texts of the messages, marked when they came with an icon

private slots:
    void init() {
        shown_.clear();
        MessageBox::SetHandler([this](const MessageBox::Message& m) {
            shown_ << (m.icon == QMessageBox::NoIcon ? m.text : "<icon> " + m.text);
        });
    }

    // "/" is a root folder here, "C:/" on Windows: either way a single separator.
    void HelpFilePath_folderOrRoot_addsOneSeparator() {
        QCOMPARE(HelpFilePath(QStringLiteral("/opt/kivora")),
                 QDir::toNativeSeparators("/opt/kivora/" + kHelpFileName));
        QCOMPARE(HelpFilePath(QDir::rootPath()),
                 QDir::toNativeSeparators(QDir::rootPath() + kHelpFileName));
    }

    void ShowHelp_shellResult_showsItsMessageWithoutIcon_data() {
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("message"); // empty: no message
        const QString cannotLoad = "Couldn't load help file " + kHelpFileName;
        QTest::newRow("0") << 0 << QStringLiteral("Operating system out of memory");
        QTest::newRow("1") << 1 << cannotLoad;
        QTest::newRow("2") << 2 << "Help file " + kHelpFileName + " not found";
        QTest::newRow("3") << 3 << QStringLiteral("Path not found");
        QTest::newRow("4") << 4 << cannotLoad;
        QTest::newRow("31") << 31 << cannotLoad;
        QTest::newRow("32") << 32 << cannotLoad;
        QTest::newRow("33") << 33 << QString();
        QTest::newRow("-1") << -1 << QString();
    }
    void ShowHelp_shellResult_showsItsMessageWithoutIcon() {
        QFETCH(int, result);
        QFETCH(QString, message);
        FakeShell shell;
        shell.result = result;
        ShowHelp(nullptr, shell, QStringLiteral("/opt/kivora"));
        QCOMPARE(shell.targets, QStringList{HelpFilePath(QStringLiteral("/opt/kivora"))});
        QCOMPARE(shown_, message.isEmpty() ? QStringList() : QStringList{message});
    }

    // A folder of its own stands for the program's, so a help file that the build puts beside
    // the tests cannot change the outcome.
    void ShowHelp_desktopShellHelpMissing_namesWhatIsMissing_data() {
        QTest::addColumn<QString>("subfolder");
        QTest::addColumn<QString>("message");
        QTest::newRow("file") << QString() << "Help file " + kHelpFileName + " not found";
        QTest::newRow("folder") << QStringLiteral("gone") << QStringLiteral("Path not found");
    }
    void ShowHelp_desktopShellHelpMissing_namesWhatIsMissing() {
        QFETCH(QString, subfolder);
        QFETCH(QString, message);
        QTemporaryDir program;
        DesktopShell shell;
        ShowHelp(nullptr, shell, program.filePath(subfolder));
        QCOMPARE(shown_, QStringList{message});
    }

    void ShowHelp_helpFilePresent_opensItSilently() {
        QTemporaryDir program;
        QVERIFY(QFile(program.filePath(kHelpFileName)).open(QIODevice::WriteOnly));
        FakeShell shell;
        ShowHelp(nullptr, shell, program.path());
        QCOMPARE(shell.targets, QStringList{HelpFilePath(program.path())});
        QVERIFY(shown_.isEmpty());
    }

    // One help page on every platform: the build puts it beside the program (and beside this
    // test), and that is the file Help asks for and names in its messages.
    void ShowHelp_builtHelpPage_isTheFileLookedFor() {
        QCOMPARE(kHelpFileName, QStringLiteral("KV.html"));
        QVERIFY(QFile::exists(HelpFilePath(QCoreApplication::applicationDirPath())));
        QTemporaryDir empty;
        DesktopShell shell;
        ShowHelp(nullptr, shell, empty.path());
        QCOMPARE(shown_, QStringList{QStringLiteral("Help file KV.html not found")});
    }

    // The links' failures (no mail program, no browser) go unreported.
    void Links_clicked_openAddressesSilently() {
        FakeShell shell;
        shell.result = Shell::kNoAssociation;
        SendSupportMail(shell);
        OpenWebPage(shell, kWebPage);
        QCOMPARE(shell.targets, QStringList({QStringLiteral("mailto:support@kivora.example"),
                                             QStringLiteral("https://www.kivora.example/lotto")}));
        QVERIFY(shown_.isEmpty());
    }
};

QTEST_MAIN(TestHelp)
#include "tst_help.moc"
