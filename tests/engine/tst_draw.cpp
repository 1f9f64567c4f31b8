#include <QTest>

#include <algorithm>
#include <set>

#include "EngineTestSupport.h"
#include "engine/Draw.h"
#include "engine/TicketDrawer.h"

using namespace kivora;
using namespace kivora::test;

Q_DECLARE_METATYPE(DrawSettings)

namespace {

std::vector<Ticket> DrawTickets(DrawSettings settings, int count) { // count: a multiple of 50
    Generator generator = Generator::FromSeed(1);
    const TickingClock clock;
    const PlainSeedLocale locale;
    TicketDrawer drawer(generator, clock, locale);
    settings.ticketCount = 50;
    std::vector<Ticket> tickets;
    while (static_cast<int>(tickets.size()) < count) { // Starts of 50 tickets, one after another
        for (Ticket& t : drawer.Draw(settings)) {
            tickets.push_back(std::move(t));
        }
    }
    return tickets;
}

// Every number that occurs at the given positions of the tickets, ascending.
std::vector<int32_t> Seen(const std::vector<Ticket>& tickets, std::vector<size_t> positions = {}) {
    std::set<int32_t> seen;
    for (const Ticket& t : tickets) {
        for (size_t i = 0; i < t.numbers.size(); ++i) {
            if (positions.empty() || std::ranges::count(positions, i) > 0) {
                seen.insert(t.numbers[i]);
            }
        }
    }
    return {seen.begin(), seen.end()};
}

std::vector<int32_t> Span(int32_t low, int32_t high) {
    std::vector<int32_t> span;
    for (int32_t n = low; n <= high; ++n) {
        span.push_back(n);
    }
    return span;
}

} // namespace

class DrawTest : public QObject {
    Q_OBJECT

private slots:
    void candidateRange_modeAndPreference_roundsHalfToEven_data() {
        QTest::addColumn<DrawSettings>("settings");
        QTest::addColumn<int>("low");
        QTest::addColumn<int>("high");

        // highest, Low's top, High's bottom; x * 0.3 for odd multiples of 5 is a half.
        const int table[][3] = {{10, 8, 3},   {11, 9, 3},   {15, 12, 4},  {25, 20, 8},
                                {35, 28, 10}, {42, 34, 13}, {45, 36, 14}, {49, 39, 15},
                                {55, 44, 16}, {65, 52, 20}, {75, 60, 22}, {85, 68, 26},
                                {95, 76, 28}, {99, 79, 30}};
        for (const auto& [highest, lowTop, highBottom] : table) {
            QTest::addRow("lotto %d low", highest)
                << LottoSettings(highest, 6, NumberPreference::Low) << 1 << lowTop;
            QTest::addRow("lotto %d high", highest)
                << LottoSettings(highest, 6, NumberPreference::High) << highBottom << highest;
        }
        QTest::newRow("lotto 49 mixed") << LottoSettings(49, 6) << 1 << 49;
        QTest::newRow("daily low") << DailySettings(3, NumberPreference::Low) << 0 << 6;
        QTest::newRow("daily high") << DailySettings(3, NumberPreference::High) << 3 << 9;
        QTest::newRow("daily mixed") << DailySettings(3) << 0 << 9;
    }

    void candidateRange_modeAndPreference_roundsHalfToEven() {
        QFETCH(DrawSettings, settings);
        QFETCH(int, low);
        QFETCH(int, high);
        const NumberRange range = CandidateRange(settings);
        QCOMPARE(range.low, low);
        QCOMPARE(range.high, high);
    }

    // Every ticket is checked; every number of the range must turn up in 2000 tickets.
    void draw_lottoOrDaily_onlyAndEveryNumberOfTheRange_data() {
        QTest::addColumn<DrawSettings>("settings");
        QTest::addColumn<int>("low");
        QTest::addColumn<int>("high");

        QTest::newRow("lotto 6/49 mixed") << LottoSettings(49, 6) << 1 << 49;
        QTest::newRow("lotto 3/10 mixed") << LottoSettings(10, 3) << 1 << 10;
        QTest::newRow("lotto 7/99 low") << LottoSettings(99, 7, NumberPreference::Low) << 1 << 79;
        QTest::newRow("lotto 5/25 high") << LottoSettings(25, 5, NumberPreference::High) << 8 << 25;
        QTest::newRow("lotto 4/15 high") << LottoSettings(15, 4, NumberPreference::High) << 4 << 15;
        DrawSettings s = LottoSettings(42, 6);
        s.excludeNumber = 42;
        QTest::newRow("lotto 6/42 exclude 42") << s << 1 << 41;
        QTest::newRow("daily low") << DailySettings(4, NumberPreference::Low) << 0 << 6;
        QTest::newRow("daily high") << DailySettings(4, NumberPreference::High) << 3 << 9;
        s = DailySettings(4);
        s.bonusPlayed = true; // no bonus in Daily mode, whatever the bonus list shows
        QTest::newRow("daily mixed bonus list yes") << s << 0 << 9;
        s = DailySettings(4, NumberPreference::Low);
        s.excludeNumber = 0;
        QTest::newRow("daily low exclude 0") << s << 1 << 6;
    }

    void draw_lottoOrDaily_onlyAndEveryNumberOfTheRange() {
        QFETCH(DrawSettings, settings);
        QFETCH(int, low);
        QFETCH(int, high);

        const std::vector<Ticket> tickets = DrawTickets(settings, 2000);
        for (const Ticket& t : tickets) {
            QCOMPARE(t.numbers.size(), size_t(settings.numbersPerTicket));
            QVERIFY(!t.bonus);
            if (settings.gameMode == GameMode::Lotto) { // distinct and ascending
                QVERIFY(std::ranges::adjacent_find(t.numbers, std::greater_equal{}) ==
                        t.numbers.end());
            }
        }
        QCOMPARE(Seen(tickets), Span(low, high));
    }

    void drawLotto_rangeFilledExactly_everyTicketTheSame_data() {
        QTest::addColumn<DrawSettings>("settings");
        QTest::addColumn<std::vector<int32_t>>("ticket");

        DrawSettings s = LottoSettings(10, 7, NumberPreference::Low);
        s.excludeNumber = 5;
        QTest::newRow("10 low exclude 5") << s << std::vector<int32_t>{1, 2, 3, 4, 6, 7, 8};
        s = LottoSettings(10, 7, NumberPreference::High);
        s.excludeNumber = 3;
        s.includeNumber = 10;
        QTest::newRow("10 high exclude 3 include 10") << s << Span(4, 10);
    }

    void drawLotto_rangeFilledExactly_everyTicketTheSame() {
        QFETCH(DrawSettings, settings);
        QFETCH(std::vector<int32_t>, ticket);
        for (const Ticket& t : DrawTickets(settings, 50)) {
            QCOMPARE(t.numbers, ticket);
        }
    }

    void drawLotto_includeOutsideRange_lastOnEveryTicket() {
        DrawSettings s = LottoSettings(49, 6, NumberPreference::Low);
        s.includeNumber = 45;
        const std::vector<Ticket> tickets = DrawTickets(s, 2000);
        QCOMPARE(Seen(tickets, {5}), std::vector<int32_t>{45});
        QCOMPARE(Seen(tickets, {0, 1, 2, 3, 4}), Span(1, 39));
    }

    void drawDaily_includeAtPosition_overwritesThatColumnOnly() {
        DrawSettings s = DailySettings(3, NumberPreference::Low);
        s.includeNumber = 8;
        s.includePosition = 2;
        const std::vector<Ticket> tickets = DrawTickets(s, 500);
        QCOMPARE(Seen(tickets, {1}), std::vector<int32_t>{8});
        QCOMPARE(Seen(tickets, {0, 2}), Span(0, 6));
    }

    void drawDaily_manyTickets_repeatsOccurAndStayUnsorted() {
        bool repeat = false;
        bool descending = false;
        for (const Ticket& t : DrawTickets(DailySettings(3), 200)) {
            const auto& n = t.numbers;
            repeat = repeat || n[0] == n[1] || n[1] == n[2] || n[0] == n[2];
            descending = descending || n[0] > n[1] || n[1] > n[2];
        }
        QVERIFY(repeat);
        QVERIFY(descending);
    }

    void drawBonus_highestBonusTwo_mayEqualATicketNumberOrTheExclude() {
        DrawSettings s = LottoSettings(10, 3);
        s.bonusPlayed = true;
        s.highestBonus = 2;
        s.excludeNumber = 2;
        bool equalsTicketNumber = false;
        bool equalsExclude = false;
        for (const Ticket& t : DrawTickets(s, 200)) {
            QVERIFY(t.bonus == 1 || t.bonus == 2);
            equalsTicketNumber = equalsTicketNumber || std::ranges::count(t.numbers, *t.bonus);
            equalsExclude = equalsExclude || t.bonus == s.excludeNumber;
        }
        QVERIFY(equalsTicketNumber);
        QVERIFY(equalsExclude);
    }

    // The generator's order: the ticket's seed, its draws with every rejected value, then the
    // bonus' re-seed with the unrounded time of day and one value.
    void drawOne_lottoWithBonus_usesTheGeneratorInStartOrder() {
        DrawSettings s = LottoSettings(10, 7);
        s.bonusPlayed = true;
        s.highestBonus = 99;
        s.drawBasedOn = DrawBasis::Sign;
        s.basisSign = 4;
        const FrozenClock clock(36000.25f);
        const PlainSeedLocale locale;
        Generator generator = Generator::FromSeed(7);
        Generator expected = generator;
        TicketDrawer drawer(generator, clock, locale);
        for (int i = 0; i < 20; ++i) {
            const Ticket t = drawer.DrawOne(s);
            expected.Reseed(int32_t{36005}); // t + Leo + 1
            std::vector<int32_t> numbers;
            while (numbers.size() < 7) {
                const int32_t n = RandomInRange(expected, 1, 10);
                if (std::ranges::count(numbers, n) == 0) {
                    numbers.push_back(n);
                }
            }
            std::ranges::sort(numbers);
            QCOMPARE(t.numbers, numbers);
            expected.Reseed(36000.25f);
            QCOMPARE(t.bonus, MapToRange(expected.NextRandom(), 1, 99));
        }
        QCOMPARE(generator.state(), expected.state());
    }

    void draw_impossibleRecord_refusedBeforeDrawing_data() {
        QTest::addColumn<DrawSettings>("settings");
        QTest::addColumn<QString>("message");

        DrawSettings s = LottoSettings(49, 6);
        s.ticketCount = 51;
        QTest::newRow("51 tickets") << s << "The number of tickets must be from 1 to 50, not 51.";
        QTest::newRow("8 numbers")
            << LottoSettings(49, 8) << "The numbers per ticket must be from 3 to 7, not 8.";
        QTest::newRow("highest 9")
            << LottoSettings(9, 3) << "The highest number must be from 10 to 99, not 9.";
        s = LottoSettings(49, 6);
        s.bonusPlayed = true;
        s.highestBonus = 1;
        QTest::newRow("highest bonus 1")
            << s << "The highest bonus number must be from 2 to 99, not 1.";
        s = LottoSettings(49, 6);
        s.includeNumber = s.excludeNumber = 7;
        QTest::newRow("include is exclude")
            << s << "The same number (7) cannot be included and excluded.";
        s = DailySettings(3);
        s.includeNumber = 8;
        s.includePosition = 4;
        QTest::newRow("daily include position 4")
            << s << "The include position must be from 1 to 3, not 4.";
    }

    void draw_impossibleRecord_refusedBeforeDrawing() {
        QFETCH(DrawSettings, settings);
        QFETCH(QString, message);

        Generator generator = Generator::FromSeed(1);
        const Generator::State before = generator.state();
        const FrozenClock clock(36000);
        const PlainSeedLocale locale;
        int drawn = 0;
        try {
            TicketDrawer(generator, clock, locale).Draw(settings, [&](int, const Ticket&) {
                ++drawn;
            });
            QFAIL("drawn without complaint");
        } catch (const InvalidDrawSettings& e) {
            QCOMPARE(QString::fromStdString(e.what()), message);
        }
        QCOMPARE(drawn, 0);
        QCOMPARE(generator.state(), before);
    }

    // Called directly, the routines can meet ranges no option list offers: a rejection loop
    // with nothing left to accept would hang here instead of throwing.
    void drawRoutines_infeasibleRange_throwInsteadOfLooping() {
        Generator g = Generator::FromSeed(1);
        DrawSettings s = LottoSettings(10, 7);
        QVERIFY_THROWS_EXCEPTION(InvalidDrawSettings, DrawLottoTicket(g, {5, 4}, s));
        QVERIFY_THROWS_EXCEPTION(InvalidDrawSettings, DrawLottoTicket(g, {1, 6}, s));
        s.excludeNumber = 3;
        QVERIFY_THROWS_EXCEPTION(InvalidDrawSettings, DrawLottoTicket(g, {1, 7}, s));
        s.includeNumber = 45; // outside the range, so the range must still hold six numbers
        QCOMPARE(DrawLottoTicket(g, {1, 7}, s).size(), size_t(7));
        QVERIFY_THROWS_EXCEPTION(InvalidDrawSettings, DrawLottoTicket(g, {1, 6}, s));
        try {
            DrawLottoTicket(g, {1, 6}, s);
        } catch (const InvalidDrawSettings& e) {
            QCOMPARE(std::string(e.what()),
                     "The numbers 1 to 6, less the included and excluded "
                     "numbers, cannot fill a ticket of 7 different numbers.");
        }
        DrawSettings d = DailySettings(3);
        d.excludeNumber = 4;
        QVERIFY_THROWS_EXCEPTION(InvalidDrawSettings, DrawDailyTicket(g, {4, 4}, d));
        QCOMPARE(DrawDailyTicket(g, {4, 5}, d), (std::vector<int32_t>{5, 5, 5}));
    }
};

QTEST_APPLESS_MAIN(DrawTest)
#include "tst_draw.moc"
