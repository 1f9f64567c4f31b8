#include <memory>
#include <utility>

#include <sys/mount.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include "history/HistoryStore.h"
#include "support/Files.h"

using namespace kivora;

namespace {

// A batch with every field away from its default; row 1 is a Daily game.
HistoryBatch Sample(int row) {
    HistoryBatch b;
    b.drawnUtc = QDateTime(QDate(2026, 12, 5), QTime(18, 30, 15, 250), Qt::UTC);
    b.utcOffsetSeconds = row == 0 ? 3600 : -18000;
    DrawSettings& s = b.settings;
    if (row == 0) {
        b.presetId = QStringLiteral("powerball");
        s.numbersPerTicket = 5;
        s.highestNumber = 69;
        s.bonusPlayed = true;
        s.highestBonus = 26;
        s.drawBasedOn = DrawBasis::Date;
        s.preference = NumberPreference::High;
        s.includeNumber = 17;
        s.excludeNumber = 4;
        b.tickets = {{{3, 17, 25, 40, 69}, 12}, {{1, 2, 17, 50, 61}, 26}};
    } else {
        s.gameMode = GameMode::Daily;
        s.numbersPerTicket = 4;
        s.drawBasedOn = DrawBasis::Name;
        s.basisName = "Zoë, \"lucky\"";
        s.preference = NumberPreference::Low;
        s.includeNumber = 0;
        s.includePosition = 3;
        b.tickets = {{{4, 4, 0, 1}, std::nullopt}};
    }
    s.basisDate = CalendarDate{2024, 2, 29};
    s.basisSign = 7;
    s.ticketCount = static_cast<int32_t>(b.tickets.size());
    return b;
}

// Every field but the id, which the store gives.
bool Same(const HistoryBatch& a, const HistoryBatch& b) {
    return a.drawnUtc == b.drawnUtc && a.utcOffsetSeconds == b.utcOffsetSeconds &&
           a.presetId == b.presetId && a.settings == b.settings && a.tickets == b.tickets;
}

std::vector<HistoryBatch> ReadAll(const QString& folder) {
    return HistoryStore(folder).Read({}, true).batches;
}

QString Pragma(const QString& path, const QString& pragma) {
    QString result;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("t"));
        db.setDatabaseName(path);
        QSqlQuery query(db);
        if (db.open() && query.exec(QStringLiteral("PRAGMA ") + pragma) && query.next()) {
            result = query.value(0).toString();
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("t"));
    return result;
}

} // namespace

class TestHistoryStore : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir_;
    bool mounted_ = false;

    QString Folder() const { return dir_->filePath(QStringLiteral("data")); }
    QString File() const { return QDir(Folder()).filePath(QStringLiteral("history.sqlite")); }

private slots:
    void init() { dir_ = std::make_unique<QTemporaryDir>(); }
    void cleanup() {
        if (std::exchange(mounted_, false)) {
            ::umount2(Folder().toLocal8Bit().constData(), MNT_DETACH);
        }
    }

    void Add_everyField_readsBack_data() {
        QTest::addColumn<int>("row");
        QTest::newRow("lotto, bonus, date, include and exclude, preset") << 0;
        QTest::newRow("daily, name, include position") << 1;
    }
    void Add_everyField_readsBack() {
        QFETCH(int, row);
        QVERIFY(HistoryStore(Folder()).Add(Sample(row)).ok);
        const std::vector<HistoryBatch> batches = ReadAll(Folder());
        QCOMPARE(batches.size(), size_t{1});
        QVERIFY(Same(batches[0], Sample(row)));
        QCOMPARE(Pragma(File(), QStringLiteral("journal_mode")), QStringLiteral("wal"));
    }

    // A file of the first layout is read as it is and migrated by the next write.
    void Add_version1File_migratesAndKeepsItsBatches() {
        QVERIFY(QDir().mkpath(Folder()));
        {
            QSqlDatabase db =
                QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("v1"));
            db.setDatabaseName(File());
            QVERIFY(db.open());
            QSqlQuery q(db);
            for (const char* sql :
                 {"CREATE TABLE batch(id INTEGER PRIMARY KEY, drawn_utc_ms INTEGER NOT NULL,"
                  " game_mode INTEGER NOT NULL, numbers_per_ticket INTEGER NOT NULL,"
                  " highest_number INTEGER NOT NULL, bonus_count INTEGER NOT NULL,"
                  " highest_bonus INTEGER NOT NULL, basis INTEGER NOT NULL,"
                  " basis_date TEXT NOT NULL, basis_sign INTEGER NOT NULL,"
                  " basis_name TEXT NOT NULL, preference INTEGER NOT NULL,"
                  " include_number INTEGER, include_position INTEGER NOT NULL,"
                  " exclude_number INTEGER, ticket_count INTEGER NOT NULL)",
                  "CREATE TABLE ticket(batch_id INTEGER NOT NULL REFERENCES batch(id) ON "
                  "DELETE CASCADE, position INTEGER NOT NULL, numbers TEXT NOT NULL,"
                  " bonus INTEGER, PRIMARY KEY(batch_id, position)) WITHOUT ROWID",
                  "INSERT INTO batch VALUES(7, 1700000000000, 0, 6, 49, 0, 2, 1,"
                  " '2023-11-14', -1, '', 2, NULL, 0, 13, 1)",
                  "INSERT INTO ticket VALUES(7, 1, '1 2 3 4 5 6', NULL)",
                  "PRAGMA user_version=1"}) {
                QVERIFY2(q.exec(QString::fromLatin1(sql)), sql);
            }
        }
        QSqlDatabase::removeDatabase(QStringLiteral("v1"));

        HistoryStore store(Folder());
        QCOMPARE(store.Read({}, true).batches.size(), size_t{1});
        QCOMPARE(Pragma(File(), QStringLiteral("user_version")), QStringLiteral("1"));
        QVERIFY(store.Add(Sample(0)).ok);
        QCOMPARE(Pragma(File(), QStringLiteral("user_version")),
                 QString::number(HistoryStore::kSchemaVersion));
        const std::vector<HistoryBatch> batches = ReadAll(Folder());
        QCOMPARE(batches.size(), size_t{2});
        QVERIFY(Same(batches[0], Sample(0)));
        QCOMPARE(batches[1].id, 7);
        QCOMPARE(batches[1].settings.excludeNumber, std::optional<int32_t>(13));
        QVERIFY(batches[1].tickets == (std::vector<Ticket>{{{1, 2, 3, 4, 5, 6}, std::nullopt}}));
    }

    // Another Kivora moved the file aside while this one kept it open: the next batch goes to
    // the file at the path, not into the one moved away.
    void Add_fileMovedAway_writesToTheFileAtThePath() {
        HistoryStore store(Folder());
        QVERIFY(store.Add(Sample(0)).ok);
        QVERIFY(QFile::rename(File(), File() + QStringLiteral(".damaged-x")));
        QVERIFY(store.Add(Sample(1)).ok);
        const std::vector<HistoryBatch> batches = ReadAll(Folder());
        QCOMPARE(batches.size(), size_t{1});
        QVERIFY(Same(batches[0], Sample(1)));
    }

    // A file another Kivora keeps locked, or a full disk: the write gives up within the bound,
    // says why and keeps the batch for the next chance, and the file is not taken for damaged.
    void Add_lockedOrFull_failsWithinBoundAndKeepsBatch_data() {
        QTest::addColumn<bool>("full");
        QTest::newRow("locked by another Kivora") << false;
        QTest::newRow("full disk") << true;
    }
    void Add_lockedOrFull_failsWithinBoundAndKeepsBatch() {
        QFETCH(bool, full);
        QVERIFY(QDir().mkpath(Folder()));
        mounted_ =
            full && ::geteuid() == 0 &&
            ::mount("tmpfs", Folder().toLocal8Bit().constData(), "tmpfs", 0, "size=256k") == 0;
        if (full && !mounted_) {
            QSKIP("a full disk needs a mount of its own, which needs root");
        }
        HistoryStore store(Folder());
        QVERIFY(store.Add(Sample(0)).ok);
        QFile filler(Folder() + QStringLiteral("/filler"));
        {
            QSqlDatabase db =
                QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("lock"));
            db.setDatabaseName(File());
            QVERIFY(db.open());
            QSqlQuery q(db);
            if (full) {
                QVERIFY(filler.open(QIODevice::WriteOnly));
                while (filler.write(QByteArray(4096, 'x')) == 4096 && filler.flush()) {
                }
            } else {
                QVERIFY(q.exec(QStringLiteral("BEGIN IMMEDIATE")));
            }
            QElapsedTimer took;
            took.start();
            HistoryBatch second = Sample(1);
            second.tickets.assign(50, second.tickets[0]);
            const HistoryStore::Outcome outcome = store.Add(second);
            QCOMPARE_LT(took.elapsed(), 1500);
            QVERIFY(!outcome.ok);
            QVERIFY(outcome.error.contains(File()));
            QCOMPARE(store.PendingCount(), size_t{1});
            q.exec(QStringLiteral("ROLLBACK"));
        }
        QSqlDatabase::removeDatabase(QStringLiteral("lock"));
        filler.close(); // its last buffer finds no room either
        QFile::remove(filler.fileName());

        QVERIFY(store.WritePending().ok);
        QCOMPARE(store.PendingCount(), size_t{0});
        QCOMPARE(ReadAll(Folder()).size(), size_t{2});
    }

    // Reading a database with damaged pages reports it and leaves it alone; writing moves it
    // aside.
    void Add_damagedFile_movedAsideAndNewStarted() {
        for (int i = 0; i < 20; ++i) {
            QVERIFY(HistoryStore(Folder()).Add(Sample(0)).ok);
        }
        {
            QFile file(File());
            QVERIFY(file.open(QIODevice::ReadWrite) && file.seek(4096));
            file.write(QByteArray(3 * 4096, '\xAB'));
        }
        const QByteArray damaged = test::FileBytes(File());

        HistoryStore store(Folder());
        const HistoryStore::ReadResult read = store.Read({}, true);
        QCOMPARE(int(read.status), int(HistoryStore::ReadStatus::Damaged));
        QVERIFY(read.error.contains(File()));
        QCOMPARE(test::FileBytes(File()), damaged);

        const HistoryStore::Outcome outcome = store.Add(Sample(1));
        QVERIFY2(outcome.ok, qPrintable(outcome.error));
        const QString aside =
            File() + QStringLiteral(".damaged-") + QDate::currentDate().toString(Qt::ISODate);
        QCOMPARE(outcome.damagedPath, aside);
        QCOMPARE(outcome.newPath, File());
        QCOMPARE(test::FileBytes(aside), damaged);
        const std::vector<HistoryBatch> batches = ReadAll(Folder());
        QCOMPARE(batches.size(), size_t{1});
        QVERIFY(Same(batches[0], Sample(1)));
    }
};

QTEST_GUILESS_MAIN(TestHistoryStore)
#include "tst_historystore.moc"
