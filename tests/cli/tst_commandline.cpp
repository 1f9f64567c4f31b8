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

// The real program, without a display and with an empty settings folder of its own.
void Start(QProcess& process, const QTemporaryDir& config, const QStringList& options) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        environment.remove(QString::fromLatin1(name));
    }
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
    environment.insert(QStringLiteral("KIVORA_REPORT_STARTUP"), QStringLiteral("1"));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(KIVORA_PROGRAM_PATH), options);
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
        choice("--tickets -2147483648", "--tickets takes 1 to 50, not -2147483648.");
        // Past 16 and 32 bits: no wrapping round into the range.
        choice("--bonus 1", "--bonus takes 2 to 99, not 1.");
        choice("--bonus 65538", "--bonus takes 2 to 99, not 65538.");
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
        choice("--daily --bonus 10",
               "--bonus is for a Lotto game; a Daily game has no bonus number.");
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

    // low to high: the candidate range. column: where a Daily ticket holds the include digit;
    // -1 for Lotto, whose numbers are distinct and ascending. include, exclude: -1 for none.
    // bonus: the highest bonus number, 0 for none.
    void RunCommandLine_draw_ticketsFollowTheChoices_data() {
        QTest::addColumn<QString>("options");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("low");
        QTest::addColumn<int>("high");
        QTest::addColumn<int>("include");
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("exclude");
        QTest::addColumn<int>("bonus");
        const auto row = [](const char* options, int count, int size, int low, int high,
                            int include, int column, int exclude, int bonus) {
            QTest::newRow(*options ? options : "defaults")
                << QString(options) << count << size << low << high << include << column << exclude
                << bonus;
        };
        row("", 1, 3, 1, 10, -1, -1, -1, 0);
        row("--tickets 50 --numbers 7 --highest 99 --csv", 50, 7, 1, 99, -1, -1, -1, 0);
        row("--tickets 20 --numbers 7 --prefer low --exclude 5", 20, 7, 1, 8, -1, -1, 5, 0);
        row("--tickets 20 --numbers 6 --highest 49 --prefer HIGH --include 2", 20, 6, 15, 49, 2, -1,
            -1, 0);
        row("--tickets 10 --bonus 2", 10, 3, 1, 10, -1, -1, -1, 2);
        row("--based-on date --date 1601-01-01", 1, 3, 1, 10, -1, -1, -1, 0);
        row("--tickets 10 --bonus 2 --csv", 10, 3, 1, 10, -1, -1, -1, 2);
        row("--daily --tickets 30 --prefer low --include 8 --include-position 2", 30, 3, 0, 6, 8, 1,
            -1, 0);
        row("--daily --tickets 30 --prefer low --include 8 --exclude 3 --csv", 30, 3, 0, 6, 8, 0, 3,
            0);
    }
    void RunCommandLine_draw_ticketsFollowTheChoices() {
        QFETCH(QString, options);
        QFETCH(int, count);
        QFETCH(int, size);
        QFETCH(int, low);
        QFETCH(int, high);
        QFETCH(int, include);
        QFETCH(int, column);
        QFETCH(int, exclude);
        QFETCH(int, bonus);
        const Outcome outcome = Run(("--draw " + options).split(' ', Qt::SkipEmptyParts));
        QCOMPARE(outcome.exitCode, 0);
        QCOMPARE(outcome.err, QString());
        // CSV: the bonus is simply the last field; plain: it follows " + ".
        const QRegularExpression form(options.contains("--csv") ? "^\\d+(,\\d+)*$"
                                      : bonus > 0               ? "^\\d+( \\d+)* \\+ \\d+$"
                                                                : "^\\d+( \\d+)*$");
        const QStringList lines = outcome.out.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), count);
        for (const QString& line : lines) {
            QVERIFY2(form.match(line).hasMatch(), qPrintable(line));
            QList<int> ticket;
            for (const QString& field : line.split(QRegularExpression("[ ,+]+"))) {
                ticket << field.toInt();
            }
            if (bonus > 0) {
                const int drawn = ticket.takeLast();
                QVERIFY2(drawn >= 1 && drawn <= bonus, qPrintable(line));
            }
            QCOMPARE(ticket.size(), size);
            QVERIFY(column >= 0 ||
                    std::ranges::adjacent_find(ticket, std::greater_equal<>()) == ticket.end());
            for (int i = 0; i < ticket.size(); ++i) {
                const bool included = column < 0 ? ticket[i] == include : i == column;
                QVERIFY2(included ? ticket[i] == include : ticket[i] >= low && ticket[i] <= high,
                         qPrintable(line));
            }
            QVERIFY(include < 0 || ticket.contains(include));
            QVERIFY(!ticket.contains(exclude));
        }
    }

    // A game's draw read back by --check, CSV and plain: every line a ticket of the game, each
    // with its result, and the tiers after them.
    void RunCommandLine_gameDrawChecked_everyTicketResulted() {
        const Outcome draw = Run({"--draw", "--game", "euromillions", "--tickets", "50", "--csv"});
        QCOMPARE(draw.exitCode, 0);
        const QStringList tickets = draw.out.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(tickets.size(), 50);
        for (const QString& line : tickets) {
            const QStringList f = line.split(',');
            QCOMPARE(f.size(), 7);
            QVERIFY2(f[5].toInt() >= 1 && f[5].toInt() < f[6].toInt() && f[6].toInt() <= 12,
                     qPrintable(line));
        }
        const QStringList check = {"--check", "1 2 3 4 5 + 6 7", "--game", "euromillions"};
        const Outcome csv = Run(check + QStringList{"--csv"}, draw.out.toUtf8());
        QCOMPARE(std::pair(csv.exitCode, csv.err), std::pair(0, QString()));
        const QStringList results = csv.out.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(results.size(), 50);
        for (qsizetype i = 0; i < results.size(); ++i) {
            QVERIFY2(results[i].startsWith(tickets[i] + ","), qPrintable(results[i]));
        }
        const Outcome plain = Run(check, "1 2 3 4 5 + 6 7\n4 5 6 7 8 + 1 6\n1 2 3 4 50 + 2 7\n");
        QCOMPARE(plain.out, "1 2 3 4 5 + 6 7: 5 + 2\n4 5 6 7 8 + 1 6: 2 + 1\n"
                            "1 2 3 4 50 + 2 7: 4 + 1\n\n5 + 2: 1 ticket\n4 + 1: 1 ticket\n"
                            "2 + 1: 1 ticket\nOnly the lottery's own results count.\n");
    }

    // A line that is no ticket of the game is named by file and line and skipped: status 2.
    void RunCommandLine_checkWithBadLines_reportsAndExitsTwo() {
        QTemporaryDir dir;
        QFile file(dir.filePath("t.txt"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("1\t2\t3\n\n4\t5\n7\t8\t9\n");
        file.close();
        const Outcome outcome =
            Run({"--check", "1 2 3", file.fileName(), dir.filePath("missing.txt")});
        QCOMPARE(outcome.exitCode, kChoiceError);
        QCOMPARE(outcome.out, "1 2 3: 3\n7 8 9: 0\n\n3: 1 ticket\n0: 1 ticket\n"
                              "Only the lottery's own results count.\n");
        QVERIFY2(outcome.err.startsWith("kivora: " + file.fileName() +
                                        ", line 3: a 3/10 ticket has 3 numbers; skipped.\n"
                                        "kivora: " +
                                        dir.filePath("missing.txt") + " could not be read: "),
                 qPrintable(outcome.err));
    }

    void RunCommandLine_listGames_oneLinePerGame() {
        const Outcome text = Run({"--list-games"});
        QCOMPARE(text.exitCode, 0);
        QVERIFY(QRegularExpression("^powerball +Powerball \\(United States\\) +5/69 \\+ 1/26 +"
                                   "from 2015-10-07$",
                                   QRegularExpression::MultilineOption)
                    .match(text.out)
                    .hasMatch());
        const Outcome csv = Run({"--list-games", "--csv"});
        QVERIFY(csv.out.startsWith("id,name,region,rules,valid from\n"
                                   "powerball,Powerball,United States,5/69 + 1/26,2015-10-07\n"));
        QCOMPARE(csv.out.count('\n'), 26);
    }

    // Batches 1 to 3 drawn at noon on 1, 3 and 5 December; the second is a preset's.
    void RunCommandLine_history_printsKeptBatchesNewestFirst_data() {
        QTest::addColumn<QString>("options");
        QTest::addColumn<QString>("batches");
        QTest::newRow("all") << "--history"
                             << "3 2 1";
        QTest::newRow("since") << "--history --since 2026-12-03"
                               << "3 2";
        QTest::newRow("until") << "--history --until 2026-12-03"
                               << "2 1";
        QTest::newRow("game") << "--history --game powerball"
                              << "2";
        QTest::newRow("other game") << "--history --game keno"
                                    << "";
    }
    void RunCommandLine_history_printsKeptBatchesNewestFirst() {
        QFETCH(QString, options);
        QFETCH(QString, batches);
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
        const Outcome run = Run(options.split(' '), {}, folder.path());
        QCOMPARE(run.exitCode, 0);
        QStringList ids;
        for (const auto& match :
             QRegularExpression(QStringLiteral("batch (\\d+),")).globalMatch(run.out)) {
            ids << match.captured(1);
        }
        QCOMPARE(ids.join(' '), batches);
        if (batches == "3 2 1") {
            QVERIFY2(run.out.startsWith(QDateTime(QDate(2026, 12, 5), QTime(12, 0), Qt::LocalTime)
                                            .toOffsetFromUtc(3600)
                                            .toString(Qt::ISODate)
                                            .replace('T', ' ') +
                                        "  Lotto 6/49  batch 3, 2 tickets\n  1 2 3 4 5 5\n"
                                        "  7 8 9 10 11 12 + 5\n"),
                     qPrintable(run.out));
            const QStringList csv = Run({"--history", "--csv"}, {}, folder.path()).out.split('\n');
            QCOMPARE(csv.size(), 7);
            QVERIFY2(csv[3].endsWith(",powerball,2,2,7,8,9,10,11,12,5"), qPrintable(csv[3]));
        }
    }

    // --keep adds what --draw printed; reading leaves a missing or damaged history as it is.
    void RunCommandLine_keepThenHistory_printsTheDrawnTickets() {
        QTemporaryDir folder;
        QCOMPARE(Run({"--history"}, {}, folder.path()).out, QString());
        const Outcome drawn =
            Run({"--draw", "--tickets", "3", "--bonus", "9", "--keep"}, {}, folder.path());
        QCOMPARE(drawn.exitCode, 0);
        const Outcome kept = Run({"--history"}, {}, folder.path());
        QString tickets;
        for (const QString& line : drawn.out.split('\n', Qt::SkipEmptyParts)) {
            tickets += "  " + line + "\n";
        }
        QCOMPARE(kept.out.section('\n', 1), tickets);
        // Checked again from the history: each kept ticket with its batch, then the tiers; a
        // 6/49 ticket kept beside them is of another game and passed over.
        QCOMPARE(Run({"--draw", "--numbers", "6", "--highest", "49", "--keep"}, {}, folder.path())
                     .exitCode,
                 0);
        const Outcome checked = Run({"--check", "1 2 3 + 4", "--bonus", "9", "--history", "--since",
                                     QDate::currentDate().toString(Qt::ISODate)},
                                    {}, folder.path());
        QCOMPARE(checked.exitCode, 0);
        const QStringList lines = checked.out.split('\n');
        QCOMPARE(lines.size(), 3 + 1 + lines.filter(" ticket").size() + 2);
        for (int i = 0; i < 3; ++i) {
            QVERIFY2(QRegularExpression("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d batch 1: " +
                                        QRegularExpression::escape(drawn.out.section('\n', i, i)) +
                                        ": \\d")
                         .match(lines[i])
                         .hasMatch(),
                     qPrintable(lines[i]));
        }
    }
    void RunCommandLine_historyMissingOrDamaged_leavesItAlone() {
        QTemporaryDir folder;
        const Outcome missing = Run({"--history"}, {}, folder.path());
        QCOMPARE(missing.exitCode, 0);
        QCOMPARE(missing.out + missing.err, QString());
        QVERIFY(QDir(folder.path()).isEmpty());

        const QString file = folder.filePath("history.sqlite");
        QFile damaged(file);
        QVERIFY(damaged.open(QIODevice::WriteOnly));
        damaged.write(QByteArray("not a database at all\n").repeated(100));
        damaged.close();
        const Outcome read = Run({"--history"}, {}, folder.path());
        QCOMPARE(read.exitCode, kChoiceError);
        QVERIFY2(read.err.startsWith("kivora: The ticket history " + file + " is damaged"),
                 qPrintable(read.err));
        QCOMPARE(QFileInfo(file).size(), 2200);
    }

    // The real program. out: a pattern for all of stdout; nothing lands in the settings folder.
    void program_withoutDisplay_printsOrFailsAndWritesNothing_data() {
        QTest::addColumn<QString>("options");
        QTest::addColumn<QString>("outputFile");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        const auto row = [](const char* options, const char* outputFile, int code,
                            const QString& out, const QString& err) {
            QTest::newRow(*options ? options : "nothing")
                << QString(options) << QString(outputFile) << code << out << err;
        };
        row("", "", 1, {}, NoDisplayText() + "\n");
        row("--version", "", 0, "Lotto Kivora 2\\.6\nCopyright \\(C\\) 2009 Brandell\n", {});
        row("--help", "", 0, QRegularExpression::escape(UsageText()), {});
        row("--frobnicate", "", 1, {},
            "kivora: unknown option '--frobnicate'.\nTry 'kivora --help'.\n");
        row("--draw --tickets 50 --numbers 6 --highest 49", "", 0, "(\\d+( \\d+){5}\n){50}", {});
        row("--draw --numbers 8", "", 2, {}, "kivora: --numbers takes 3 to 7, not 8.\n");
        row("--draw --tickets 50", "/dev/full", 1, {},
            "kivora: the output could not be written.\n");
    }
    void program_withoutDisplay_printsOrFailsAndWritesNothing() {
        QFETCH(QString, options);
        QFETCH(QString, outputFile);
        QFETCH(int, code);
        QFETCH(QString, out);
        QFETCH(QString, err);
        QTemporaryDir config;
        QProcess process;
        if (!outputFile.isEmpty()) {
            process.setStandardOutputFile(outputFile);
        }
        Start(process, config, options.split(' ', Qt::SkipEmptyParts));
        QVERIFY(process.waitForFinished(20000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), code);
        const QString printed = QString::fromLocal8Bit(process.readAllStandardOutput());
        QVERIFY2(
            QRegularExpression(QRegularExpression::anchoredPattern(out)).match(printed).hasMatch(),
            qPrintable(printed));
        QCOMPARE(QString::fromLocal8Bit(process.readAllStandardError()), err);
        QCOMPARE(QDir(config.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList());
    }

    // env: the display variables that are set, as NAME=value.
    void DisplayAvailable_platformAndEnvironment_judgeLikeQt_data() {
        QTest::addColumn<QString>("options");
        QTest::addColumn<QString>("env");
        QTest::addColumn<bool>("available");
        QTest::newRow("nothing") << ""
                                 << "" << false;
        QTest::newRow("X") << ""
                           << "DISPLAY=:0" << true;
        QTest::newRow("Wayland") << ""
                                 << "WAYLAND_DISPLAY=wayland-0" << true;
        QTest::newRow("xcb without X") << ""
                                       << "QT_QPA_PLATFORM=xcb WAYLAND_DISPLAY=w" << false;
        QTest::newRow("offscreen") << ""
                                   << "QT_QPA_PLATFORM=offscreen" << true;
        QTest::newRow("list, the second found") << ""
                                                << "QT_QPA_PLATFORM=wayland;xcb DISPLAY=:1" << true;
        QTest::newRow("option over variable") << "-platform xcb"
                                              << "QT_QPA_PLATFORM=offscreen" << false;
        QTest::newRow("display option") << "-platform xcb:nograb -display :5"
                                        << "" << true;
        QTest::newRow("vnc option") << "--platform vnc"
                                    << "" << true;
    }
    void DisplayAvailable_platformAndEnvironment_judgeLikeQt() {
        QFETCH(QString, options);
        QFETCH(QString, env);
        QFETCH(bool, available);
        QMap<QString, QString> set;
        for (const QString& pair : env.split(' ', Qt::SkipEmptyParts)) {
            set.insert(pair.section('=', 0, 0), pair.section('=', 1));
        }
        QCOMPARE(DisplayAvailable(QStringList{"kivora"} + options.split(' ', Qt::SkipEmptyParts),
                                  [&](const char* name) { return set.value(name); }),
                 available);
    }

    // Qt's own options pass through to the window: -platform gives it a display of its own.
    void program_qtPlatformOption_opensTheWindow() {
        QTemporaryDir config;
        QProcess process;
        Start(process, config, {"-platform", "offscreen", "-style", "fusion"});
        QByteArray err;
        QTRY_VERIFY_WITH_TIMEOUT(
            (err += process.readAllStandardError()).contains("main window shown"), 20000);
        process.kill();
        process.waitForFinished();
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
