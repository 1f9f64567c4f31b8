// The command line, read in-process and through the real program. Runs without a display:
// DISPLAY, WAYLAND_DISPLAY and QT_QPA_PLATFORM are all unset.
#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <sstream>

#include "cli/CommandLine.h"
#include "engine/Clock.h"
#include "engine/Generator.h"
#include "engine/SeedLocale.h"
#include "history/HistoryStore.h"
#include "support/Files.h"

using namespace kivora;

namespace {

struct FixedClock final : Clock {
    float TimeOfDaySeconds() const override { return 36000.25f; }
};

struct Outcome {
    int exitCode;
    QString out;
    QString err;
};

Outcome Run(const QStringList& options, const QByteArray& input = {},
            const QString& historyFolder = QStringLiteral("/nonexistent")) {
    Generator generator = Generator::FromSeed(7);
    FixedClock clock;
    PlainSeedLocale locale;
    std::istringstream in(input.toStdString());
    std::ostringstream out;
    std::ostringstream err;
    const int code = RunCommandLine(QStringList{QStringLiteral("kivora")} + options,
                                    {generator, clock, locale, historyFolder}, out, err, in);
    return {code, QString::fromStdString(out.str()), QString::fromStdString(err.str())};
}

} // namespace

class TestCommandLine : public QObject {
    Q_OBJECT

private slots:
    // --game reads the user's games file: never the real one.
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    // text: stdout on success, otherwise the error that follows "kivora: " on stderr.
    void RunCommandLine_arguments_printOrFailAsAsked_data() {
        QTest::addColumn<QString>("options");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("text");
        const auto row = [](const QString& options, int code, const QString& text) {
            QTest::newRow(options.isEmpty() ? "nothing" : qPrintable(options))
                << options << code << text;
        };
        const auto choice = [&](const QString& options, const QString& text) {
            row("--draw " + options, kChoiceError, text);
        };
        // Qt's own options reach the window.
        row("", kRunWindow, {});
        row("-geometry 400x300 -reverse", kRunWindow, {});
        row("-platform xcb -h", 0, UsageText());
        row("tickets.txt", kUsageError, "unexpected argument 'tickets.txt'.");
        row("--draw --tickets", kUsageError, "missing value after '--tickets'.");
        row("-frobnicate", kUsageError, "unknown option '-frobnicate'.");
        // Numbers and dates that cannot be read, whatever their range.
        for (const char* number : {"abc", "1e3", "0x5", "1.5", "+", "12345678901234567890", ""}) {
            row(QString("--draw --tickets=") + number, kUsageError,
                QString("--tickets takes a whole number; '%1' is not one.").arg(number));
        }
        for (const char* date : {"2024-01-01xyz", "2024-01-01T25:00", "2024-02-30", "24-01-01"}) {
            row(QString("--draw --based-on date --date ") + date, kUsageError,
                QString("--date takes a date written yyyy-mm-dd; '%1' is not one.").arg(date));
        }
        row("--history --since 2026-12-03xyz", kUsageError,
            "--since takes a date written yyyy-mm-dd, not '2026-12-03xyz'.");
        row("--tickets 5", kUsageError,
            "--tickets is a choice for --draw; the window keeps its own.");
        choice("--tickets 51", "--tickets takes 1 to 50, not 51.");
        choice("--bonus 1", "--bonus takes 2 to 99, not 1.");
        // Past 32 bits: no wrapping round into the range.
        row("--draw --numbers 4294967299", kUsageError,
            "--numbers takes a whole number; '4294967299' is not one.");
        // Numbers past the range are refused, never read as "none".
        choice("--include 20000", "--include takes 1 to 10 (the highest number), not 20000.");
        choice("--daily --exclude 10000", "--exclude takes 0 to 9 in a Daily game, not 10000.");
        choice("--daily --include 4 --exclude 4",
               "--include and --exclude name the same number (4); a number cannot be both on "
               "every ticket and off it.");
        choice("--daily --include-position 2",
               "--include-position places the number of --include; there is none.");
        choice("--daily --numbers 4 --include 3 --include-position 5",
               "--include-position takes 1 to 4 (the numbers per ticket), not 5.");
        choice("--daily --highest 49",
               "--highest is for a Lotto game; a Daily game draws digits from 0 to 9.");
        choice("--prefer odd", "--prefer takes low, high or mixed, not 'odd'.");
        choice("--game megamillions", "There is no game 'megamillions'; the closest ids are "
                                      "mega-millions. --list-games lists them all.");
        choice("--bonus-count 2", "--bonus-count is used with --bonus or a game with bonus "
                                  "numbers.");
        choice("--game pick3 --bonus 5",
               "--bonus is for a Lotto game; a Daily game has no bonus number.");
        choice("--bonus 2 --bonus-count 3", "The count of bonus numbers must be from 1 to 2, "
                                            "not 3.");
        row("--draw --list-games", kUsageError,
            "--draw, --check and --list-games go one at a time.");
        row("--check 1,2,3 --tickets 3", kUsageError,
            "--tickets is a choice for --draw, not for --check.");
        row("--check 1,2,3,4", kChoiceError,
            "the winning numbers cannot be read: 3/10 draws 3 numbers; the text holds 4 numbers.");
        choice("--based-on moon", "--based-on takes random, date, sign or name, not 'moon'.");
        choice("--based-on date --date 1600-12-31",
               "--date takes a date from 1601-01-01 to 9999-12-31, not 1600-12-31.");
        choice("--based-on sign --sign Ophiuchus",
               "--sign takes a zodiac sign from Aries to Pisces, not 'Ophiuchus'.");
        // Tickets at a fixed generator state and clock.
        row("--draw", 0, "3 6 10\n");
        row("--draw --tickets 3 --numbers 7 --highest 99 --bonus 9 --bonus-count 2 --csv", 0,
            "13,18,29,42,57,93,97,5,6\n5,29,32,54,65,82,95,8,9\n19,25,26,35,44,74,90,4,5\n");
        row("--draw --tickets 3 --numbers 6 --highest 49 --prefer HIGH --include 2", 0,
            "2 24 29 34 47 49\n2 19 27 29 44 46\n2 22 38 41 42 44\n");
        row("--draw --tickets 2 --numbers 7 --prefer low --exclude 5", 0,
            "1 2 3 4 6 7 8\n1 2 3 4 6 7 8\n");
        row("--draw --based-on date --date 1601-01-01", 0, "2 4 9\n");
        row("--draw --daily --tickets 3 --prefer low --include 8 --include-position 2", 0,
            "3 8 6\n2 8 6\n4 8 2\n");
    }
    void RunCommandLine_arguments_printOrFailAsAsked() {
        QFETCH(QString, options);
        QFETCH(int, code);
        QFETCH(QString, text);
        const Outcome outcome = Run(options.split(' ', Qt::SkipEmptyParts));
        QCOMPARE(outcome.exitCode, code);
        QCOMPARE(outcome.out, code <= 0 ? text : QString());
        // One line; a usage error points at --help instead of printing it.
        const QString usage = code == kUsageError ? "Try 'kivora --help'.\n" : QString();
        QCOMPARE(outcome.err, code <= 0 ? QString() : "kivora: " + text + "\n" + usage);
    }

    // The help as a reader sees it, in a terminal of 80 columns.
    void UsageText_golden_matchesAndFitsEightyColumns() {
        QFile golden(QFINDTESTDATA("usage.txt"));
        QVERIFY(golden.open(QIODevice::ReadOnly | QIODevice::Text));
        QCOMPARE(UsageText(), QString::fromUtf8(golden.readAll()));
        for (const QString& line : UsageText().split('\n')) {
            QVERIFY2(line.size() <= 80, qPrintable(line));
        }
    }

    // A game's draw, and tickets checked against its winning numbers: each ticket with its
    // result, then the tiers. (The lines of the window's saved CSV are read in tst_games.)
    void RunCommandLine_drawAndCheck_everyTicketResultedBadLinesNamed() {
        QCOMPARE(Run({"--draw", "--game", "euromillions", "--tickets", "3", "--csv"}).out,
                 "15,21,29,47,49,1,9\n32,35,39,42,46,1,5\n17,20,36,47,50,7,12\n");
        const Outcome plain = Run({"--check", "1 2 3 4 5 + 6 7", "--game", "euromillions"},
                                  "1 2 3 4 5 + 6 7\n4 5 6 7 8 + 1 6\n1 2 3 4 50 + 2 7\n");
        QCOMPARE(plain.out, "1 2 3 4 5 + 6 7: 5 + 2\n4 5 6 7 8 + 1 6: 2 + 1\n"
                            "1 2 3 4 50 + 2 7: 4 + 1\n\n5 + 2: 1 ticket\n4 + 1: 1 ticket\n"
                            "2 + 1: 1 ticket\nOnly the lottery's own results count.\n");
        // A line that is no ticket of the game is named by file and line and skipped, and so is
        // a file that cannot be read: status 2.
        QTemporaryDir dir;
        const QString file = dir.filePath("t.txt");
        QVERIFY(test::PutFile(file, "1\t2\t3\n\n4\t5\n7\t8\t9\n"));
        const Outcome outcome = Run({"--check", "1 2 3", file, dir.filePath("missing.txt")});
        QCOMPARE(outcome.exitCode, kChoiceError);
        QCOMPARE(outcome.out, "1 2 3: 3\n7 8 9: 0\n\n3: 1 ticket\n0: 1 ticket\n"
                              "Only the lottery's own results count.\n");
        QVERIFY2(outcome.err.startsWith("kivora: " + file +
                                        ", line 3: a 3/10 ticket has 3 numbers; skipped.\n"
                                        "kivora: " +
                                        dir.filePath("missing.txt") + " could not be read: "),
                 qPrintable(outcome.err));
    }

    void RunCommandLine_listGames_oneLinePerGame() {
        const QRegularExpression powerball(
            "^powerball +Powerball \\(United States\\) +5/69 \\+ 1/26 +from 2015-10-07$",
            QRegularExpression::MultilineOption);
        QVERIFY(Run({"--list-games"}).out.contains(powerball));
        const Outcome csv = Run({"--list-games", "--csv"});
        QVERIFY(csv.out.startsWith("id,name,region,rules,valid from\n"
                                   "powerball,Powerball,United States,5/69 + 1/26,2015-10-07\n"));
        QCOMPARE(csv.out.count('\n'), 26);
    }

    // Batches 1 to 3 drawn at noon on 1, 3 and 5 December, the second a preset's: each choice
    // prints the batches it keeps, newest first.
    void RunCommandLine_history_printsKeptBatchesNewestFirst() {
        QTemporaryDir folder;
        HistoryStore store(folder.path());
        for (int day : {1, 3, 5}) {
            HistoryBatch batch;
            batch.drawnUtc = QDateTime(QDate(2026, 12, day), QTime(12, 0), Qt::LocalTime).toUTC();
            batch.utcOffsetSeconds = 3600;
            batch.presetId = day == 3 ? QStringLiteral("powerball") : QString();
            batch.settings.numbersPerTicket = 6;
            batch.settings.highestNumber = 49;
            batch.tickets = {{{1, 2, 3, 4, 5, day}, std::nullopt}, {{7, 8, 9, 10, 11, 12}, 5}};
            QVERIFY(store.Add(batch).ok);
        }
        const auto run = [&](const QString& options) {
            return Run(("--history " + options).split(' ', Qt::SkipEmptyParts), {}, folder.path());
        };
        QStringList kept;
        for (const char* options :
             {"", "--since 2026-12-03", "--until 2026-12-03", "--game powerball", "--game keno"}) {
            kept << run(options)
                        .out.split('\n')
                        .filter(" batch ")
                        .replaceInStrings(QRegularExpression(".* batch (\\d+),.*"), "\\1")
                        .join(' ');
        }
        QCOMPARE(kept, QStringList({"3 2 1", "3 2", "2 1", "2", ""}));
        const QDateTime noon = QDateTime(QDate(2026, 12, 5), QTime(12, 0), Qt::LocalTime);
        const QString all = run("").out;
        QVERIFY2(all.startsWith(noon.toOffsetFromUtc(3600).toString("yyyy-MM-dd HH:mm:ss") +
                                "+01:00  Lotto 6/49  batch 3, 2 tickets\n  1 2 3 4 5 5\n"
                                "  7 8 9 10 11 12 + 5\n"),
                 qPrintable(all));
        const QStringList csv = run("--csv").out.split('\n');
        QCOMPARE(csv.size(), 7);
        QVERIFY2(csv[3].endsWith(",powerball,2,2,7,8,9,10,11,12,5"), qPrintable(csv[3]));
    }

    // A history from its start: reading a missing one creates nothing; --keep adds what --draw
    // printed, and --check --history reads it back with its batch (a 6/49 ticket kept beside
    // them is of another game and passed over); a damaged one is reported (and kept, as the
    // store's own tests show).
    void RunCommandLine_keepCheckAndDamage_historyAsKept() {
        QTemporaryDir folder;
        const auto run = [&](const QStringList& options) {
            return Run(options, {}, folder.path());
        };
        const Outcome missing = run({"--history"});
        QCOMPARE(std::pair(missing.exitCode, missing.out + missing.err), std::pair(0, QString()));
        QVERIFY(QDir(folder.path()).isEmpty());
        QCOMPARE(run({"--draw", "--tickets", "3", "--bonus", "9", "--keep"}).out,
                 "3 6 10 + 7\n1 7 9 + 2\n2 3 7 + 3\n");
        QCOMPARE(run({"--draw", "--numbers", "6", "--highest", "49", "--keep"}).exitCode, 0);
        const QString today = QDate::currentDate().toString(Qt::ISODate);
        QString checked =
            run({"--check", "1 2 3 + 4", "--bonus", "9", "--history", "--since", today}).out;
        checked.remove(QRegularExpression("^" + today + " \\d\\d:\\d\\d ",
                                          QRegularExpression::MultilineOption));
        QCOMPARE(checked, "batch 1: 3 6 10 + 7: 1\nbatch 1: 1 7 9 + 2: 1\nbatch 1: 2 3 7 + 3: 2\n\n"
                          "2: 1 ticket\n1: 2 tickets\nOnly the lottery's own results count.\n");
        QVERIFY(test::PutFile(folder.filePath("history.sqlite"), QByteArray(2200, 'x')));
        const Outcome read = run({"--history"});
        QCOMPARE(read.exitCode, kChoiceError);
        QVERIFY2(read.err.startsWith("kivora: The ticket history " +
                                     folder.filePath("history.sqlite") + " is damaged"),
                 qPrintable(read.err));
    }

    // The real program, where main() does its own part: the missing display, the exit codes and
    // a failed write ("> file": stdout goes to that file). Nothing lands in its settings folder.
    void program_withoutDisplay_printsOrFailsAndWritesNothing() {
        QTemporaryDir config;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
        QStringList seen; // exit code, stdout, stderr
        for (const QString options : {"", "--version", "--draw --tickets 50 > /dev/full"}) {
            QProcess process;
            process.setProcessEnvironment(environment);
            if (options.contains('>')) {
                process.setStandardOutputFile(options.section("> ", 1));
            }
            process.start(KIVORA_PROGRAM_PATH,
                          options.section(" >", 0, 0).split(' ', Qt::SkipEmptyParts));
            QVERIFY(process.waitForFinished(20000));
            QCOMPARE(process.exitStatus(), QProcess::NormalExit);
            seen << QString::number(process.exitCode()) + ' ' +
                        QString::fromLocal8Bit(process.readAllStandardOutput() +
                                               process.readAllStandardError());
        }
        QCOMPARE(seen, QStringList({"1 " + NoDisplayText() + "\n",
                                    "0 Lotto Kivora 2.6\nCopyright (C) 2009 Brandell\n",
                                    "1 kivora: the output could not be written.\n"}));
        QCOMPARE(QDir(config.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList());
    }

    // Whether Qt would find a display: the options, then the display variables that are set.
    void DisplayAvailable_platformAndEnvironment_judgeLikeQt() {
        QStringList seen;
        for (const char* row :
             {"|", "|DISPLAY=:0", "|WAYLAND_DISPLAY=wayland-0",
              "|QT_QPA_PLATFORM=xcb WAYLAND_DISPLAY=w", "|QT_QPA_PLATFORM=offscreen",
              "|QT_QPA_PLATFORM=wayland;xcb DISPLAY=:1", "-platform xcb|QT_QPA_PLATFORM=offscreen",
              "-platform xcb:nograb -display :5|", "--platform vnc|"}) {
            const QString set = ' ' + QString(row).section('|', 1) + ' ';
            const auto variable = [&](const char* name) {
                return set.section(QString(" %1=").arg(name), 1).section(' ', 0, 0);
            };
            seen << QString::number(DisplayAvailable(
                ("kivora " + QString(row).section('|', 0, 0)).split(' ', Qt::SkipEmptyParts),
                variable));
        }
        QCOMPARE(seen.join(""), "011011011");
    }
};
QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
