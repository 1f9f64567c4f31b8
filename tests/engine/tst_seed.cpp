#include <QTest>

#include "EngineTestSupport.h"
#include "engine/Seed.h"

using namespace kivora;
using namespace kivora::test;

Q_DECLARE_METATYPE(DrawSettings)

namespace {

DrawSettings Basis(DrawBasis basis, int16_t sign = -1, const char* name = "",
                   CalendarDate date = {}) {
    DrawSettings s;
    s.drawBasedOn = basis;
    s.basisSign = sign;
    s.basisName = name;
    s.basisDate = date;
    return s;
}

DrawSettings Date(int year, int month, int day) {
    return Basis(DrawBasis::Date, -1, "", {year, month, day});
}

} // namespace

class SeedTest : public QObject {
    Q_OBJECT

private slots:
    void computeSeed_basisAndClock_givesTimePlusOffset_data() {
        QTest::addColumn<DrawSettings>("settings");
        QTest::addColumn<float>("clock");
        QTest::addColumn<QByteArray>("dateText"); // empty: the plain month/day/year locale
        QTest::addColumn<int>("seed");
        const auto row = [](const char* name, const DrawSettings& s, float clock, int seed,
                            const char* dateText = "") {
            QTest::newRow(name) << s << clock << QByteArray(dateText) << seed;
        };
        const DrawSettings random = Basis(DrawBasis::Random);
        const DrawSettings none = Basis(DrawBasis::None, 11, "Anna");

        // The clock is a float, as the real one is: 0.3f and 86399.7f are the nearest floats.
        row("random at 00:00:00.3", random, 0.3f, 0);
        row("random at 23:59:59.7", random, 86399.7f, 86400);
        row("random half rounds down to even", random, 45296.5f, 45296);
        row("random half rounds up to even", random, 45297.5f, 45298);
        row("sign pisces", Basis(DrawBasis::Sign, 11), 36000.2f, 36012);
        row("sign aries", Basis(DrawBasis::Sign, 0), 36000.2f, 36001);
        row("sign none chosen", Basis(DrawBasis::Sign, -1), 36000.2f, 36000);
        row("name empty", Basis(DrawBasis::Name, -1, ""), 36000.0f, 36001);
        row("name Anna", Basis(DrawBasis::Name, -1, "Anna"), 36000.0f, 36005);
        row("name Bert", Basis(DrawBasis::Name, -1, "Bert"), 36000.0f, 36005);
        row("name of 5 characters in 10 bytes", Basis(DrawBasis::Name, -1, "Ελένη"), 36000.0f,
            36006);
        row("date 4/27/2009", Date(2009, 4, 27), 36000.0f, 36427);
        row("date 12/31/2009", Date(2009, 12, 31), 36000.0f, 37231);
        row("date 1/5/2009 takes a year digit", Date(2009, 1, 5), 36000.0f, 36152);
        row("date 01/05/2009", Date(2009, 1, 5), 36000.0f, 36105, "01/05/2009");
        row("date read with sign and blank", Date(2009, 4, 2), 36000.0f, 35958, " -4/2/2009");
        row("date read as 2.5 rounds to even", Date(2009, 2, 5), 36000.0f, 36002, "2.5//2009");
        row("date 6 Dec 2026 reads no number", Date(2026, 12, 6), 36000.0f, 0, "6 Dec 2026");
        row("date 27.4.2009 reads no number", Date(2009, 4, 27), 36000.0f, 0, "27.4.2009");
        row("no basis at noon", none, 43200.5f, 0);
        row("no basis before midnight", none, 86399.7f, 0);
    }

    void computeSeed_basisAndClock_givesTimePlusOffset() {
        QFETCH(DrawSettings, settings);
        QFETCH(float, clock);
        QFETCH(QByteArray, dateText);
        QFETCH(int, seed);

        const PlainSeedLocale plain;
        const FixedDateLocale fixed(dateText.toStdString());
        const SeedLocale& locale =
            dateText.isEmpty() ? static_cast<const SeedLocale&>(plain) : fixed;
        QCOMPARE(ComputeSeed(settings, FrozenClock(clock), locale), seed);
    }
};

QTEST_APPLESS_MAIN(SeedTest)
#include "tst_seed.moc"
