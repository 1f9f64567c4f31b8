#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>

#include "common/DesktopShell.h"
#include "common/Help.h"
#include "common/Links.h"
#include "common/MessageBox.h"
#include "common/UserSeedLocale.h"
#include "engine/Seed.h"

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

    // The Date seed's offset in the user's own formats: the first five characters of the short
    // date, less "/", read as a number as that user writes numbers; -1 for no number (seed 0).
    void UserSeedLocale_localeAndDate_readsDateAsTheUserWritesNumbers_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("offset");
        const QDate april(2009, 4, 27), january(2009, 1, 5);
        QTest::newRow("en_US") << "en_US" << april << "4/27/2009" << 427;
        QTest::newRow("en_US, year digit") << "en_US" << january << "1/5/2009" << 152;
        QTest::newRow("en_GB") << "en_GB" << april << "27/04/2009" << 2704;
        QTest::newRow("ja_JP") << "ja_JP" << april << "2009/04/27" << 2009;
        // A point that is no decimal point in that format reads no number.
        QTest::newRow("de_DE") << "de_DE" << april << "27.04.2009" << -1;
        QTest::newRow("fi_FI") << "fi_FI" << april << "27.4.2009" << -1;
        QTest::newRow("de_CH, point is decimal") << "de_CH" << april << "27.04.2009" << 27;
        QTest::newRow("nl_NL") << "nl_NL" << april << "27-04-2009" << -1;
        QTest::newRow("C") << "C" << april << "27 Apr 2009" << -1;
    }
    void UserSeedLocale_localeAndDate_readsDateAsTheUserWritesNumbers() {
        QFETCH(QString, locale);
        QFETCH(QDate, date);
        QFETCH(QString, text);
        QFETCH(int, offset);
        const QLocale previous;
        QLocale::setDefault(QLocale(locale));
        const UserSeedLocale user;
        const CalendarDate day{date.year(), date.month(), date.day()};
        const std::string written = user.ShortDateText(day);
        const std::optional<int32_t> read = DateSeedOffset(day, user);
        QLocale::setDefault(previous);
        QCOMPARE(QString::fromStdString(written), text);
        QCOMPARE(read.value_or(-1), offset);
    }

    // What no format reads is no number: only digits, one sign and blanks pass the plain reading.
    void UserSeedLocale_text_readsOnlyNumbersOfTheUserOrPlain_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<double>("number"); // -1000: none
        QTest::newRow("de_DE comma") << "de_DE" << QByteArray("27,5") << 27.5;
        QTest::newRow("de_DE point") << "de_DE" << QByteArray("27.04") << -1000.0;
        QTest::newRow("de_DE digits") << "de_DE" << QByteArray(" -0427 ") << -427.0;
        QTest::newRow("en_US point") << "en_US" << QByteArray("4.27") << 4.27;
        QTest::newRow("fr_FR signed digits") << "fr_FR" << QByteArray("+12") << 12.0;
        QTest::newRow("fr_FR point") << "fr_FR" << QByteArray("4.27") << -1000.0;
        QTest::newRow("fr_FR two signs") << "fr_FR" << QByteArray("--4") << -1000.0;
        QTest::newRow("fr_FR blank inside") << "fr_FR" << QByteArray("4 27x") << -1000.0;
        QTest::newRow("fr_FR empty") << "fr_FR" << QByteArray("  ") << -1000.0;
    }
    void UserSeedLocale_text_readsOnlyNumbersOfTheUserOrPlain() {
        QFETCH(QString, locale);
        QFETCH(QByteArray, text);
        QFETCH(double, number);
        const QLocale previous;
        QLocale::setDefault(QLocale(locale));
        const std::optional<double> read = UserSeedLocale().ReadNumber(text.toStdString());
        QLocale::setDefault(previous);
        QCOMPARE(read.value_or(-1000.0), number);
    }
};

QTEST_MAIN(TestHelp)
#include "tst_help.moc"
