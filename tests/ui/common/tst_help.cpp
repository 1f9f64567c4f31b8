#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>

#include "common/Csv.h"
#include "common/UserSeedLocale.h"
#include "engine/Seed.h"
#include "support/FakeShell.h"
#include "ui/common/DesktopShell.h"
#include "ui/common/Help.h"
#include "ui/common/MessageBox.h"

using namespace kivora;

using test::FakeShell;

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
    void cleanup() { QLocale::setDefault(QLocale::system()); }

    // Each result of the shell its message, without an icon; above 32 none.
    void ShowHelp_shellResult_showsItsMessageWithoutIcon() {
        QStringList seen;
        for (const int result : {0, 1, 2, 3, 4, 32, 33, -1}) {
            FakeShell shell(result);
            ShowHelp(nullptr, shell, QStringLiteral("/opt/kivora"));
            QCOMPARE(shell.targets, QStringList{QDir::toNativeSeparators("/opt/kivora/KV.html")});
            seen << QString::number(result) + ' ' + shown_.join('|');
            shown_.clear();
        }
        const QString cannotLoad = " Couldn't load help file KV.html";
        QCOMPARE(seen, QStringList({"0 Operating system out of memory", "1" + cannotLoad,
                                    "2 Help file KV.html not found", "3 Path not found",
                                    "4" + cannotLoad, "32" + cannotLoad, "33 ", "-1 "}));
    }

    // A folder of its own stands for the program's, so the help page the build puts beside the
    // tests (the one file on every platform, named in the message) cannot change the outcome.
    void ShowHelp_desktopShellHelpMissing_namesWhatIsMissing() {
        QVERIFY(QFile::exists(HelpFilePath(QCoreApplication::applicationDirPath())));
        QTemporaryDir program;
        DesktopShell shell;
        ShowHelp(nullptr, shell, program.path());
        ShowHelp(nullptr, shell, program.filePath(QStringLiteral("gone")));
        QCOMPARE(shown_, QStringList({QStringLiteral("Help file KV.html not found"),
                                      QStringLiteral("Path not found")}));
    }

    // The page tells of the keys and notices the program has, in the desktop's colour scheme.
    void helpPage_shipped_tellsKeysNoticesAndDarkScheme() {
        QFile page(QStringLiteral(KIVORA_HELP_PAGE));
        QVERIFY(page.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(page.readAll());
        for (const QString part :
             {"(prefers-color-scheme: dark)", "<kbd>Menu</kbd>", "<kbd>Shift</kbd>+<kbd>F10</kbd>",
              "<kbd>Ctrl</kbd>+<kbd>C</kbd>", "Save tickets as\u2026",
              "Your tickets are waiting in the print queue: the printer is paused or holds the "
              "job."}) {
            QVERIFY2(text.contains(part), qPrintable(part));
        }
    }

    // A field is quoted only when it must be, and a quote inside it is doubled.
    void CsvField_text_quotedOnlyWhenNeeded() {
        QStringList fields;
        for (const QString text : {"7", "Zoë", "a,b", "say \"hi\"", "two\nlines"}) {
            fields << CsvField(text);
        }
        QCOMPARE(fields.join('|'), "7|Zoë|\"a,b\"|\"say \"\"hi\"\"\"|\"two\nlines\"");
    }

    // The Date seed's offset in the user's own formats: the first five characters of the short
    // date of 27 April 2009, less "/", read as a number as that user writes numbers; -1 for no
    // number (seed 0). In de_DE the point is no decimal point: no number. What no format reads
    // is none: only digits, one sign and blanks pass the plain reading.
    void UserSeedLocale_localeAndText_readsNumbersAsTheUserWritesThem() {
        QStringList seen;
        for (const char* locale : {"en_US", "ja_JP", "de_DE", "de_CH", "C"}) {
            QLocale::setDefault(QLocale(locale));
            const UserSeedLocale user;
            const CalendarDate day{2009, 4, 27};
            seen << QString::fromStdString(user.ShortDateText(day)) + ' ' +
                        QString::number(DateSeedOffset(day, user).value_or(-1));
        }
        for (const char* row : {"de_DE|27,5", "de_DE| -0427 ", "en_US|4.27", "fr_FR|--4",
                                "fr_FR|4 27x", "fr_FR|  "}) {
            QLocale::setDefault(QLocale(QString(row).section('|', 0, 0)));
            const auto number =
                UserSeedLocale().ReadNumber(QString(row).section('|', 1).toStdString());
            seen << (number ? QString::number(*number) : "none");
        }
        QCOMPARE(seen,
                 QStringList({"4/27/2009 427", "2009/04/27 2009", "27.04.2009 -1", "27.04.2009 27",
                              "27 Apr 2009 -1", "27.5", "-427", "4.27", "none", "none", "none"}));
    }
};

QTEST_MAIN(TestHelp)
#include "tst_help.moc"
