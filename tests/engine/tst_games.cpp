// Game rules, reading winning numbers and checking tickets against them.
#include <QTest>

#include <functional>

#include "engine/GameRules.h"
#include "engine/Ticket.h"
#include "engine/TicketLineReader.h"
#include "engine/TicketMatch.h"
#include "engine/TierCount.h"
#include "engine/WinningNumbers.h"
#include "support/EngineTestSupport.h"

using namespace kivora;

namespace {

GameRules Game(const char* name, int count, int highest, int bonus = 0, int bonusHighest = 0,
               int extras = 0, const char* extraName = "bonus ball") {
    return {"x",   name,         "",     GameMode::Lotto, count, highest,
            bonus, bonusHighest, extras, extraName,       ""};
}
const GameRules kPowerball = Game("Powerball", 5, 69, 1, 26);
const GameRules kEuroMillions = Game("EuroMillions", 5, 50, 2, 12);
const GameRules kUkLotto = Game("Lotto", 6, 59, 0, 0, 1);
const GameRules kOzLotto = Game("Oz Lotto", 7, 47, 0, 0, 3, "supplementary");
const GameRules kPick3{"pick3", "Pick 3", "", GameMode::Daily, 3, 9, 0, 0, 0, "", ""};

// The draw `text` read as main | extras | bonus, or the message it is refused with.
QString Read(const GameRules& rules, const char* text) {
    std::string error;
    const WinningNumbers w = WinningNumbers::Read(text, rules, error);
    const auto join = [](const std::vector<int32_t>& v) {
        QStringList parts;
        for (const int32_t n : v) {
            parts << QString::number(n);
        }
        return parts.join(QLatin1Char(' '));
    };
    if (!error.empty()) { // nothing of a refused draw is kept
        return QString::fromStdString(error) + join(w.main) + join(w.bonus);
    }
    return join(w.main) + " | " + join(w.extras) + " | " + join(w.bonus);
}

} // namespace

class GamesTest : public QObject {
    Q_OBJECT

private slots:
    void read_typedDraw_splitsOrExplains() {
        // Separators, leading zeros and words between the numbers.
        QCOMPARE(Read(kPowerball, "05-12-23-44-61 / 09"), "5 12 23 44 61 |  | 9");
        QCOMPARE(Read(kPowerball, "5,12,23,44,61 PB 9"), "5 12 23 44 61 |  | 9");
        QCOMPARE(Read(kEuroMillions, "3 7 19 22 50 Lucky Stars 12 4"), "3 7 19 22 50 |  | 4 12");
        QCOMPARE(Read(kUkLotto, "1 2 3 4 5 59 + 7"), "1 2 3 4 5 59 | 7 | ");
        QCOMPARE(Read(kUkLotto, "1 2 3 4 5 59 7"), "1 2 3 4 5 59 | 7 | "); // run on
        QCOMPARE(Read(kOzLotto, "1 2 3 4 5 6 7 supp 8 9 10"), "1 2 3 4 5 6 7 | 8 9 10 | ");
        QCOMPARE(Read(kPick3, "407"), "4 0 7 |  | ");

        // Refused, with what a player should fix.
        QCOMPARE(Read(kPowerball, "  "), "There are no numbers in the text.");
        QCOMPARE(Read(kPowerball, "5 12 23 44 61 * 9"),
                 "The character '*' is neither a number nor a separator such as a blank, ',', '-', "
                 "'+' or '/'.");
        QCOMPARE(Read(kPowerball, "5 12 23 44 61"),
                 "Powerball draws 5 numbers and 1 bonus number; the text holds 5 numbers.");
        QCOMPARE(Read(kPowerball, "5 12 23 + 44 61 9"),
                 "Powerball draws 5 numbers and 1 bonus number: the first 3 numbers are not the 5 "
                 "main numbers.");
        QCOMPARE(Read(kPowerball, "5 12 23 44 70 + 9"),
                 "A number of Powerball is from 1 to 69, not 70.");
        QCOMPARE(Read(kPowerball, "0 12 23 44 61 + 9"),
                 "A number of Powerball is from 1 to 69, not 0.");
        QCOMPARE(Read(kEuroMillions, "1 2 3 4 5 + 13 1"),
                 "A bonus number of EuroMillions is from 1 to 12, not 13.");
        QCOMPARE(Read(kPowerball, "5 12 23 44 99999999999 + 9"), // no overflow
                 "A number of Powerball is from 1 to 69, not 1000000.");
        QCOMPARE(Read(kPowerball, "5 5 23 44 61 + 9"), "The number 5 is drawn only once.");
        QCOMPARE(Read(kUkLotto, "1 2 3 4 5 6 + 6"), "The number 6 is drawn only once."); // extra
        QCOMPARE(Read(kEuroMillions, "1 2 3 4 5 + 7 7"),
                 "The number 7 is drawn only once among the bonus numbers.");
        QCOMPARE(Read(kPick3, "4 0 + 7"), "Pick 3 draws 3 digits and no bonus number.");
        QCOMPARE(Read(kPick3, "40"), "Pick 3 draws 3 digits; the text holds 2 digits.");
        QCOMPARE(Read(kPick3, "4 10 7"), "Pick 3 draws 3 digits, each from 0 to 9, not 10.");
    }

    void label_ticketAgainstDraw_namesTheTier() {
        const auto label = [](const GameRules& g, const Ticket& t, const char* draw) {
            std::string error;
            const WinningNumbers drawn = WinningNumbers::Read(draw, g, error);
            return QString::fromStdString(error + TicketMatch::Of(t, drawn, g).Label(g));
        };
        QCOMPARE(label(kPowerball, {{5, 12, 23, 44, 1}, 9}, "5 12 23 44 61 + 9"), "4 + 1");
        QCOMPARE(label(kPowerball, {{5, 12, 23, 2, 1}, 8}, "5 12 23 44 61 + 9"), "3");
        QCOMPARE(label(kUkLotto, {{1, 2, 3, 4, 5, 7}}, "1 2 3 4 5 59 + 7"), "5 + bonus ball");
        QCOMPARE(label(kUkLotto, {{1, 2, 3, 4, 5, 59}}, "1 2 3 4 5 59 + 7"), "6");
        QCOMPARE(label(kOzLotto, {{1, 2, 3, 4, 5, 8, 9}}, "1 2 3 4 5 6 7 + 8 9 10"),
                 "5 + 2 supplementaries");
        QCOMPARE(label(kPick3, {{4, 0, 7}}, "407"), "straight");
        QCOMPARE(label(kPick3, {{7, 4, 0}}, "407"), "box");
        QCOMPARE(label(kPick3, {{4, 7, 7}}, "447"), "2"); // other digit counts: no box
        QCOMPARE(label(kPick3, {{4, 1, 7}}, "407"), "2");
    }

    // Best first: more main numbers beat any bonus; a straight beats a box beats digits.
    void tally_matches_bestTierFirst() {
        const auto tally = [](const std::vector<TicketMatch>& m, const GameRules& g) {
            QStringList out;
            for (const TierCount& t : TierCount::Tally(m, g)) {
                out << QString::fromStdString(t.label) + "=" + QString::number(t.tickets);
            }
            return out.join(QLatin1Char(' '));
        };
        QCOMPARE(
            tally({{.main = 3, .bonus = 2}, {.main = 4}, {.main = 1}, {.main = 4}}, kEuroMillions),
            "4=2 3 + 2=1 1=1");
        QCOMPARE(tally({{.main = 5}, {.main = 5, .extras = 1}}, kUkLotto), "5 + bonus ball=1 5=1");
        QCOMPARE(tally({{.main = 2}, {.box = true}, {.main = 3, .straight = true}}, kPick3),
                 "straight=1 box=1 2=1");
    }

    void problem_rules_namesWhatTheWindowCannotSetUp() {
        const auto problem = [](GameRules g, const std::function<void(GameRules&)>& change) {
            change(g);
            return QString::fromStdString(g.Problem());
        };
        QCOMPARE(problem(kPowerball, [](GameRules& g) { g.id = "Power Ball"; }),
                 "The id 'Power Ball' may hold only small letters, digits and '-'.");
        QCOMPARE(problem(kPowerball, [](GameRules& g) { g.mainCount = 8; }),
                 "The numbers per ticket must be from 3 to 7, not 8.");
        QCOMPARE(problem(kEuroMillions, [](GameRules& g) { g.bonusCount = 3; }),
                 "The bonus count must be from 0 to 2, not 3.");
        QCOMPARE(problem(kEuroMillions, [](GameRules& g) { g.bonusHighest = 1; }),
                 "The highest bonus number must be from 2 to 99, not 1.");
        QCOMPARE(problem(kEuroMillions, [](GameRules& g) { g.mainCount = 7; }), // past the printout
                 "A ticket holds at most 8 numbers and bonus numbers together, not 9.");
        QCOMPARE(problem(kPick3, [](GameRules& g) { g.drawnExtras = 1; }),
                 "A Daily game has neither bonus numbers nor drawn extras.");
    }

    // The lines of one file, read in turn, each as the ticket, "-" skipped, or the reason: a CSV
    // heading makes the first field a label.
    void read_savedLines_ticketsOrReasons() {
        const auto read = [](const GameRules& rules, const QStringList& lines) {
            TicketLineReader reader(rules);
            QStringList out;
            for (const QString& line : lines) {
                Ticket t;
                std::string why;
                const auto kind = reader.Read(line.toStdString(), t, why);
                out << (kind == TicketLineReader::Line::Skip  ? QString("-")
                        : kind == TicketLineReader::Line::Bad ? QString::fromStdString(why)
                                                              : test::Text(t));
            }
            return out.join(';');
        };
        QCOMPARE(read(kEuroMillions, {"Ticket,N1,N2,N3,N4,N5,B1,B2\r", "1,1,2,3,4,5,3,11\r",
                                      "2,1,2,3,4,5,11,11\r"}),
                 "-;1 2 3 4 5 + 3 11;the bonus number 11 stands twice");
        QCOMPARE(read(kEuroMillions, {"1 2 3 4 5 + 11 3", "1,2,3,4,5,3,11", "1 2 3 4 + 3 11"}),
                 "1 2 3 4 5 + 3 11;1 2 3 4 5 + 3 11;a EuroMillions ticket has 5 numbers and 2 "
                 "bonus numbers");
        QCOMPARE(read(kPowerball, {"5 12 23 44 70 + 9", "5 12 23 44 61 + 27", "5 5 1 2 3 + 1"}),
                 "the number 70 is not from 1 to 69;the bonus number 27 is not from 1 to 26;"
                 "the number 5 stands twice");
        QCOMPARE(read(kUkLotto, {"Lotto: 1 2 3 4 5 6"}), "'Lotto:' is not a ticket number");
        QCOMPARE(read(kPick3, {"4\t4\t1", "4 10 1", "4 4 1 + 2"}),
                 "4 4 1;the number 10 is not from 0 to 9;a Pick 3 ticket has 3 digits");
    }

    void summary_rules_readsAsPlayersWriteThem() {
        QCOMPARE(kUkLotto.Summary(), "6/59, bonus ball drawn");
        QCOMPARE(kOzLotto.Summary(), "7/47, 3 supplementaries drawn");
        QCOMPARE(kPick3.Summary(), "Daily, 3 digits");
    }
};

QTEST_APPLESS_MAIN(GamesTest)
#include "tst_games.moc"
