// The engine's tests, built twice. tst_engine checks seeds, tickets, the generator and the grid;
// with KIVORA_FAIRNESS, tst_fairness runs the statistical battery, at fixed generator states
// with a simulated clock, so exact and never flaky. Its bounds are the chi-square quantiles at
// p = 0.001.
#include <QTest>

#include <algorithm>
#include <array>
#include <map>
#include <numeric>
#include <set>

#include "engine/Draw.h"
#include "engine/Seed.h"
#include "engine/TicketGrid.h"
#include "support/EngineTestSupport.h"
#include "support/MemoryGrid.h"

using namespace kivora;
using namespace kivora::test;

namespace {

inline QList<int> Span(int low, int high) {
    QList<int> span(high - low + 1);
    std::iota(span.begin(), span.end(), low);
    return span;
}

// The message an impossible record or call is refused with; empty when it is not.
inline QString Refusal(const std::function<void()>& draw) {
    try {
        draw();
    } catch (const InvalidDrawSettings& e) {
        return e.what();
    }
    return {};
}

// The chi-square of how `counts` spread evenly over `cells` values, below `bound`: the sum of
// (count - e)^2 / e, with e = total / cells, is the sum of count^2 / e, less the total.
inline void VerifyFits(const std::map<int32_t, double>& counts, int cells, double bound) {
    double total = 0, squares = 0;
    for (const auto& [value, count] : counts) {
        total += count;
        squares += count * count;
    }
    QCOMPARE(int(counts.size()), cells);
    QCOMPARE_LT(squares * cells / total - total, bound);
}

// Writes every date as `text` (the plain month/day/year when empty); reads numbers plainly.
struct DateTextLocale final : PlainSeedLocale {
    explicit DateTextLocale(std::string dateText) : text(std::move(dateText)) {}
    std::string ShortDateText(const CalendarDate& date) const override {
        return text.empty() ? PlainSeedLocale::ShortDateText(date) : text;
    }
    std::string text;
};

const DrawSettings k649{
    .numbersPerTicket = 6, .highestNumber = 49, .bonusPlayed = true, .highestBonus = 42};

} // namespace

class EngineTest : public QObject {
    Q_OBJECT

private slots:
#ifndef KIVORA_FAIRNESS
    // The clock is a float, as the real one is: 86399.7f is the nearest float. A date is written
    // as `date` (the plain month/day/year when empty).
    void computeSeed_basisAndClock_givesTimePlusOffset() {
        const auto seed = [](const DrawSettings& s, float clock = 36000.0f, const char* date = "") {
            return ComputeSeed(s, FakeClock(clock), DateTextLocale(date));
        };
        QCOMPARE(seed({}, 86399.7f), 86400); // random at 23:59:59.7
        QCOMPARE(seed({}, 45296.5f), 45296); // a half rounds to even, down
        QCOMPARE(seed({}, 45297.5f), 45298); // and up
        QCOMPARE(seed({.drawBasedOn = Sign, .basisSign = 11}, 36000.2f), 36012); // Pisces
        QCOMPARE(seed({.drawBasedOn = Sign}, 36000.2f), 36000);                  // none chosen
        QCOMPARE(seed({.drawBasedOn = Name}), 36001);                            // an empty name
        // A name of 5 characters in 10 bytes.
        QCOMPARE(seed({.drawBasedOn = Name, .basisName = "Ελένη"}), 36006);
        const DrawSettings april27{.drawBasedOn = Date, .basisDate = {2009, 4, 27}};
        const DrawSettings january5{.drawBasedOn = Date, .basisDate = {2009, 1, 5}};
        QCOMPARE(seed(april27), 36427);
        QCOMPARE(seed(january5), 36152); // a year digit
        QCOMPARE(seed(january5, 36000, "01/05/2009"), 36105);
        QCOMPARE(seed(april27, 36000, "4.27/2009"), 0); // no decimal point in plain reading
        QCOMPARE(seed({.drawBasedOn = Date}, 36000, " +4/27/2009"), 36042); // a sign and a blank
        QCOMPARE(seed({.drawBasedOn = None, .basisSign = 11, .basisName = "Anna"}, 43200.5f), 0);
    }

    // The values 500 tickets show, ascending, a bonus as 100 + it (110 + it when the ticket holds
    // it too); -1 when a ticket does not fit its settings.
    void draw_settings_ticketsShowExactlyTheseValues() {
        const auto seen = [](const DrawSettings& settings) {
            std::set<int> values;
            for (const Ticket& t : Starts().Draw(settings, 500)) {
                values.insert(TicketFits(t, settings, CandidateRange(settings)) ? t.numbers[0]
                                                                                : -1);
                values.insert(t.numbers.begin(), t.numbers.end());
                if (t.bonus) {
                    values.insert(100 + *t.bonus +
                                  10 * int(std::ranges::count(t.numbers, *t.bonus)));
                }
            }
            return QList<int>(values.begin(), values.end());
        };
        // Highest, Low's top, High's bottom: x * 0.3 for odd multiples of 5 is a half, rounded to
        // even.
        for (const auto& [h, lowTop, highBottom] :
             {std::array{11, 9, 3}, {15, 12, 4}, {25, 20, 8}}) {
            QCOMPARE(seen({.highestNumber = h, .preference = Low}), Span(1, lowTop));
            QCOMPARE(seen({.highestNumber = h, .preference = High}), Span(highBottom, h));
        }
        QCOMPARE(seen({.gameMode = Daily, .preference = Low}), Span(0, 6));
        QCOMPARE(seen({.gameMode = Daily, .preference = Low, .excludeNumber = 0}), Span(1, 6));
        // The excluded number may be the bonus; the bonus may be on the ticket too.
        QCOMPARE(seen({.bonusPlayed = true, .highestBonus = 2, .excludeNumber = 2}),
                 (QList<int>{1} + Span(3, 10) + QList<int>{101, 102, 111}));
    }

    // One Start of 6 tickets at a fixed generator state and clock. The clock moves on by 0.3 s
    // at every read and passes 36000.5 on the way, which rounds to even.
    void draw_fixedStateAndClock_givesTheseTickets_data() {
        QTest::addColumn<DrawSettings>("settings");
        QTest::addColumn<QString>("tickets");
        DrawSettings lotto = k649;
        lotto.preference = Low;
        lotto.includeNumber = 3;
        lotto.excludeNumber = 7;
        QTest::newRow("6/49 low, include 3, exclude 7, bonus 42")
            << lotto
            << "3 23 24 26 28 30 + 12; 3 15 16 26 28 39 + 29; 3 16 18 27 36 38 + 36; "
               "3 12 22 27 32 37 + 13; 3 4 9 18 31 38 + 37; 1 3 6 9 10 19 + 30";
        DrawSettings daily{.gameMode = Daily, .numbersPerTicket = 4, .bonusPlayed = true};
        daily.drawBasedOn = Name;
        daily.basisName = "Ada";
        daily.preference = Low;
        daily.includeNumber = 8;
        daily.includePosition = 2;
        daily.excludeNumber = 0;
        QTest::newRow("daily 4 low, name, exclude 0, include 8 at 2")
            << daily << "5 8 2 3; 6 8 6 1; 2 8 1 3; 2 8 1 1; 4 8 2 4; 5 8 3 3";
        // Bonus numbers from 1 to 3: the second often repeats the first and is drawn again.
        DrawSettings twoBonus{.numbersPerTicket = 5, .highestNumber = 50, .bonusPlayed = true};
        twoBonus.highestBonus = 3;
        twoBonus.bonusCount = 2;
        QTest::newRow("5/50, two bonus numbers from 3")
            << twoBonus
            << "30 31 33 35 38 + 1 3; 13 19 28 42 46 + 2 3; 4 19 27 38 48 + 2 3; "
               "3 9 17 21 43 + 2 3; 10 11 17 22 38 + 1 2; 3 19 23 32 41 + 1 3";
    }
    void draw_fixedStateAndClock_givesTheseTickets() {
        QFETCH(DrawSettings, settings);
        QFETCH(QString, tickets);
        settings.ticketCount = 6;
        Generator generator = Generator::FromSeed(2026);
        QStringList drawn;
        for (const Ticket& t :
             TicketDrawer(generator, FakeClock(36000.2, 0.3), PlainSeedLocale()).Draw(settings)) {
            drawn << Text(t);
        }
        QCOMPARE(drawn.join("; "), tickets);
    }

    // A rejection loop with nothing left to accept would hang instead.
    void draw_impossibleRecord_refusedWithAMessage() {
        Starts starts;
        const DrawSettings lotto{.numbersPerTicket = 7, .excludeNumber = 3};
        const DrawSettings daily{.gameMode = Daily, .excludeNumber = 4};
        QCOMPARE(Refusal([&] { starts.Draw({.includeNumber = 7, .excludeNumber = 7}, 1); }),
                 "The same number (7) cannot be included and excluded.");
        QCOMPARE(Refusal([&] { DrawLottoTicket(starts.generator, NumberRange(1, 7), lotto); }),
                 "The numbers 1 to 7, less the included and excluded numbers, cannot fill a ticket "
                 "of 7 different numbers.");
        QCOMPARE(Refusal([&] { DrawDailyTicket(starts.generator, NumberRange(4, 4), daily); }),
                 "The digits 4 to 4 hold nothing but the excluded number.");
    }

    // In whole steps of 2^-24: 24 bits fit a float exactly, more would round the top values up
    // to 1.0, past the range.
    void nextRandom_extremeOutputs_stayOnTheGridBelowOne() {
        for (const auto& [output, steps] : {std::pair(0ULL, 0), {~0ULL, 16777215}}) {
            QCOMPARE(int(Generator::ToUnitFloat(output) * 0x1p24f), steps);
            QCOMPARE(int(GeneratorWithOutput(output).NextRandom() * 0x1p24f), steps);
        }
    }

    // All tickets of one second share a seed, and with the clock frozen the bonus' re-seed
    // repeats too: only the state kept across re-seeds parts them. 10 tickets are not all equal;
    // 1000 make 499500 pairs over 13983816 possible tickets, 0.036 repeats expected. Generators
    // that take their starting state from the operating system differ in the same second.
    void generator_frozenClock_fewRepeatedTicketsAndRunsDiffer() {
        for (const auto& [count, mostRepeats] : {std::pair(10, 8), {1000, 2}}) {
            std::set<std::vector<int32_t>> distinct;
            for (const Ticket& t : Starts{.clock = FakeClock(45296)}.Draw(k649, count)) {
                distinct.insert(t.numbers);
            }
            QCOMPARE_LE(count - int(distinct.size()), mostRepeats);
        }
        const auto draw = [] { return Starts{Generator(), FakeClock(45296)}.Draw(k649, 5); };
        QVERIFY(draw() != draw());
    }

    // Each layout after a Start of 6 numbers and two bonus numbers: one bonus column or none must
    // not keep the second. Cells row by row, "|" between them, "#" before a colour.
    void grid_startWithNumbersAndBonus_laysOutAndColoursOnlyTheBonus() {
        const auto cells = [](int numbers, int bonus) {
            MemoryGrid grid;
            for (const auto& [n, b] : {std::pair(6, 2), std::pair(numbers, bonus)}) {
                const Ticket ticket{std::vector<int32_t>(size_t(n), 42),
                                    b ? std::optional(7) : std::nullopt,
                                    b == 2 ? std::optional(9) : std::nullopt};
                grid.Clear(); // the grid side of a Start of that one ticket
                SetUpTicketGrid(grid, n, b > 0, b);
                grid.SetRows(2);
                WriteTicketRow(grid, 1, ticket);
            }
            QString text;
            for (int r = 0; r < 2; ++r) {
                for (int c = 0; c < grid.Cols(); ++c) {
                    const uint32_t colour = grid.CellColor(r, c);
                    text +=
                        (c   ? "|"
                         : r ? " "
                             : "") +
                        QString::fromStdString(grid.Cell(r, c)) +
                        (colour == MemoryGrid::kDefaultColor ? ""
                                                             : "#" + QString::number(colour, 16)) +
                        (grid.ColWidth(c) == 400 && grid.ColAlignment(c) == 7 ? "" : "?");
                }
            }
            return text;
        };
        QCOMPARE(cells(3, 0), "|N1|N2|N3 1|42|42|42");
        QCOMPARE(cells(7, 1), "|N1|N2|N3|N4|N5|N6|N7|B 1|42|42|42|42|42|42|42|7#80c0ff");
        QCOMPARE(cells(5, 2), "|N1|N2|N3|N4|N5|B1|B2 1|42|42|42|42|42|7#80c0ff|9#80c0ff");
    }
#endif
#ifdef KIVORA_FAIRNESS
    // k * n < 2^31 is exact in double, so value k lands in bucket floor(k * n / 2^24): every
    // bucket holds the floor or the ceiling of 2^24 / n values. Ticket numbers (1 to 10, 49, 99)
    // come through a generator built to return each value next: they must map the same.
    void randomInRange_everyRandomValue_inRangeAndEven() {
        for (int high = 2; high <= 99; ++high) {
            std::vector<int> counts(size_t(high) + 2); // the ends count values out of the range
            for (uint64_t k = 0; k < 1 << 24; ++k) {
                const int value = MapToRange(Generator::ToUnitFloat(k << 40), 1, high);
                ++counts[size_t(std::clamp(value, 0, high + 1))];
                if (high == 10 || high == 49 || high == 99) {
                    Generator generator = GeneratorWithOutput(k << 40);
                    QCOMPARE(int(RandomInRange(generator, 1, high)), value);
                }
            }
            QCOMPARE(std::pair(counts.front(), counts.back()), std::pair(0, 0));
            const auto [least, most] = std::minmax_element(counts.begin() + 1, counts.end() - 1);
            QVERIFY2(*most - *least <= 1, qPrintable(QString("1 to %1").arg(high)));
        }
    }

    // 10^6 6/49 tickets with a bonus (its clock re-seeds belong to the stream a Start uses),
    // 10^5 Pick-3 tickets, and two bonus numbers from 12: each of the 66 pairs equally often,
    // though the second is drawn again when it repeats the first.
    void draw_manyTickets_everyValueEvenlyOften() {
        std::map<int32_t, double> balls, bonus, pick3, pairs;
        Starts starts;
        for (const Ticket& t : starts.Draw(k649, 1'000'000)) {
            for (const int32_t n : t.numbers) {
                ++balls[n];
            }
            ++bonus[*t.bonus];
        }
        for (const Ticket& t : starts.Draw({.gameMode = Daily}, 100'000)) {
            ++pick3[t.numbers[0] * 100 + t.numbers[1] * 10 + t.numbers[2]];
        }
        DrawSettings two{.numbersPerTicket = 5, .highestNumber = 50, .bonusPlayed = true};
        two.highestBonus = 12;
        two.bonusCount = 2;
        for (const Ticket& t : starts.Draw(two, 660'000)) {
            ++pairs[*t.bonus * 100 + *t.secondBonus];
        }
        VerifyFits(balls, 49, 84.037);
        VerifyFits(bonus, 42, 74.745);
        VerifyFits(pick3, 1000, 1142.848);
        VerifyFits(pairs, 66, 105.988);
    }
#endif
};

QTEST_APPLESS_MAIN(EngineTest)
#include "tst_engine.moc"
