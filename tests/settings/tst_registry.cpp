#include <cstdio>
#include <limits>
#include <memory>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include "settings/Registry.h"
#include "settings/StoredSettings.h"

using namespace kivora;

namespace {

const QString kConf = QStringLiteral("Brandell/Kivora.conf");

int32_t Read(const QString& name) {
    return ReadDword(RootKey::CurrentUser, kSettingsKeyPath, name);
}

void Write(const QString& name, int32_t value) {
    WriteDword(RootKey::CurrentUser, kSettingsKeyPath, name, value);
}

// The other process of a round trip: "write <name> <value>" or "read <name>", in the store
// of the XDG_CONFIG_HOME it was given.
int RunChild(const QStringList& args) {
    if (args.size() == 3 && args[0] == u"write") {
        Write(args[1], args[2].toInt());
    } else if (args.size() == 2 && args[0] == u"read") {
        std::printf("%d\n", Read(args[1]));
    } else {
        return 2;
    }
    return 0;
}

bool WriteFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

} // namespace

class TestRegistry : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> config_; // this case's config folder

    QString Conf() const { return config_->filePath(kConf); }

    // Runs the other process on this case's store and returns what it printed.
    QString Child(const QStringList& args) const {
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), config_->path());
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(),
                    QStringList{QStringLiteral("--child")} + args);
        if (!child.waitForFinished(30000)) {
            return QStringLiteral("<no answer>");
        }
        return QString::fromLocal8Bit(child.readAllStandardOutput()).trimmed();
    }

private slots:
    void init() {
        config_ = std::make_unique<QTemporaryDir>();
        QVERIFY(config_->isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config_->path());
    }
    void cleanup() {
        QFile::setPermissions(config_->filePath(QStringLiteral("Brandell")),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        config_.reset();
    }

    void WriteDword_freshConfigFolder_createsIniFileOfTheProgram() {
        QCOMPARE(Child({QStringLiteral("write"), kNumbersDrawn, QStringLiteral("4")}), QString());
        QCOMPARE(ReadFile(Conf()), QByteArray("[General]\nNumbersDrawn=4\n"));
    }

    void ReadDword_writtenByOtherProcess_roundTrips_data() {
        QTest::addColumn<int>("value");
        QTest::newRow("zero") << 0;
        QTest::newRow("position") << 39;
        QTest::newRow("minus one") << -1;
        QTest::newRow("smallest") << std::numeric_limits<int32_t>::min();
        QTest::newRow("largest") << std::numeric_limits<int32_t>::max();
    }
    void ReadDword_writtenByOtherProcess_roundTrips() {
        QFETCH(int, value);
        Child({QStringLiteral("write"), kNumbersTotal, QString::number(value)});
        QCOMPARE(Read(kNumbersTotal), value); // text from the file

        Write(kGameMode, value);
        QCOMPARE(Read(kGameMode), value); // this process's own write, as QSettings keeps it
        QCOMPARE(Child({QStringLiteral("read"), kGameMode}), QString::number(value));
        QCOMPARE(Child({QStringLiteral("read"), kNumbersTotal}), QString::number(value));
    }

    void ReadDword_nothingStored_readsZeroAndCreatesNothing_data() {
        QTest::addColumn<QByteArray>("file"); // empty: no file at all
        QTest::addColumn<QString>("keyPath");
        const QByteArray other("[General]\nNumbersTotal=39\n");
        QTest::newRow("no file") << QByteArray() << kSettingsKeyPath;
        QTest::newRow("value missing") << other << kSettingsKeyPath;
        QTest::newRow("other program") << other << QStringLiteral("Software\\Brandell\\Other");
        QTest::newRow("key below") << other << kSettingsKeyPath + QStringLiteral("\\Window");
        QTest::newRow("empty path") << other << QString();
    }
    void ReadDword_nothingStored_readsZeroAndCreatesNothing() {
        QFETCH(QByteArray, file);
        QFETCH(QString, keyPath);
        if (!file.isEmpty()) {
            QVERIFY(WriteFile(Conf(), file));
        }
        QCOMPARE(ReadDword(RootKey::CurrentUser, keyPath, kNumbersDrawn), 0);
        QCOMPARE(QDir(config_->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 file.isEmpty() ? QStringList() : QStringList{QStringLiteral("Brandell")});
        QCOMPARE(ReadFile(Conf()), file.isEmpty() ? QByteArray("<missing>") : file);
    }

    // Someone edited the file by hand. Only what the program could have written counts.
    void ReadDword_handEditedText_readsOnlyWholeNumbers_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("value");
        QTest::newRow("plain") << QByteArray("3") << 3;
        QTest::newRow("leading zeros") << QByteArray("007") << 7;
        QTest::newRow("plus sign") << QByteArray("+7") << 7;
        QTest::newRow("minus sign") << QByteArray("-12") << -12;
        QTest::newRow("largest") << QByteArray("2147483647") << 2147483647;
        QTest::newRow("smallest") << QByteArray("-2147483648") << std::numeric_limits<int>::min();
        QTest::newRow("one above") << QByteArray("2147483648") << 0;
        QTest::newRow("one below") << QByteArray("-2147483649") << 0;
        QTest::newRow("unsigned dword") << QByteArray("4294967295") << 0;
        QTest::newRow("huge") << QByteArray("99999999999999999999999") << 0;
        QTest::newRow("blanks around") << QByteArray("  3  ") << 3; // QSettings trims them
        QTest::newRow("quoted blank") << QByteArray("\" 3\"") << 0;
        QTest::newRow("blank inside") << QByteArray("3 4") << 0;
        QTest::newRow("empty") << QByteArray() << 0;
        QTest::newRow("sign only") << QByteArray("-") << 0;
        QTest::newRow("two signs") << QByteArray("--3") << 0;
        QTest::newRow("sign after") << QByteArray("3-") << 0;
        QTest::newRow("decimal") << QByteArray("3.0") << 0;
        QTest::newRow("hex") << QByteArray("0x10") << 0;
        QTest::newRow("exponent") << QByteArray("1e3") << 0;
        QTest::newRow("list") << QByteArray("1,2") << 0;
        QTest::newRow("word") << QByteArray("true") << 0;
        QTest::newRow("arabic-indic digit") << QByteArray("\xd9\xa3") << 0;
        QTest::newRow("fullwidth digit") << QByteArray("\xef\xbc\x93") << 0;
        QTest::newRow("qt variant") << QByteArray("@Variant(\\0\\0\\0\\x4\\0\\0\\0\\x5)") << 0;
    }
    void ReadDword_handEditedText_readsOnlyWholeNumbers() {
        QFETCH(QByteArray, text);
        QFETCH(int, value);
        QVERIFY(WriteFile(Conf(), "[General]\nNumbersDrawn=" + text + "\n"));
        QCOMPARE(Read(kNumbersDrawn), value);
    }

    // Damaged files read what they can and are replaced by the next write.
    void ReadDword_damagedFile_readsWhatItCanAndWriteRepairs_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QList<int>>("numbersDrawn"); // the readings allowed
        QByteArray noise(4096, '\0');
        QRandomGenerator random(20090429);
        for (char& byte : noise) {
            byte = static_cast<char>(random.bounded(256));
        }
        QTest::newRow("truncated in a name")
            << QByteArray("[General]\nNumbersDrawn=4\nNumbersTo") << QList<int>{4};
        QTest::newRow("truncated section") << QByteArray("[Gener") << QList<int>{0};
        QTest::newRow("binary noise") << noise << QList<int>{};
        QTest::newRow("nul bytes")
            << QByteArray("[General]\nNumbersDrawn=") + QByteArray(3, '\0') + "\x04\n"
            << QList<int>{0};
        QTest::newRow("duplicate names")
            << QByteArray("[General]\nNumbersDrawn=1\nNumbersDrawn=2\n") << QList<int>{1, 2};
        QTest::newRow("duplicate sections")
            << QByteArray("[General]\nNumbersDrawn=1\n[General]\nNumbersDrawn=2\n")
            << QList<int>{1, 2};
        QTest::newRow("megabyte of digits")
            << "[General]\nNumbersDrawn=" + QByteArray(1 << 20, '7') << QList<int>{0};
        QTest::newRow("no names") << QByteArray("=\n==\n[]\n=5\n") << QList<int>{0};
    }
    void ReadDword_damagedFile_readsWhatItCanAndWriteRepairs() {
        QFETCH(QByteArray, file);
        QFETCH(QList<int>, numbersDrawn);
        QVERIFY(WriteFile(Conf(), file));
        const int read = Read(kNumbersDrawn);
        if (!numbersDrawn.isEmpty()) {
            QVERIFY2(numbersDrawn.contains(read), qPrintable(QString::number(read)));
        }
        for (const QString& name : kStoredListValues) {
            Read(name);
        }
        Write(kGameMode, 1);
        QCOMPARE(Child({QStringLiteral("read"), kGameMode}), QStringLiteral("1"));
    }

    void WriteDword_otherValuesStored_keepsThem() {
        QVERIFY(WriteFile(Conf(), "[General]\nNumbersDrawn=2\n\n[Window]\nx=1\n"));
        Write(kNumbersTotal, 39);
        QCOMPARE(ReadFile(Conf()), QByteArray("[General]\nNumbersDrawn=2\nNumbersTotal=39\n\n"
                                              "[Window]\nx=1\n"));
        // Saved through a temporary file and unlocked again: nothing is left beside it.
        QCOMPARE(QDir(config_->filePath(QStringLiteral("Brandell"))).entryList(QDir::Files),
                 QStringList{QStringLiteral("Kivora.conf")});
    }

    void WriteDword_keyPath_picksFileAndSection_data() {
        QTest::addColumn<QString>("keyPath");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("the program's key")
            << kSettingsKeyPath << kConf << QByteArray("[General]\nGameMode=1\n");
        QTest::newRow("key below") << QStringLiteral("Software\\Brandell\\Kivora\\Window\\Top")
                                   << kConf << QByteArray("[Window]\nTop\\GameMode=1\n");
        QTest::newRow("other maker")
            << QStringLiteral("software\\Acme\\Tool") << QStringLiteral("Acme/Tool.conf")
            << QByteArray("[General]\nGameMode=1\n");
        QTest::newRow("extra separators") << QStringLiteral("\\Software\\\\Brandell\\Kivora\\")
                                          << kConf << QByteArray("[General]\nGameMode=1\n");
    }
    void WriteDword_keyPath_picksFileAndSection() {
        QFETCH(QString, keyPath);
        QFETCH(QString, file);
        QFETCH(QByteArray, content);
        WriteDword(RootKey::CurrentUser, keyPath, kGameMode, 1);
        QCOMPARE(ReadFile(config_->filePath(file)), content);
        QCOMPARE(ReadDword(RootKey::CurrentUser, keyPath, kGameMode), 1);
    }

    // Nothing is reported, nothing hangs, and what was stored before stays.
    void WriteDword_storeUnwritable_leavesItAsItWas_data() {
        QTest::addColumn<QString>("obstacle");
        QTest::newRow("folder instead of the file") << QStringLiteral("conf folder");
        QTest::newRow("file instead of the folder") << QStringLiteral("maker file");
        QTest::newRow("lock that never frees") << QStringLiteral("lock folder");
        QTest::newRow("read-only folder") << QStringLiteral("read-only");
    }
    void WriteDword_storeUnwritable_leavesItAsItWas() {
        QFETCH(QString, obstacle);
        const QString maker = config_->filePath(QStringLiteral("Brandell"));
        QByteArray before("[General]\nGameMode=0\n");
        if (obstacle == u"conf folder") {
            QVERIFY(QDir().mkpath(Conf()));
            before = "<missing>";
        } else if (obstacle == u"maker file") {
            QVERIFY(WriteFile(maker, "not a folder"));
            before = "<missing>";
        } else {
            QVERIFY(WriteFile(Conf(), before));
            if (obstacle == u"lock folder") {
                QVERIFY(QDir().mkpath(Conf() + QStringLiteral(".lock")));
            } else {
                QFile::setPermissions(Conf(), QFile::ReadOwner);
                QFile::setPermissions(maker, QFile::ReadOwner | QFile::ExeOwner);
                if (QFileInfo(maker).isWritable()) {
                    QSKIP("Permissions do not bind this user (root)");
                }
            }
        }
        QElapsedTimer timer;
        timer.start();
        Write(kGameMode, 1);
        QVERIFY2(timer.elapsed() < 10000, qPrintable(QString::number(timer.elapsed())));
        QCOMPARE(ReadFile(Conf()), before);
    }
};

int main(int argc, char** argv) {
    if (argc > 1 && qstrcmp(argv[1], "--child") == 0) {
        QCoreApplication app(argc, argv);
        return RunChild(app.arguments().mid(2));
    }
    // Until a case points the store at its own folder, it points at a throw-away one: nothing
    // here may reach the user's real store.
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit());
    QCoreApplication app(argc, argv);
    TestRegistry test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_registry.moc"
