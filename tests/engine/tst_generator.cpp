#include <QTest>

#include <cmath>
#include <limits>

#include "EngineTestSupport.h"
#include "engine/Draw.h"
#include "engine/Seed.h"
#include "engine/TicketDrawer.h"

using namespace kivora;
using namespace kivora::test;

namespace {

std::vector<float> NextValues(Generator& generator, int count) {
    std::vector<float> values(static_cast<size_t>(count));
    for (float& v : values) {
        v = generator.NextRandom();
    }
    return values;
}

// One 6/49 Start with a Random basis.
std::vector<Ticket> LottoTickets(Generator& generator, const Clock& clock, int count) {
    DrawSettings s = LottoSettings(49, 6);
    s.ticketCount = count;
    const PlainSeedLocale locale;
    return TicketDrawer(generator, clock, locale).Draw(s);
}

} // namespace

class GeneratorTest : public QObject {
    Q_OBJECT

private slots:
    void nextRandom_extremeOutputs_staysOnTheGridBelowOne_data() {
        QTest::addColumn<quint64>("output");
        QTest::addColumn<double>("steps");   // the value in steps of 2^-24
        QTest::addColumn<int>("from30To99"); // as RandomInRange(30, 99) maps it

        constexpr uint64_t kMax = std::numeric_limits<uint64_t>::max();
        QTest::newRow("zero") << quint64(0) << 0.0 << 30;
        QTest::newRow("just below the first step") << quint64((1ULL << 40) - 1) << 0.0 << 30;
        QTest::newRow("first step") << quint64(1ULL << 40) << 1.0 << 30;
        QTest::newRow("just below one half") << quint64((1ULL << 63) - 1) << 8388607.0 << 64;
        QTest::newRow("just below the top") << quint64(kMax - (1ULL << 40)) << 16777214.0 << 99;
        QTest::newRow("all ones") << quint64(kMax) << 16777215.0 << 99;
    }

    // 24 bits fit a float exactly; more would round the top values up to 1.0, one past the range.
    // (QCOMPARE on floats is fuzzy, hence the comparison in whole steps.)
    void nextRandom_extremeOutputs_staysOnTheGridBelowOne() {
        QFETCH(quint64, output);
        QFETCH(double, steps);
        QFETCH(int, from30To99);

        QCOMPARE(std::ldexp(double(Generator::ToUnitFloat(output)), 24), steps);
        Generator generator = GeneratorWithOutput(output);
        Generator oneValueOn = generator;
        const float r = generator.NextRandom();
        QCOMPARE(std::ldexp(double(r), 24), steps);
        QVERIFY(r >= 0.0f && r < 1.0f);
        // RandomInRange maps that same value and consumes nothing more.
        QCOMPARE(RandomInRange(oneValueOn, 30, 99), from30To99);
        QCOMPARE(oneValueOn.state(), generator.state());
    }

    // All tickets of one second share a seed: only the state carried across re-seeds tells them
    // apart. The copy shows the stream itself repeats from the same state.
    void reseed_sameValueTwice_doesNotRepeatTheNumbers() {
        for (const bool fromClock : {false, true}) {
            Generator generator = Generator::FromSeed(11);
            Generator copy = generator;
            const auto reseed = [fromClock](Generator& g) {
                fromClock ? g.Reseed(36000.25f) : g.Reseed(int32_t{36000});
            };
            reseed(generator);
            reseed(copy);
            const std::vector<float> first = NextValues(generator, 8);
            QCOMPARE(NextValues(copy, 8), first);
            reseed(generator);
            QVERIFY(NextValues(generator, 8) != first);
        }
    }

    // xoshiro never leaves the all-zero state: it would give 0 for ever.
    void generator_allZeroState_stillProducesNumbers() {
        Generator generator(Generator::State{});
        QVERIFY(std::ranges::count(NextValues(generator, 8), 0.0f) < 8);
    }

    void draw_tenTicketsInOneSecond_notAllEqual() {
        Generator generator = Generator::FromSeed(5);
        const std::vector<Ticket> tickets = LottoTickets(generator, FrozenClock(45296.0f), 10);
        QVERIFY(std::ranges::count(tickets, tickets.front()) < 10);
    }

    // 1000 tickets make 499500 pairs over 13983816 possible tickets: 0.036 duplicates expected.
    void draw_thousandTicketsFrozenClock_atMostTwoDuplicatePairs() {
        Generator generator = Generator::FromSeed(6);
        std::vector<Ticket> tickets;
        for (int start = 0; start < 20; ++start) {
            for (Ticket& t : LottoTickets(generator, FrozenClock(45296.0f), 50)) {
                tickets.push_back(std::move(t));
            }
        }
        std::ranges::sort(tickets, {}, &Ticket::numbers);
        int pairs = 0;
        for (size_t i = 1; i < tickets.size(); ++i) {
            pairs += tickets[i] == tickets[i - 1];
        }
        QVERIFY2(pairs <= 2, qPrintable(QString::number(pairs)));
    }

    void generator_twoSeededFromTheSystem_drawDifferentTickets() {
        Generator first;
        Generator second;
        const FrozenClock clock(45296.0f);
        QVERIFY(LottoTickets(first, clock, 5) != LottoTickets(second, clock, 5));
    }

    void nextRandom_lagsOneToTen_noSerialCorrelation_data() {
        QTest::addColumn<bool>("asAStartUsesIt");
        QTest::newRow("plain stream") << false;
        QTest::newRow("re-seeded as 6/49 tickets with a bonus") << true;
    }

    void nextRandom_lagsOneToTen_noSerialCorrelation() {
        QFETCH(bool, asAStartUsesIt);

        constexpr size_t kCount = 1'000'000;
        Generator generator = Generator::FromSeed(8);
        const TickingClock clock;
        std::vector<double> x(kCount);
        double mean = 0;
        for (size_t i = 0; i < kCount; ++i) {
            if (asAStartUsesIt && i % 7 == 0) { // the ticket's seed, six values
                generator.Reseed(RoundHalfEven(clock.TimeOfDaySeconds()));
            } else if (asAStartUsesIt && i % 7 == 6) { // the bonus' re-seed, one value
                generator.Reseed(clock.TimeOfDaySeconds());
            }
            x[i] = generator.NextRandom();
            mean += x[i] / kCount;
        }
        double variance = 0;
        for (double& v : x) {
            v -= mean;
            variance += v * v;
        }
        for (size_t lag = 1; lag <= 10; ++lag) {
            double covariance = 0;
            for (size_t i = 0; i + lag < kCount; ++i) {
                covariance += x[i] * x[i + lag];
            }
            const double z = covariance / variance * std::sqrt(double(kCount));
            QVERIFY2(std::fabs(z) < 3.29,
                     qPrintable(QStringLiteral("lag %1: z %2").arg(lag).arg(z)));
        }
    }
};

QTEST_APPLESS_MAIN(GeneratorTest)
#include "tst_generator.moc"
