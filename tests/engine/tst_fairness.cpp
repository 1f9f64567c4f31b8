// The statistical battery. Every check runs at a fixed generator state with a simulated clock,
// so it is exact and never flaky. Bounds are the chi-square quantiles at p = 0.001.
#include <QTest>

#include <algorithm>

#include "EngineTestSupport.h"
#include "engine/Draw.h"
#include "engine/TicketDrawer.h"

using namespace kivora;
using namespace kivora::test;

namespace {

constexpr uint64_t kValues = 1ULL << 24; // every value NextRandom can return

// Tickets as a run of 50-ticket Starts draws them, one after the other on one generator.
template <typename Visit>
void DrawTickets(DrawSettings settings, int count, uint64_t seed, Visit visit) {
    Generator generator = Generator::FromSeed(seed);
    const TickingClock clock;
    const PlainSeedLocale locale;
    TicketDrawer drawer(generator, clock, locale);
    settings.ticketCount = 50;
    for (int drawn = 0; drawn < count; drawn += 50) {
        drawer.Draw(settings, [&visit](int, const Ticket& t) { visit(t); });
    }
}

void VerifyChiSquare(const std::vector<long long>& counts, double expected, double bound) {
    double chi2 = 0;
    for (const long long count : counts) {
        const double d = static_cast<double>(count) - expected;
        chi2 += d * d / expected;
    }
    QVERIFY2(chi2 < bound,
             qPrintable(QStringLiteral("chi-square %1, bound %2").arg(chi2).arg(bound)));
}

// Buckets 1 to n; the buckets differ by at most one value.
void VerifyEven(const std::vector<long long>& counts) {
    const auto [least, most] = std::minmax_element(counts.begin() + 1, counts.end());
    QVERIFY2(*most - *least <= 1, qPrintable(QStringLiteral("%1 to %2").arg(*least).arg(*most)));
}

} // namespace

class FairnessTest : public QObject {
    Q_OBJECT

private slots:
    void randomInRange_everyRandomValue_bucketsDifferByAtMostOne_data() {
        QTest::addColumn<int>("high");
        QTest::newRow("1 to 10") << 10;
        QTest::newRow("1 to 49") << 49;
        QTest::newRow("1 to 99") << 99;
    }

    // Through RandomInRange itself, with a generator built to return each 24-bit value next.
    // k * n < 2^31 is exact in double, so value k lands in bucket floor(k * n / 2^24) and every
    // bucket holds the floor or the ceiling of 2^24 / n values: no float rounding can make it 2.
    void randomInRange_everyRandomValue_bucketsDifferByAtMostOne() {
        QFETCH(int, high);

        std::vector<long long> counts(static_cast<size_t>(high) + 1);
        for (uint64_t k = 0; k < kValues; ++k) {
            Generator generator = GeneratorWithOutput(k << 40);
            const int value = RandomInRange(generator, 1, high);
            if (value < 1 || value > high) {
                QFAIL(qPrintable(QStringLiteral("value %1 maps to %2").arg(k).arg(value)));
            }
            ++counts[static_cast<size_t>(value)];
        }
        VerifyEven(counts);
    }

    // DrawBonusNumber maps its one value with the same routine, from 1 to the highest bonus.
    void bonusMapping_everyRandomValueEveryHighest_bucketsDifferByAtMostOne() {
        for (int highest = 2; highest <= 99; ++highest) {
            std::vector<long long> counts(static_cast<size_t>(highest) + 1);
            for (uint64_t k = 0; k < kValues; ++k) {
                const int32_t bonus = MapToRange(Generator::ToUnitFloat(k << 40), 1, highest);
                if (bonus < 1 || bonus > highest) {
                    QFAIL(qPrintable(QStringLiteral("%1 maps to %2").arg(k).arg(bonus)));
                }
                ++counts[static_cast<size_t>(bonus)];
            }
            VerifyEven(counts);
        }
    }

    void drawLotto_millionTickets649_ballsUniform() {
        DrawSettings s = LottoSettings(49, 6);
        s.bonusPlayed = true; // the bonus' clock re-seeds belong to the stream a Start uses
        s.highestBonus = 42;
        std::vector<long long> counts(49);
        DrawTickets(s, 1'000'000, 49, [&counts](const Ticket& t) {
            for (const int32_t n : t.numbers) {
                ++counts[static_cast<size_t>(n - 1)];
            }
        });
        VerifyChiSquare(counts, 6e6 / 49, 84.037); // 48 degrees of freedom
    }

    void drawBonus_manyTickets_bonusUniform_data() {
        QTest::addColumn<int>("highest");
        QTest::addColumn<double>("bound");
        QTest::newRow("1 to 2") << 2 << 10.828;
        QTest::newRow("1 to 42") << 42 << 74.745;
        QTest::newRow("1 to 99") << 99 << 147.010;
    }

    void drawBonus_manyTickets_bonusUniform() {
        QFETCH(int, highest);
        QFETCH(double, bound);

        DrawSettings s = LottoSettings(49, 6);
        s.bonusPlayed = true;
        s.highestBonus = static_cast<int16_t>(highest);
        std::vector<long long> counts(static_cast<size_t>(highest));
        DrawTickets(s, 200'000, 42, [&counts](const Ticket& t) { ++counts[size_t(*t.bonus - 1)]; });
        VerifyChiSquare(counts, 200'000.0 / highest, bound);
    }

    void drawDaily_mixed_everyPositionUniform_data() {
        QTest::addColumn<int>("numbers");
        QTest::newRow("3 numbers") << 3;
        QTest::newRow("7 numbers") << 7;
    }

    void drawDaily_mixed_everyPositionUniform() {
        QFETCH(int, numbers);

        std::vector<std::vector<long long>> counts(size_t(numbers), std::vector<long long>(10));
        DrawTickets(DailySettings(numbers), 100'000, 3, [&counts](const Ticket& t) {
            for (size_t i = 0; i < t.numbers.size(); ++i) {
                ++counts[i][static_cast<size_t>(t.numbers[i])];
            }
        });
        for (const auto& position : counts) {
            VerifyChiSquare(position, 10'000, 27.877); // 9 degrees of freedom
        }
    }

    void drawDaily_pick3_combinationsUniform() {
        std::vector<long long> counts(1000);
        DrawTickets(DailySettings(3), 100'000, 1000, [&counts](const Ticket& t) {
            ++counts[size_t(t.numbers[0] * 100 + t.numbers[1] * 10 + t.numbers[2])];
        });
        VerifyChiSquare(counts, 100, 1142.848); // 999 degrees of freedom
    }
};

QTEST_APPLESS_MAIN(FairnessTest)
#include "tst_fairness.moc"
