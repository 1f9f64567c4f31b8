// The command line, read in-process and through the real program. Runs without a display:
// DISPLAY, WAYLAND_DISPLAY and QT_QPA_PLATFORM are all unset.
#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <sstream>

#include "cli/CommandLine.h"
#include "engine/Clock.h"
#include "engine/Generator.h"
#include "engine/SeedLocale.h"
#include "engine/TicketDrawer.h"

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

Outcome Run(const QStringList& options) {
    Generator generator = Generator::FromSeed(7);
    FixedClock clock;
    PlainSeedLocale locale;
    std::ostringstream out;
    std::ostringstream err;
    const int code = RunCommandLine(QStringList{QStringLiteral("kivora")} + options,
                                    {generator, clock, locale}, out, err);
    return {code, QString::fromStdString(out.str()), QString::fromStdString(err.str())};
}

QList<QList<int>> Tickets(const QString& out, const QString& separator) {
    QList<QList<int>> tickets;
    for (const QString& line : out.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        QList<int> numbers;
        for (const QString& field : line.split(separator)) {
            numbers << field.toInt();
        }
        tickets << numbers;
    }
    return tickets;
}

// The program built beside this test, or the one KIVORA_PROGRAM names.
QString Program() {
    const QString chosen = qEnvironmentVariable("KIVORA_PROGRAM");
    return chosen.isEmpty() ? QStringLiteral(KIVORA_PROGRAM_PATH) : chosen;
}

} // namespace

class TestCommandLine : public QObject {
    Q_OBJECT

private slots:
    void RunCommandLine_noCommandLineAction_opensTheWindow_data() {
        QTest::addColumn<QStringList>("options");
        QTest::newRow("nothing") << QStringList{};
        QTest::newRow("-style fusion") << QStringList{"-style", "fusion"};
        QTest::newRow("-style=fusion") << QStringList{"-style=fusion"};
        QTest::newRow("--platform offscreen") << QStringList{"--platform", "offscreen"};
        QTest::newRow("-geometry -reverse") << QStringList{"-geometry", "400x300", "-reverse"};
    }
    void RunCommandLine_noCommandLineAction_opensTheWindow() {
        QFETCH(QStringList, options);
        const Outcome outcome = Run(options);
        QCOMPARE(outcome.exitCode, kRunWindow);
        QCOMPARE(outcome.out, QString());
        QCOMPARE(outcome.err, QString());
    }

    void RunCommandLine_helpOrVersion_printsItAndSucceeds_data() {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("expected");
        QTest::newRow("--version") << QStringList{"--version"} << "Lotto Kivora 2.6\n";
        QTest::newRow("-v") << QStringList{"-v"} << "Lotto Kivora 2.6\n";
        QTest::newRow("--help") << QStringList{"--help"} << UsageText();
        QTest::newRow("-h with Qt's -platform")
            << QStringList{"-platform", "xcb", "-h"} << UsageText();
        QTest::newRow("--help before --draw") << QStringList{"--help", "--draw"} << UsageText();
    }
    void RunCommandLine_helpOrVersion_printsItAndSucceeds() {
        QFETCH(QStringList, options);
        QFETCH(QString, expected);
        const Outcome outcome = Run(options);
        QCOMPARE(outcome.exitCode, 0);
        QCOMPARE(outcome.out, expected);
        QCOMPARE(outcome.err, QString());
    }

    // The usage lists every option and keeps to 80 columns.
    void UsageText_everyOption_listedWithinEightyColumns() {
        const QString usage = UsageText();
        for (const CommandLineOption& option : CommandLineOptions()) {
            QVERIFY2(usage.contains(QStringLiteral("--") + option.names.constLast()),
                     qPrintable(option.names.constLast()));
        }
        for (const QString& line : usage.split(QLatin1Char('\n'))) {
            QVERIFY2(line.size() <= 80, qPrintable(line));
        }
    }

    void RunCommandLine_unreadableArgument_usageOnStderrExitOne_data() {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("error");
        QTest::newRow("unknown") << QStringList{"--frobnicate"} << "Unknown option 'frobnicate'.";
        QTest::newRow("stray argument")
            << QStringList{"tickets.txt"} << "Unexpected argument 'tickets.txt'.";
        QTest::newRow("missing value")
            << QStringList{"--draw", "--tickets"} << "Missing value after '--tickets'.";
        QTest::newRow("choice without --draw")
            << QStringList{"--tickets", "5"}
            << "--tickets is a choice for --draw; the window keeps its own.";
    }
    void RunCommandLine_unreadableArgument_usageOnStderrExitOne() {
        QFETCH(QStringList, options);
        QFETCH(QString, error);
        const Outcome outcome = Run(options);
        QCOMPARE(outcome.exitCode, kUsageError);
        QCOMPARE(outcome.out, QString());
        QCOMPARE(outcome.err, "kivora: " + error + "\n\n" + UsageText());
    }

    void RunCommandLine_impossibleChoice_saysWhyExitTwo_data() {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("error");
        QTest::newRow("51 tickets") << QStringList{"--tickets", "51"}
                                    << "The number of tickets must be from 1 to 50, not 51.";
        QTest::newRow("0 tickets") << QStringList{"--tickets", "0"}
                                   << "The number of tickets must be from 1 to 50, not 0.";
        QTest::newRow("8 numbers") << QStringList{"--numbers", "8"}
                                   << "The numbers per ticket must be from 3 to 7, not 8.";
        QTest::newRow("highest 9")
            << QStringList{"--highest", "9"} << "The highest number must be from 10 to 99, not 9.";
        QTest::newRow("highest 100") << QStringList{"--highest", "100"}
                                     << "The highest number must be from 10 to 99, not 100.";
        QTest::newRow("bonus 1") << QStringList{"--bonus", "1"}
                                 << "The highest bonus number must be from 2 to 99, not 1.";
        QTest::newRow("bonus past 16 bits")
            << QStringList{"--bonus", "65538"}
            << "The highest bonus number must be from 2 to 99, not 65538.";
        QTest::newRow("not a number")
            << QStringList{"--tickets", "five"} << "--tickets takes a whole number, not 'five'.";
        QTest::newRow("past 32 bits") << QStringList{"--numbers", "4294967299"}
                                      << "--numbers takes a whole number, not '4294967299'.";
        QTest::newRow("include past highest")
            << QStringList{"--highest", "20", "--include", "21"}
            << "The number to include must be from 1 to 20, not 21.";
        QTest::newRow("include typed as the no-include mark")
            << QStringList{"--include", "20000"}
            << "The number to include must be from 1 to 10, not 20000.";
        QTest::newRow("exclude typed as the no-exclude mark")
            << QStringList{"--daily", "--exclude", "10000"}
            << "The number to exclude must be from 0 to 9, not 10000.";
        QTest::newRow("daily exclude 10") << QStringList{"--daily", "--exclude", "10"}
                                          << "The number to exclude must be from 0 to 9, not 10.";
        QTest::newRow("include equals exclude")
            << QStringList{"--include", "7", "--exclude", "7"}
            << "You're trying to exclude and include the same number (7).\n"
               "If you want to include a number and exclude one at the same time, \n"
               "then make sure that the numbers are different.";
        QTest::newRow("position in Lotto")
            << QStringList{"--include", "5", "--include-position", "2"}
            << "An include position is used only in Daily mode with a number to include.";
        QTest::newRow("position without include")
            << QStringList{"--daily", "--include-position", "2"}
            << "--include-position places the number of --include; there is none.";
        QTest::newRow("position past the numbers")
            << QStringList{"--daily", "--numbers", "4", "--include", "3", "--include-position", "5"}
            << "The include position must be from 1 to 4, not 5.";
        QTest::newRow("highest in Daily")
            << QStringList{"--daily", "--highest", "49"}
            << "--highest is for a Lotto game; a Daily game draws digits from 0 to 9.";
        QTest::newRow("bonus in Daily")
            << QStringList{"--daily", "--bonus", "10"}
            << "--bonus is for a Lotto game; a Daily game has no bonus number.";
        QTest::newRow("basis unknown") << QStringList{"--based-on", "moon"}
                                       << "--based-on takes random, date, sign or name, not "
                                          "'moon'.";
        QTest::newRow("date not in the calendar")
            << QStringList{"--based-on", "date", "--date", "2009-02-30"}
            << "--date takes a date from 1601-01-01 to 9999-12-31 written yyyy-mm-dd, not "
               "'2009-02-30'.";
        QTest::newRow("date before the picker's range")
            << QStringList{"--based-on", "date", "--date", "1600-12-31"}
            << "--date takes a date from 1601-01-01 to 9999-12-31 written yyyy-mm-dd, not "
               "'1600-12-31'.";
        QTest::newRow("date with another basis")
            << QStringList{"--date", "2009-04-27"} << "--date is used with --based-on date.";
        QTest::newRow("sign unknown") << QStringList{"--based-on", "sign", "--sign", "Ophiuchus"}
                                      << "--sign takes a zodiac sign from Aries to Pisces, not "
                                         "'Ophiuchus'.";
        QTest::newRow("text with another basis")
            << QStringList{"--based-on", "sign", "--text", "Kasia"}
            << "--text is used with --based-on name.";
        QTest::newRow("prefer odd")
            << QStringList{"--prefer", "odd"} << "--prefer takes low, high or mixed, not 'odd'.";
    }
    void RunCommandLine_impossibleChoice_saysWhyExitTwo() {
        QFETCH(QStringList, options);
        QFETCH(QString, error);
        const Outcome outcome = Run(QStringList{"--draw"} + options);
        QCOMPARE(outcome.exitCode, kChoiceError);
        QCOMPARE(outcome.out, QString());
        QCOMPARE(outcome.err, "kivora: " + error + "\n");
    }

    // Lotto: distinct ascending numbers from the candidate range, the include number on each.
    void RunCommandLine_lottoChoices_ticketsFollowThem_data() {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("low");
        QTest::addColumn<int>("high");
        QTest::addColumn<int>("include");
        QTest::addColumn<int>("exclude");
        QTest::newRow("defaults") << QStringList{} << 1 << 3 << 1 << 10 << 0 << 0;
        QTest::newRow("50 of 7 from 99")
            << QStringList{"--tickets", "50", "--numbers", "7", "--highest", "99"} << 50 << 7 << 1
            << 99 << 0 << 0;
        QTest::newRow("low 10, exclude 5")
            << QStringList{"--tickets", "20", "--numbers", "7", "--prefer", "low", "--exclude", "5"}
            << 20 << 7 << 1 << 8 << 0 << 5;
        QTest::newRow("high 49, include 2")
            << QStringList{"--tickets", "20",       "--numbers", "6",         "--highest",
                           "49",        "--prefer", "HIGH",      "--include", "2"}
            << 20 << 6 << 15 << 49 << 2 << 0;
    }
    void RunCommandLine_lottoChoices_ticketsFollowThem() {
        QFETCH(QStringList, options);
        QFETCH(int, count);
        QFETCH(int, size);
        QFETCH(int, low);
        QFETCH(int, high);
        QFETCH(int, include);
        QFETCH(int, exclude);
        const Outcome outcome = Run(QStringList{"--draw"} + options);
        QCOMPARE(outcome.exitCode, 0);
        QCOMPARE(outcome.err, QString());
        const QList<QList<int>> tickets = Tickets(outcome.out, QStringLiteral(" "));
        QCOMPARE(tickets.size(), count);
        for (const QList<int>& ticket : tickets) {
            QCOMPARE(ticket.size(), size);
            QVERIFY(std::ranges::adjacent_find(ticket, std::greater_equal<>()) == ticket.end());
            for (const int number : ticket) {
                QVERIFY((number >= low && number <= high) || number == include);
                QVERIFY(number != exclude);
            }
            QVERIFY(include == 0 || ticket.contains(include));
        }
    }

    void RunCommandLine_bonus_printedLastInBothFormats() {
        const Outcome plain = Run({"--draw", "--tickets", "10", "--bonus", "2"});
        QCOMPARE(plain.exitCode, 0);
        const QRegularExpression plainLine(QStringLiteral("^\\d+ \\d+ \\d+ \\+ [12]$"));
        const QStringList plainLines = plain.out.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(plainLines.size(), 10);
        for (const QString& line : plainLines) {
            QVERIFY2(plainLine.match(line).hasMatch(), qPrintable(line));
        }
        const Outcome csv = Run({"--draw", "--tickets", "10", "--bonus", "2", "--csv"});
        QCOMPARE(csv.exitCode, 0);
        const QList<QList<int>> tickets = Tickets(csv.out, QStringLiteral(","));
        QCOMPARE(tickets.size(), 10);
        for (const QList<int>& ticket : tickets) {
            QCOMPARE(ticket.size(), 4);
            QVERIFY(ticket.last() == 1 || ticket.last() == 2);
        }
    }

    // Daily: digits in drawing order; the include digit at its column (default the first).
    void RunCommandLine_dailyInclude_digitAtItsPosition_data() {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("column");
        QTest::newRow("position 2") << QStringList{"--include-position", "2"} << 1;
        QTest::newRow("default position") << QStringList{} << 0;
    }
    void RunCommandLine_dailyInclude_digitAtItsPosition() {
        QFETCH(QStringList, options);
        QFETCH(int, column);
        const Outcome outcome = Run(QStringList{"--draw", "--daily", "--tickets", "30", "--prefer",
                                                "low", "--include", "8", "--csv"} +
                                    options);
        QCOMPARE(outcome.exitCode, 0);
        const QList<QList<int>> tickets = Tickets(outcome.out, QStringLiteral(","));
        QCOMPARE(tickets.size(), 30);
        for (const QList<int>& ticket : tickets) {
            QCOMPARE(ticket.size(), 3);
            for (int i = 0; i < ticket.size(); ++i) {
                QVERIFY(i == column ? ticket[i] == 8 : ticket[i] >= 0 && ticket[i] <= 6);
            }
        }
    }

    // The basis reaches the engine's seed: the same tickets as TicketDrawer gives for it.
    void RunCommandLine_basis_drawsAsTheEngineWithIt_data() {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("basis");
        QTest::addColumn<int>("sign");
        QTest::addColumn<QString>("name");
        QTest::newRow("default") << QStringList{} << int(DrawBasis::Random) << 0 << QString();
        QTest::newRow("date") << QStringList{"--based-on", "date", "--date", "2009-04-27"}
                              << int(DrawBasis::Date) << 0 << QString();
        QTest::newRow("sign, any case") << QStringList{"--based-on", "SIGN", "--sign", "pisces"}
                                        << int(DrawBasis::Sign) << 11 << QString();
        QTest::newRow("sign left out")
            << QStringList{"--based-on", "sign"} << int(DrawBasis::Sign) << 0 << QString();
        QTest::newRow("name") << QStringList{"--based-on", "name", "--text", "Kasia"}
                              << int(DrawBasis::Name) << 0 << QStringLiteral("Kasia");
    }
    void RunCommandLine_basis_drawsAsTheEngineWithIt() {
        QFETCH(QStringList, options);
        QFETCH(int, basis);
        QFETCH(int, sign);
        QFETCH(QString, name);
        DrawSettings settings;
        settings.ticketCount = 5;
        settings.numbersPerTicket = 6;
        settings.highestNumber = 49;
        settings.drawBasedOn = DrawBasis(basis);
        settings.basisDate = CalendarDate{2009, 4, 27};
        settings.basisSign = int16_t(sign);
        settings.basisName = name.toStdString();
        Generator generator = Generator::FromSeed(7);
        FixedClock clock;
        PlainSeedLocale locale;
        QString expected;
        for (const Ticket& ticket : TicketDrawer(generator, clock, locale).Draw(settings)) {
            expected += FormatTicket(ticket, false) + '\n';
        }
        const Outcome outcome = Run(
            QStringList{"--draw", "--tickets", "5", "--numbers", "6", "--highest", "49"} + options);
        QCOMPARE(outcome.exitCode, 0);
        QCOMPARE(outcome.out, expected);
    }

    // ---- The real program, without a display ----

    void program_helpOrVersion_worksWithoutDisplay_data() {
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("expected");
        QTest::newRow("--version") << "--version"
                                   << "Lotto Kivora 2.6\n";
        QTest::newRow("--help") << "--help" << UsageText();
    }
    void program_helpOrVersion_worksWithoutDisplay() {
        QFETCH(QString, option);
        QFETCH(QString, expected);
        QTemporaryDir config;
        QProcess process;
        Start(process, config, {option});
        QVERIFY(process.waitForFinished(20000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 0);
        QCOMPARE(QString::fromLocal8Bit(process.readAllStandardOutput()), expected);
    }

    void program_unknownOption_errorAndUsageExitOne() {
        QTemporaryDir config;
        QProcess process;
        Start(process, config, {"--frobnicate"});
        QVERIFY(process.waitForFinished(20000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 1);
        QCOMPARE(process.readAllStandardOutput(), QByteArray());
        const QString err = QString::fromLocal8Bit(process.readAllStandardError());
        QVERIFY2(err.startsWith("kivora: Unknown option 'frobnicate'.") &&
                     err.endsWith(UsageText()),
                 qPrintable(err));
    }

    // Tickets on stdout, nothing in the store, no settings file read or written.
    void program_draw_printsTicketsAndWritesNothing() {
        QTemporaryDir config;
        QProcess process;
        Start(process, config, {"--draw", "--tickets", "50", "--numbers", "6", "--highest", "49"});
        QVERIFY(process.waitForFinished(20000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 0);
        QCOMPARE(process.readAllStandardError(), QByteArray());
        const QList<QList<int>> tickets =
            Tickets(QString::fromLocal8Bit(process.readAllStandardOutput()), QStringLiteral(" "));
        QCOMPARE(tickets.size(), 50);
        QVERIFY(std::ranges::all_of(tickets, [](const QList<int>& t) { return t.size() == 6; }));
        QCOMPARE(QDir(config.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList());
    }

    void program_impossibleDraw_exitTwoWithoutHanging() {
        QTemporaryDir config;
        QProcess process;
        Start(process, config, {"--draw", "--daily", "--include", "4", "--exclude", "4"});
        QVERIFY(process.waitForFinished(20000));
        QCOMPARE(process.exitCode(), 2);
        QVERIFY(process.readAllStandardError().startsWith(
            "kivora: You're trying to exclude and include the same number (4)."));
    }

    void program_outputUnwritable_failsExitOne() {
        if (!QFile::exists(QStringLiteral("/dev/full"))) {
            QSKIP("no /dev/full here");
        }
        QTemporaryDir config;
        QProcess process;
        process.setStandardOutputFile(QStringLiteral("/dev/full"));
        Start(process, config, {"--draw", "--tickets", "50"});
        QVERIFY(process.waitForFinished(20000));
        QCOMPARE(process.exitCode(), 1);
        QCOMPARE(process.readAllStandardError(),
                 QByteArray("kivora: the output could not be written.\n"));
    }

    // Qt's own options pass through to the window: -platform gives it a display of its own.
    void program_qtPlatformOption_opensTheWindow() {
        QTemporaryDir config;
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("KIVORA_REPORT_STARTUP"), QStringLiteral("1"));
        process.setProcessEnvironment(environment);
        Start(process, config, {"-platform", "offscreen"});
        QByteArray err;
        QTRY_VERIFY_WITH_TIMEOUT(
            (err += process.readAllStandardError()).contains("main window shown"), 20000);
        process.kill();
        process.waitForFinished();
    }

private:
    static void Start(QProcess& process, const QTemporaryDir& config, const QStringList& options) {
        QProcessEnvironment environment = process.processEnvironment();
        if (environment.isEmpty()) {
            environment = QProcessEnvironment::systemEnvironment();
        }
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
            environment.remove(QString::fromLatin1(name));
        }
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
        process.setProcessEnvironment(environment);
        process.start(Program(), options);
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
