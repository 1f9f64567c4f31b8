#include <csignal>
#include <cstdio>
#include <limits>
#include <memory>

#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include "settings/Registry.h"
#include "settings/StoreBatch.h"
#include "settings/StoredSettings.h"

using namespace kivora;

static int32_t Read(const QString& name) {
    return ReadDword(RootKey::CurrentUser, kSettingsKeyPath, name);
}

static void Write(const QString& name, int32_t value) {
    WriteDword(RootKey::CurrentUser, kSettingsKeyPath, name, value);
}

// The eight values as the exit writes them, in one save.
static void SaveEight() {
    StoreBatch batch(RootKey::CurrentUser, kSettingsKeyPath);
    for (const QString& name : kStoredListValues) {
        batch.Set(name, 2);
    }
    batch.Set(kGameMode, 1);
    batch.Commit();
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

    // A file system of `size` bytes mounted over the config folder; false where this process
    // may not mount (not root, or no mount rights in the container).
    bool MountSmall(const char* size) {
        const QByteArray at = config_->path().toLocal8Bit();
        mounted_ = ::geteuid() == 0 && ::mount("tmpfs", at.constData(), "tmpfs", 0,
                                               (QByteArray("size=") + size).constData()) == 0;
        return mounted_;
    }
    bool mounted_ = false;

private slots:
    void init() {
        config_ = std::make_unique<QTemporaryDir>();
        qputenv("XDG_CONFIG_HOME", config_->path().toLocal8Bit());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config_->path());
    }

    void cleanup() {
        if (mounted_) {
            ::umount2(config_->path().toLocal8Bit().constData(), MNT_DETACH);
            mounted_ = false;
        }
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

    // Nothing is reported, the write gives up within one wait, and no file appears.
    void WriteDword_storeUnwritable_leavesItAsItWas_data() {
        QTest::addColumn<QString>("obstacle");
        QTest::newRow("folder instead of the file") << QStringLiteral("Brandell/Kivora.conf");
        QTest::newRow("lock that never frees") << QStringLiteral("Brandell/Kivora.conf.lock");
    }
    void WriteDword_storeUnwritable_leavesItAsItWas() {
        QFETCH(QString, obstacle);
        QVERIFY(QDir().mkpath(config_->filePath(obstacle)));
        const QDeadlineTimer deadline(1500);
        Write(kGameMode, 1);
        QVERIFY(!deadline.hasExpired());
        QVERIFY(!QFileInfo(Conf()).isFile());
    }

    // A save changes its own lines and nothing else, and QSettings reads the new file as the
    // old one with the new values: NumbersDrawn=4 and GameMode=1 here.
    void save_existingFile_changesOnlyItsOwnLines_data() {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("after");
        const QByteArray both("NumbersDrawn=4\nGameMode=1\n");
        QTest::newRow("none") << QByteArray() << "[General]\n" + both;
        QTest::newRow("in place, comment kept")
            << QByteArray("[General]\nGameMode=0\nNumbersDrawn = 7 ; was 7\n\n[Window]\nx=1\n")
            << QByteArray("[General]\nGameMode=1\nNumbersDrawn=4; was 7\n\n[Window]\nx=1\n");
        QTest::newRow("general after another section")
            << QByteArray("[Window]\nx=1\n[general]\nBonusMax=3")
            << "[Window]\nx=1\n[general]\n" + both + "BonusMax=3";
        QTest::newRow("same names in another section")
            << QByteArray("[Window]\nGameMode=9\nNumbersDrawn=9")
            << "[General]\n" + both + "\n[Window]\nGameMode=9\nNumbersDrawn=9";
        QTest::newRow("before any section, with a mark")
            << QByteArray("\xef\xbb\xbfGameMode=0\n[Window]\n")
            << QByteArray("\xef\xbb\xbf[General]\nNumbersDrawn=4\n\nGameMode=1\n[Window]\n");
        QTest::newRow("every copy, CRLF")
            << QByteArray("; mine\r\n[General]\r\nGameMode=0\r\nGameMode=5\r\n")
            << QByteArray("; mine\r\n[General]\r\nNumbersDrawn=4\r\nGameMode=1\r\nGameMode=1\r\n");
        QTest::newRow("continued and quoted values")
            << QByteArray("[General]\nGameMode=a\\\nb\nNote=\"x\nGameMode=2\"\nNumbersDrawn=1\n")
            << QByteArray("[General]\nGameMode=1\nNote=\"x\nGameMode=2\"\nNumbersDrawn=4\n");
    }
    void save_existingFile_changesOnlyItsOwnLines() {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, after);
        QVERIFY(QDir().mkpath(QFileInfo(Conf()).path()));
        QFile file(Conf());
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(before) == before.size());
        file.close();
        QVERIFY(file.copy(config_->filePath("before.ini")));
        StoreBatch batch(RootKey::CurrentUser, kSettingsKeyPath);
        batch.Set(kNumbersDrawn, 4);
        batch.Set(kGameMode, 1);
        batch.Commit();
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), after);
        QVERIFY(file.copy(config_->filePath("after.ini")));
        // Fresh names, so QSettings' cache of this process plays no part.
        QSettings old(config_->filePath("before.ini"), QSettings::IniFormat);
        QSettings saved(config_->filePath("after.ini"), QSettings::IniFormat);
        QVariantMap expected{{"NumbersDrawn", "4"}, {"GameMode", "1"}};
        for (const QString& key : old.allKeys()) {
            expected.insert(key, expected.value(key, old.value(key)));
        }
        QVariantMap read;
        for (const QString& key : saved.allKeys()) {
            read.insert(key, saved.value(key));
        }
        QCOMPARE(read, expected);
    }

    // A linked store is written where the link points, with its permissions, and the link stays.
    void save_linkedStore_writesThroughTheLink() {
        const QString real = config_->filePath("dotfiles/kivora.conf");
        QVERIFY(QDir().mkpath(QFileInfo(real).path()) && QDir().mkpath(QFileInfo(Conf()).path()));
        QFile file(real);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("[General]\nGameMode=0\n") > 0);
        file.close();
        QVERIFY(file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
        QVERIFY(QFile::link(real, Conf()));
        Write(kGameMode, 1);
        QVERIFY(QFileInfo(Conf()).isSymLink());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("[General]\nGameMode=1\n"));
        QCOMPARE(file.permissions() & 0x0FFF,
                 QFile::ReadUser | QFile::WriteUser | QFile::ReadGroup);
    }

    // A save that cannot finish leaves the previous file byte for byte, and gives up in one
    // bounded wait. The file is padded past the write limits with a section of its own.
    void save_storeFault_keepsPreviousFileWithinOneWait_data() {
        QTest::addColumn<QString>("fault");
        for (const char* fault : {"full file system", "write fails after 1 KiB", "read-only folder",
                                  "lock is a folder"}) {
            QTest::newRow(fault) << QString::fromLatin1(fault);
        }
    }
    void save_storeFault_keepsPreviousFileWithinOneWait() {
        QFETCH(QString, fault);
        if (fault == "full file system" || fault == "read-only folder") {
            // Root passes by folder permissions; a mount of its own is what stops it. On 8 KiB
            // the file takes one page and the lock the other: the new file finds none.
            if (!MountSmall(fault == "full file system" ? "8k" : "64k") &&
                (fault == "full file system" || ::geteuid() == 0)) {
                QSKIP("needs a small file system of its own: run as root");
            }
        }
        QByteArray previous("[General]\nNumberOfTickets=4\nNumbersDrawn=3\nNumbersTotal=39\n"
                            "BonusPlayed=1\nBonusMax=40\nDrawBasedOn=2\nDrawPreferred=1\n"
                            "GameMode=1\n\n[Window]\n");
        for (int i = 0; previous.size() < 1800; ++i) {
            previous += "Note" + QByteArray::number(i) + "=kept as it was\n";
        }
        QVERIFY(QDir().mkpath(QFileInfo(Conf()).path()));
        QFile out(Conf());
        QVERIFY(out.open(QIODevice::WriteOnly) && out.write(previous) == previous.size());
        out.close();
        const QByteArray folder = QFileInfo(Conf()).path().toLocal8Bit();
        if (fault == "read-only folder") {
            if (mounted_) {
                QVERIFY(::mount(nullptr, config_->path().toLocal8Bit().constData(), nullptr,
                                MS_REMOUNT | MS_RDONLY, nullptr) == 0);
            } else {
                QVERIFY(QFile::setPermissions(QString::fromLocal8Bit(folder),
                                              QFile::ReadOwner | QFile::ExeOwner));
            }
        } else if (fault == "lock is a folder") {
            QVERIFY(QDir().mkpath(Conf() + ".lock"));
        }

        rlimit limit{};
        ::getrlimit(RLIMIT_FSIZE, &limit);
        const rlimit before = limit;
        if (fault == "write fails after 1 KiB") {
            std::signal(SIGXFSZ, SIG_IGN);
            limit.rlim_cur = 1024;
            QVERIFY(::setrlimit(RLIMIT_FSIZE, &limit) == 0);
        }
        QElapsedTimer took;
        took.start();
        SaveEight();
        const qint64 elapsed = took.elapsed();
        ::setrlimit(RLIMIT_FSIZE, &before);
        QFile::setPermissions(QString::fromLocal8Bit(folder),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

        QFile kept(Conf());
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), previous);
        QCOMPARE_LT(elapsed, 1500);
        QCOMPARE(QDir(QString::fromLocal8Bit(folder)).entryList(QDir::Files).size(), 1);
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
