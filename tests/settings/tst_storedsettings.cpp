#include <limits>

#include <QTest>

#include "settings/StoredSettings.h"

using namespace kivora;

class TestStoredSettings : public QObject {
    Q_OBJECT

private slots:
    void StoredPosition_value_selectsOnlyEntriesOfTheList_data() {
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("entryCount");
        QTest::addColumn<int>("position");
        constexpr int kMin = std::numeric_limits<int32_t>::min();
        constexpr int kMax = std::numeric_limits<int32_t>::max();
        QTest::newRow("first entry") << 0 << 50 << 0;
        QTest::newRow("middle entry") << 39 << 90 << 39;
        QTest::newRow("last entry") << 49 << 50 << 49;
        QTest::newRow("one past the end") << 50 << 50 << 0;
        QTest::newRow("far past the end") << kMax << 50 << 0;
        QTest::newRow("minus one") << -1 << 50 << 0;
        QTest::newRow("most negative") << kMin << 50 << 0;
        QTest::newRow("empty list") << 0 << 0 << 0;
        QTest::newRow("largest 16-bit position") << 32767 << 40000 << 32767;
        QTest::newRow("beyond 16 bits") << 32768 << 40000 << 0;
    }
    void StoredPosition_value_selectsOnlyEntriesOfTheList() {
        QFETCH(int, value);
        QFETCH(int, entryCount);
        QFETCH(int, position);
        QCOMPARE(int{StoredPosition(value, entryCount)}, position);
    }
};

QTEST_APPLESS_MAIN(TestStoredSettings)
#include "tst_storedsettings.moc"
