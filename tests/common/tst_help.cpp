#include <limits>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "FakeShell.h"
#include "common/DesktopShell.h"
#include "common/Help.h"
#include "common/MessageBox.h"

using namespace kivora;

class TestHelp : public QObject {
    Q_OBJECT

    QList<MessageBox::Message> shown_;

private slots:
    void init() {
        shown_.clear();
        MessageBox::SetHandler([this](const MessageBox::Message& m) { shown_.append(m); });
    }
    void cleanup() { MessageBox::ClearHandler(); }

    void HelpFilePath_programFolder_addsOneSeparator_data() {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("path");
        const QString file = QDir::separator() + kHelpFileName;
        QTest::newRow("folder") << QStringLiteral("/opt/kivora")
                                << QDir::toNativeSeparators(QStringLiteral("/opt/kivora")) + file;
        QTest::newRow("blanks") << QStringLiteral("/opt/Lotto Kivora")
                                << QDir::toNativeSeparators(QStringLiteral("/opt/Lotto Kivora")) +
                                       file;
        QTest::newRow("trailing separator")
            << QStringLiteral("/opt/kivora/")
            << QDir::toNativeSeparators(QStringLiteral("/opt/kivora")) + file;
        // "/" here, "C:/" on Windows: either way a single separator.
        QTest::newRow("root") << QDir::rootPath()
                              << QDir::toNativeSeparators(QDir::rootPath()) + kHelpFileName;
    }
    void HelpFilePath_programFolder_addsOneSeparator() {
        QFETCH(QString, folder);
        QFETCH(QString, path);
        QCOMPARE(HelpFilePath(folder), path);
    }

    void ShowHelp_programFolder_asksShellForHelpFile() {
        FakeShell shell;
        const QString folder = QCoreApplication::applicationDirPath();
        ShowHelp(nullptr, shell, folder);
        QCOMPARE(shell.targets,
                 QStringList{QDir::toNativeSeparators(folder + u'/' + kHelpFileName)});
    }

    void ShowHelp_shellResult_showsItsMessage_data() {
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("message"); // empty: no message
        const QString cannotLoad = QStringLiteral("Couldn't load help file ") + kHelpFileName;
        QTest::newRow("0 out of memory") << 0 << QStringLiteral("Operating system out of memory");
        QTest::newRow("1 other failure") << 1 << cannotLoad;
        QTest::newRow("2 file not found")
            << 2 << QStringLiteral("Help file ") + kHelpFileName + QStringLiteral(" not found");
        QTest::newRow("3 path not found") << 3 << QStringLiteral("Path not found");
        QTest::newRow("4 first other failure") << 4 << cannotLoad;
        QTest::newRow("31 no association") << 31 << cannotLoad;
        QTest::newRow("32 last failure") << 32 << cannotLoad;
        QTest::newRow("33 opened") << 33 << QString();
        QTest::newRow("largest") << std::numeric_limits<int>::max() << QString();
        QTest::newRow("-1") << -1 << QString();
        QTest::newRow("smallest") << std::numeric_limits<int>::min() << QString();
    }
    void ShowHelp_shellResult_showsItsMessage() {
        QFETCH(int, result);
        QFETCH(QString, message);
        FakeShell shell(result);
        ShowHelp(nullptr, shell, QStringLiteral("/opt/kivora"));
        QCOMPARE(shell.targets.size(), 1);
        QCOMPARE(shown_.size(), message.isEmpty() ? 0 : 1);
        if (!message.isEmpty()) {
            QCOMPARE(shown_[0].text, message);
            QCOMPARE(shown_[0].title, QStringLiteral("Lotto Kivora"));
            QCOMPARE(shown_[0].icon, QMessageBox::NoIcon);
        }
    }

    // A folder of its own stands for the program's, so a help file that the build puts beside
    // the tests cannot change the outcome.
    void ShowHelp_desktopShellWithoutHelpFile_namesWhatIsMissing_data() {
        QTest::addColumn<QString>("subfolder");
        QTest::addColumn<QString>("message");
        QTest::newRow("file missing")
            << QString()
            << QStringLiteral("Help file ") + kHelpFileName + QStringLiteral(" not found");
        QTest::newRow("folder missing")
            << QStringLiteral("gone") << QStringLiteral("Path not found");
    }
    void ShowHelp_desktopShellWithoutHelpFile_namesWhatIsMissing() {
        QFETCH(QString, subfolder);
        QFETCH(QString, message);
        QTemporaryDir program;
        DesktopShell shell;
        ShowHelp(nullptr, shell, program.filePath(subfolder));
        QCOMPARE(shown_.size(), 1);
        QCOMPARE(shown_[0].text, message);
    }

    void ShowHelp_helpFilePresent_opensItSilently() {
        QTemporaryDir program;
        const QString file = program.filePath(kHelpFileName);
        QFile(file).open(QIODevice::WriteOnly);
        FakeShell shell;
        ShowHelp(nullptr, shell, program.path());
        QCOMPARE(shell.targets, QStringList{QDir::toNativeSeparators(file)});
        QVERIFY(shown_.isEmpty());
    }
};

QTEST_MAIN(TestHelp)
#include "tst_help.moc"
