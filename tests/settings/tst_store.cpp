#include <cstdio>
#include <limits>
#include <memory>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include "settings/Registry.h"
#include "settings/StoredSettings.h"

using namespace kivora;

static int32_t Read(const QString& name) {
    return ReadDword(RootKey::CurrentUser, kSettingsKeyPath, name);
}

static void Write(const QString& name, int32_t value) {
    WriteDword(RootKey::CurrentUser, kSettingsKeyPath, name, value);
}

// Each case gets its own config folder; the other process of a round trip inherits it. A write
// reads back as an int in the process that made it, so only another process reads its text.
class TestStore : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> config_;

    QString Conf() const { return config_->filePath(QStringLiteral("Brandell/Kivora.conf")); }

    // What this program, run as the other process, reads from the store.
    static QString Child(const QString& name) {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--child"), name});
        child.waitForFinished(30000);
        return QString::fromLocal8Bit(child.readAllStandardOutput()).trimmed();
    }

private slots:
    void init() {
        config_ = std::make_unique<QTemporaryDir>();
        qputenv("XDG_CONFIG_HOME", config_->path().toLocal8Bit());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config_->path());
    }

    void StoredPosition_value_selectsOnlyEntriesOfTheList_data() {
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("position");
        QTest::newRow("0") << 0 << 50 << 0;
        QTest::newRow("count-1") << 49 << 50 << 49;
        QTest::newRow("count") << 50 << 50 << 0;
        QTest::newRow("-1") << -1 << 50 << 0;
        QTest::newRow("beyond 16 bits") << 32768 << 40000 << 0;
    }
    void StoredPosition_value_selectsOnlyEntriesOfTheList() {
        QFETCH(int, value);
        QFETCH(int, count);
        QFETCH(int, position);
        QCOMPARE(int{StoredPosition(value, count)}, position);
    }

    void WriteDword_otherProcessReads_roundTripsThroughText_data() {
        QTest::addColumn<int>("value");
        QTest::newRow("-1") << -1;
        QTest::newRow("smallest") << std::numeric_limits<int32_t>::min();
        QTest::newRow("largest") << std::numeric_limits<int32_t>::max();
    }
    void WriteDword_otherProcessReads_roundTripsThroughText() {
        QFETCH(int, value);
        Write(kGameMode, value);
        QVERIFY(QFileInfo(Conf()).isFile());
        QCOMPARE(Child(kGameMode), QString::number(value));
    }

    // Hand-edited or damaged files: only whole signed 32-bit numbers count, nothing crashes, and
    // a write still goes through.
    void ReadDword_fileContent_readsOnlyWholeNumbers_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("value");
        QByteArray noise;
        for (int i = 0; i < 4096; ++i) {
            noise += static_cast<char>(i * 7919 % 251);
        }
        const QByteArray line("[General]\nNumbersDrawn=");
        QTest::newRow("value missing") << QByteArray("[General]\nNumbersTotal=39\n") << 0;
        QTest::newRow("-3") << line + "-3" << -3;
        QTest::newRow("one above") << line + "2147483648" << 0;
        QTest::newRow("99999999999") << line + "99999999999" << 0;
        QTest::newRow("abc") << line + "abc" << 0;
        QTest::newRow("1.5") << line + "1.5" << 0;
        QTest::newRow("empty") << line << 0;
        QTest::newRow("truncated") << line + "4\nNumbersTo" << 4;
        QTest::newRow("duplicate keys") << line + "5\nNumbersDrawn=5\n[General]\nGameMode=x" << 5;
        QTest::newRow("binary noise") << noise << 0;
    }
    void ReadDword_fileContent_readsOnlyWholeNumbers() {
        QFETCH(QByteArray, file);
        QFETCH(int, value);
        QDir().mkpath(QFileInfo(Conf()).path());
        QFile out(Conf());
        QVERIFY(out.open(QIODevice::WriteOnly) && out.write(file) == file.size());
        out.close();
        QCOMPARE(Read(kNumbersDrawn), value);
        Write(kGameMode, 1);
        QCOMPARE(Child(kGameMode), QStringLiteral("1"));
    }

    // Nothing is reported, nothing hangs, and no file appears.
    void WriteDword_storeUnwritable_leavesItAsItWas_data() {
        QTest::addColumn<QString>("obstacle");
        QTest::newRow("folder instead of the file") << QStringLiteral("Brandell/Kivora.conf");
        QTest::newRow("lock that never frees") << QStringLiteral("Brandell/Kivora.conf.lock");
    }
    void WriteDword_storeUnwritable_leavesItAsItWas() {
        QFETCH(QString, obstacle);
        QVERIFY(QDir().mkpath(config_->filePath(obstacle)));
        const QDeadlineTimer deadline(10000);
        Write(kGameMode, 1);
        QVERIFY(!deadline.hasExpired());
        QVERIFY(!QFileInfo(Conf()).isFile());
    }
};

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (app.arguments().size() == 3 && app.arguments()[1] == u"--child") {
        std::printf("%d\n", Read(app.arguments()[2]));
        return 0;
    }
    TestStore test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_store.moc"
