#include <csignal>
#include <cstdio>
#include <memory>
#include <random>
#include <tuple>

#include <sys/resource.h>
#include <sys/stat.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include "settings/IniText.h"
#include "settings/Registry.h"
#include "settings/StoredSettings.h"
#include "support/Files.h"

using namespace kivora;
using test::FileBytes;
using test::PutFile;

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
    static QString Child(const QString& name, int waitMs = 30000) {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--child"), name});
        child.waitForFinished(waitMs);
        return QString::fromLocal8Bit(child.readAllStandardOutput()).trimmed();
    }

private slots:
    void init() {
        config_ = std::make_unique<QTemporaryDir>();
        qputenv("XDG_CONFIG_HOME", config_->path().toLocal8Bit());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config_->path());
    }

    void StoredPosition_value_selectsOnlyEntriesOfTheList() {
        for (const auto& [value, count, position] :
             {std::tuple(49, 50, 49), {50, 50, 0}, {-1, 50, 0}, {32768, 40000, 0}}) {
            QCOMPARE(int{StoredPosition(value, count)}, position);
        }
    }

    void WriteDword_otherProcessReads_roundTripsThroughText() {
        for (const int32_t value : {INT32_MIN, INT32_MAX}) {
            Write(kGameMode, value);
            QCOMPARE(Child(kGameMode), QString::number(value));
        }
    }

    // Hand-edited files: only whole signed 32-bit numbers count.
    void ReadDword_handEdited_readsOnlyWholeNumbers_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("value");
        QTest::newRow("one above") << QByteArray("2147483648") << 0;
        QTest::newRow("1.5") << QByteArray("1.5") << 0;
    }
    void ReadDword_handEdited_readsOnlyWholeNumbers() {
        QFETCH(QByteArray, text);
        QVERIFY(PutFile(Conf(), "[General]\nNumbersDrawn=" + text));
        QTEST(Read(kNumbersDrawn), "value");
    }

    // Something that is not a store Kivora writes (a FIFO would block the reader, a huge file
    // would hold up start-up) reads as a first start, quickly, and a save leaves it alone.
    void store_unusualFile_readsAsFirstStartAndStays_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("reads");
        QTest::newRow("FIFO") << "fifo" << 0;
        QTest::newRow("one byte over 1 MiB") << "big" << 0;
        QTest::newRow("1 MiB of hand-made store") << "largest" << 1;
    }
    void store_unusualFile_readsAsFirstStartAndStays() {
        QFETCH(QString, kind);
        QFETCH(int, reads);
        QByteArray file("[General]\nGameMode=1\n; ");
        file += QByteArray((1 << 20) - file.size() - 1 + (kind == "big" ? 1 : 0), 'x') + '\n';
        QVERIFY(kind == "fifo" ? QDir().mkpath(QFileInfo(Conf()).path()) &&
                                     ::mkfifo(Conf().toLocal8Bit().constData(), 0600) == 0
                               : PutFile(Conf(), file));
        QElapsedTimer took;
        took.start();
        QCOMPARE(Child(kGameMode, 5000), QString::number(reads));
        QCOMPARE_LT(took.elapsed(), 2000);
        Write(kGameMode, 2);
        QCOMPARE(Child(kGameMode), QString::number(kind == "largest" ? 2 : 0));
        QVERIFY(kind != "big" || FileBytes(Conf()) == file);
    }

    // A save changes its own lines and nothing else, byte for byte (what QSettings makes of
    // the result is the random files' part below).
    void SetIniValues_existingFile_changesOnlyItsOwnLines() {
        for (const auto& [before, after] : {
                 // in place, the comment kept
                 std::pair<QByteArray, QByteArray>(
                     "[General]\nGameMode=0\nNumbersDrawn = 7 ; was 7\n\n[Window]\nx=1\n",
                     "[General]\nGameMode=1\nNumbersDrawn=4; was 7\n\n[Window]\nx=1\n"),
                 // before any section, with a mark
                 {"\xef\xbb\xbfGameMode=0\n[Window]\n",
                  "\xef\xbb\xbf[General]\nNumbersDrawn=4\n\nGameMode=1\n[Window]\n"},
                 // every copy, CRLF
                 {"; mine\r\n[General]\r\nGameMode=0\r\nGameMode=5\r\n",
                  "; mine\r\n[General]\r\nNumbersDrawn=4\r\nGameMode=1\r\nGameMode=1\r\n"},
             }) {
            QCOMPARE(SetIniValues(before, QString(), {{kNumbersDrawn, "4"}, {kGameMode, "1"}}),
                     after);
        }
    }

    // Random hand-edited files, adversarial pieces included: after a save QSettings reads the
    // eight values saved and every other key as before. Fixed seed, a thousand files. (The
    // program keeps its values in [General] only.)
    void SetIniValues_randomFiles_qsettingsReadsTheSave() {
        const std::vector<QByteArray> pieces[] = {
            {"[General]", "[general]", "[ General ]", "[%General]", "[Window]", "[window]",
             "[Win%64ow]", "[Window\\Sub]", "[Other]", "[General", "[General]\"", "[General]\\",
             "[Window]\\", "[Window]\"", "[General] ;x\"", "[Window];"},
            {"GameMode", "NumbersDrawn", "BonusMax", "Game%4Dode", "%47ameMode", "Game%4dode",
             "%U0047ameMode", "GameMode%", "gamemode", "Window\\GameMode", "Window/NumbersDrawn",
             "Sub\\BonusMax", "Other", " GameMode", "\tNumbersDrawn \v", "\"GameMode\"",
             "Game\"Mode", "\xef\xbb\xbfGameMode", "Num%62ersDrawn"},
            {"=", " = ", "=\t", "", "=="},
            {"1", "-3", " 7 ", "\"x", "\"a=b\"", "x\\", "\\", "a;b", "y\"z", "a,b", "", "\xff",
             "\\\n", "\"\n[Window]\nGameMode=9\"", "\"\n"},
            {"\n", "\r\n", "\r", "", "\n\n", " \n", "\\\n", "\n\r", "; c\n", "\t;\"\n"},
        };
        constexpr char kNoise[] = "[]=\\\";\n\r \t%\vG";
        std::mt19937 random(17);
        auto pick = [&random](const std::vector<QByteArray>& from) {
            return from[std::uniform_int_distribution<size_t>(0, from.size() - 1)(random)];
        };
        for (int round = 0; round < 1000; ++round) {
            QByteArray before = random() % 4 == 0 ? "\xef\xbb\xbf" : "";
            before += pick({"", " ", "\t ", "\n", "\v"});
            for (auto lines = random() % 9; lines > 0; --lines) {
                switch (random() % 8) {
                case 0:
                case 1:
                    before += pick(pieces[0]);
                    break;
                case 2: // noise, the closing NUL included
                    for (auto length = random() % 6; length > 0; --length) {
                        before += kNoise[random() % sizeof(kNoise)];
                    }
                    break;
                default:
                    before += pick(pieces[1]) + pick(pieces[2]) + pick(pieces[3]);
                }
                before += pick(pieces[4]);
            }
            QList<QPair<QString, QByteArray>> values;
            for (const QString& name : kStoredListValues) {
                values.append({name, QByteArray::number(int(random() % 200) - 100)});
            }
            values.append({kGameMode, QByteArray::number(int(random() % 3))});
            const QByteArray after = SetIniValues(before, QString(), values);

            const QString name = config_->filePath(QString::number(round));
            QVERIFY(PutFile(name + "-before.ini", before) && PutFile(name + "-after.ini", after));
            QSettings old(name + "-before.ini", QSettings::IniFormat);
            QSettings saved(name + "-after.ini", QSettings::IniFormat);
            const QByteArray context = before.toPercentEncoding();
            QStringList mine;
            // As the program reads them first, then after QSettings has parsed every section.
            for (int pass = 0; pass < 2; ++pass) {
                if (pass == 1) {
                    saved.allKeys();
                }
                for (const auto& [key, value] : values) {
                    mine << key;
                    QVERIFY2(saved.value(key) == QString::fromLatin1(value), context.constData());
                }
            }
            for (const QString& key : saved.allKeys() + old.allKeys()) {
                // Keys QSettings cannot look up as they stand play no part.
                if (!mine.contains(key) && !key.isEmpty() && !key.startsWith('/') &&
                    !key.endsWith('/') && !key.contains("//")) {
                    QVERIFY2(saved.value(key) == old.value(key), context.constData());
                }
            }
        }
    }

    // A linked store is written where the link points, with its permissions, and the link stays.
    void save_linkedStore_writesThroughTheLink() {
        const QString real = config_->filePath("dotfiles/kivora.conf");
        QVERIFY(PutFile(real, "[General]\nGameMode=0\n") &&
                QDir().mkpath(QFileInfo(Conf()).path()));
        QVERIFY(
            QFile::setPermissions(real, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
        QVERIFY(QFile::link(real, Conf()));
        Write(kGameMode, 1);
        QVERIFY(QFileInfo(Conf()).isSymLink());
        QCOMPARE(FileBytes(real), QByteArray("[General]\nGameMode=1\n"));
        QCOMPARE(QFile::permissions(real) & 0x0FFF,
                 QFile::ReadUser | QFile::WriteUser | QFile::ReadGroup);
    }

    // A save that fails part way leaves the previous file byte for byte, and nothing beside it.
    // (The whole-file writer's other failures are the saved grid's to show, a lock that is never
    // freed the main window's Exit.)
    void save_writeFails_keepsPreviousFile() {
        const QByteArray previous = "[General]\nGameMode=1\n; " + QByteArray(1800, 'k') + "\n";
        QVERIFY(PutFile(Conf(), previous));
        rlimit before{};
        ::getrlimit(RLIMIT_FSIZE, &before);
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit cut{1024, before.rlim_max};
        QVERIFY(::setrlimit(RLIMIT_FSIZE, &cut) == 0);
        Write(kGameMode, 2);
        ::setrlimit(RLIMIT_FSIZE, &before);
        QCOMPARE(FileBytes(Conf()), previous);
        QCOMPARE(QDir(QFileInfo(Conf()).path()).entryList(QDir::Files).size(), 1);
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
