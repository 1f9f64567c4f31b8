#include "HistoryStore.h"

#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QStringList>
#include <QVariant>

#include <atomic>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace kivora {

namespace {

const QString kFileName = QStringLiteral("history.sqlite");

// SQLite's primary result codes for a file that is damaged or no database at all.
constexpr int kSqliteCorrupt = 11;
constexpr int kSqliteNotADatabase = 26;

bool IsDamage(const QSqlError& error) {
    const int code = error.nativeErrorCode().toInt() & 0xFF;
    return code == kSqliteCorrupt || code == kSqliteNotADatabase;
}

// The first layout; a new file is made by it and every migration after it, so the migrations
// run on every new file as well as on old ones.
const char* const kSchemaVersion1[] = {
    "CREATE TABLE batch(id INTEGER PRIMARY KEY, drawn_utc_ms INTEGER NOT NULL,"
    " game_mode INTEGER NOT NULL, numbers_per_ticket INTEGER NOT NULL,"
    " highest_number INTEGER NOT NULL, bonus_count INTEGER NOT NULL,"
    " highest_bonus INTEGER NOT NULL, basis INTEGER NOT NULL, basis_date TEXT NOT NULL,"
    " basis_sign INTEGER NOT NULL, basis_name TEXT NOT NULL, preference INTEGER NOT NULL,"
    " include_number INTEGER, include_position INTEGER NOT NULL, exclude_number INTEGER,"
    " ticket_count INTEGER NOT NULL)",
    "CREATE INDEX batch_drawn ON batch(drawn_utc_ms)",
    "CREATE TABLE ticket(batch_id INTEGER NOT NULL REFERENCES batch(id) ON DELETE CASCADE,"
    " position INTEGER NOT NULL, numbers TEXT NOT NULL, bonus INTEGER,"
    " PRIMARY KEY(batch_id, position)) WITHOUT ROWID",
};
// Version 2: the user's offset from UTC and the game preset.
const char* const kMigrationTo2[] = {
    "ALTER TABLE batch ADD COLUMN utc_offset_s INTEGER NOT NULL DEFAULT 0",
    "ALTER TABLE batch ADD COLUMN preset_id TEXT NOT NULL DEFAULT ''",
};

QString ErrorText(const QSqlError& error) {
    const QString text = error.databaseText().isEmpty() ? error.text() : error.databaseText();
    return text.isEmpty() ? QStringLiteral("unknown error") : text;
}

// The include and exclude numbers, NULL when none is chosen.
QVariant NumberOrNull(const std::optional<int32_t>& number) {
    return number ? QVariant(*number) : QVariant();
}
std::optional<int32_t> NumberFrom(const QVariant& value) {
    return value.isNull() ? std::nullopt : std::optional<int32_t>(value.toInt());
}

QString NumbersText(const Ticket& ticket) {
    QStringList numbers;
    for (const int32_t n : ticket.numbers) {
        numbers << QString::number(n);
    }
    return numbers.join(QLatin1Char(' '));
}

Ticket TicketFrom(const QString& numbers, const QVariant& bonus) {
    Ticket ticket;
    for (const QString& n : numbers.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        ticket.numbers.push_back(n.toInt());
    }
    if (!bonus.isNull()) {
        ticket.bonus = bonus.toInt();
    }
    return ticket;
}

HistoryStore::Outcome Failure(const QString& path, const QString& why, bool damaged) {
    HistoryStore::Outcome outcome;
    outcome.ok = false;
    outcome.damaged = damaged;
    outcome.error = (damaged ? QStringLiteral("The ticket history %1 is damaged: %2.")
                             : QStringLiteral("The ticket history could not be written to %1: %2."))
                        .arg(QDir::toNativeSeparators(path), why);
    return outcome;
}

} // namespace

// One named Qt SQL connection, removed again when it goes.
class HistoryStore::Connection {
public:
    Connection(const QString& path, bool readOnly) {
        static std::atomic<int> counter{0};
        name_ = QStringLiteral("kivora-history-%1").arg(++counter);
        db_ = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name_);
        db_.setDatabaseName(path);
        QString options = QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(kBusyTimeoutMs);
        if (readOnly) {
            options += QStringLiteral(";QSQLITE_OPEN_READONLY");
        }
        db_.setConnectOptions(options);
    }
    ~Connection() {
        db_.close();
        db_ = QSqlDatabase();
        QSqlDatabase::removeDatabase(name_);
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    QSqlDatabase& Db() { return db_; }

    // Runs one statement; its error, if any, is kept in lastError.
    bool Exec(const QString& sql) {
        QSqlQuery query(db_);
        if (query.exec(sql)) {
            return true;
        }
        lastError = query.lastError();
        return false;
    }
    // The first column of the first row, or an invalid value.
    QVariant Value(const QString& sql) {
        QSqlQuery query(db_);
        if (query.exec(sql) && query.next()) {
            return query.value(0);
        }
        lastError = query.lastError();
        return {};
    }

    QSqlError lastError;

private:
    QString name_;
    QSqlDatabase db_;
};

HistoryStore::HistoryStore(QString folder) : folder_(std::move(folder)) {}

HistoryStore::~HistoryStore() = default;

QString HistoryStore::DefaultFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

QString HistoryStore::FilePath() const {
    return QDir(folder_).filePath(kFileName);
}

HistoryStore::Outcome HistoryStore::Add(HistoryBatch batch) {
    pending_.push_back(std::move(batch));
    return WritePending();
}

HistoryStore::Outcome HistoryStore::MoveAside(const QString& why) {
    Outcome outcome;
    const QString path = FilePath();
    QString aside = path + QStringLiteral(".damaged-") + QDate::currentDate().toString(Qt::ISODate);
    for (int n = 2; QFileInfo::exists(aside); ++n) {
        aside = path + QStringLiteral(".damaged-") + QDate::currentDate().toString(Qt::ISODate) +
                QLatin1Char('-') + QString::number(n);
    }
    if (!QFile::rename(path, aside)) {
        outcome.ok = false;
        outcome.error = QStringLiteral("The ticket history %1 is damaged (%2) and could not be "
                                       "moved aside.")
                            .arg(QDir::toNativeSeparators(path), why);
        return outcome;
    }
    // A log left beside the old file would be replayed into the new one.
    QFile::rename(path + QStringLiteral("-wal"), aside + QStringLiteral("-wal"));
    QFile::remove(path + QStringLiteral("-shm"));
    outcome.damagedPath = aside;
    outcome.newPath = path;
    return outcome;
}

HistoryStore::Outcome HistoryStore::OpenForWriting(Connection& connection) {
    Outcome outcome;
    const QString path = FilePath();
    const auto fail = [&](const QSqlError& error) {
        outcome = Failure(path, ErrorText(error), IsDamage(error));
        return outcome;
    };
    const QFileInfo info(path);
    if (info.exists() && !info.isFile()) {
        return Failure(path, QStringLiteral("it is not a regular file"), false);
    }
    if (!QDir().mkpath(folder_)) {
        return Failure(path, QStringLiteral("its folder cannot be made"), false);
    }
    QSqlDatabase& db = connection.Db();
    if (!db.open()) {
        return fail(db.lastError());
    }
    const QVariant journal = connection.Value(QStringLiteral("PRAGMA journal_mode=WAL"));
    if (!journal.isValid()) {
        return fail(connection.lastError);
    }
    if (!connection.Exec(QStringLiteral("PRAGMA synchronous=FULL")) ||
        !connection.Exec(QStringLiteral("PRAGMA foreign_keys=ON"))) {
        return fail(connection.lastError);
    }
    if (connection.Value(QStringLiteral("PRAGMA user_version")).toInt() >= kSchemaVersion) {
        return outcome;
    }
    if (!connection.Exec(QStringLiteral("BEGIN IMMEDIATE"))) {
        return fail(connection.lastError);
    }
    // Read again under the lock: another Kivora may have just made or migrated the file.
    const int version = connection.Value(QStringLiteral("PRAGMA user_version")).toInt();
    bool ok = true;
    if (version < 1) {
        for (const char* sql : kSchemaVersion1) {
            ok = ok && connection.Exec(QString::fromLatin1(sql));
        }
    }
    if (version < 2) {
        for (const char* sql : kMigrationTo2) {
            ok = ok && connection.Exec(QString::fromLatin1(sql));
        }
    }
    ok = ok && connection.Exec(QStringLiteral("PRAGMA user_version=%1").arg(kSchemaVersion)) &&
         connection.Exec(QStringLiteral("COMMIT"));
    if (!ok) {
        const QSqlError error = connection.lastError;
        connection.Exec(QStringLiteral("ROLLBACK"));
        return fail(error);
    }
    return outcome;
}

// The same file still at the path: another Kivora may have moved a damaged one aside.
bool HistoryStore::WriterStillOnFile() const {
#ifdef Q_OS_UNIX
    struct stat now {};
    return ::stat(QFile::encodeName(FilePath()).constData(), &now) == 0 &&
           now.st_ino == writerFile_.first && now.st_dev == writerFile_.second;
#else
    return false;
#endif
}

// The writing connection stays open between batches, so that a batch costs one transaction
// and not an opening and a checkpoint as well.
HistoryStore::Outcome HistoryStore::OpenWriter() {
    if (writer_ && WriterStillOnFile()) {
        return {};
    }
    writer_ = std::make_unique<Connection>(FilePath(), false);
    Outcome outcome = OpenForWriting(*writer_);
    if (!outcome.ok) {
        writer_.reset();
        return outcome;
    }
#ifdef Q_OS_UNIX
    struct stat opened {};
    if (::stat(QFile::encodeName(FilePath()).constData(), &opened) == 0) {
        writerFile_ = {opened.st_ino, opened.st_dev};
    }
#endif
    return outcome;
}

HistoryStore::Outcome HistoryStore::WriteBatch(QSqlDatabase& db, const HistoryBatch& batch) {
    Outcome outcome;
    QSqlQuery query(db);
    const auto fail = [&] {
        outcome = Failure(FilePath(), ErrorText(query.lastError()), IsDamage(query.lastError()));
        query.exec(QStringLiteral("ROLLBACK"));
        return outcome;
    };
    if (!query.exec(QStringLiteral("BEGIN IMMEDIATE"))) {
        return fail();
    }
    const DrawSettings& s = batch.settings;
    query.prepare(QStringLiteral(
        "INSERT INTO batch(drawn_utc_ms, utc_offset_s, game_mode, numbers_per_ticket,"
        " highest_number, bonus_count, highest_bonus, preset_id, basis, basis_date, basis_sign,"
        " basis_name, preference, include_number, include_position, exclude_number,"
        " ticket_count) VALUES(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)"));
    query.addBindValue(batch.drawnUtc.toMSecsSinceEpoch());
    query.addBindValue(batch.utcOffsetSeconds);
    query.addBindValue(static_cast<int>(s.gameMode));
    query.addBindValue(s.numbersPerTicket);
    query.addBindValue(s.highestNumber);
    query.addBindValue(s.bonusPlayed ? 1 : 0);
    query.addBindValue(static_cast<int>(s.highestBonus));
    query.addBindValue(batch.presetId.isNull() ? QString(QLatin1String("")) : batch.presetId);
    query.addBindValue(static_cast<int>(s.drawBasedOn));
    query.addBindValue(
        QDate(s.basisDate.year, s.basisDate.month, s.basisDate.day).toString(Qt::ISODate));
    query.addBindValue(static_cast<int>(s.basisSign));
    query.addBindValue(QString::fromStdString(s.basisName));
    query.addBindValue(static_cast<int>(s.preference));
    query.addBindValue(NumberOrNull(s.includeNumber));
    query.addBindValue(s.includePosition);
    query.addBindValue(NumberOrNull(s.excludeNumber));
    query.addBindValue(static_cast<int>(batch.tickets.size()));
    if (!query.exec()) {
        return fail();
    }
    const qlonglong id = query.lastInsertId().toLongLong();
    query.prepare(
        QStringLiteral("INSERT INTO ticket(batch_id, position, numbers, bonus) VALUES(?,?,?,?)"));
    for (size_t i = 0; i < batch.tickets.size(); ++i) {
        const Ticket& ticket = batch.tickets[i];
        query.addBindValue(id);
        query.addBindValue(static_cast<int>(i + 1));
        query.addBindValue(NumbersText(ticket));
        query.addBindValue(ticket.bonus ? QVariant(*ticket.bonus) : QVariant());
        if (!query.exec()) {
            return fail();
        }
    }
    if (!query.exec(QStringLiteral("COMMIT"))) {
        return fail();
    }
    return outcome;
}

HistoryStore::Outcome HistoryStore::WritePending() {
    Outcome result;
    // Many queued batches, each waiting for a busy file, must not add up to a long wait: the
    // rest stay queued for the next chance.
    QElapsedTimer took;
    took.start();
    // A damaged file is moved aside once per call and the writing tried again on a new one.
    for (int attempt = 0; attempt < 2 && !pending_.empty(); ++attempt) {
        Outcome outcome;
        {
            outcome = OpenWriter();
            while (outcome.ok && !pending_.empty() && took.elapsed() < kWriteBudgetMs) {
                outcome = WriteBatch(writer_->Db(), pending_.front());
                if (outcome.ok) {
                    pending_.pop_front();
                }
            }
        }
        if (!outcome.ok) {
            writer_.reset(); // a fresh connection at the next chance
        }
        if (outcome.ok) {
            return result;
        }
        if (!outcome.damaged || attempt > 0) {
            result.ok = false;
            result.error = outcome.error;
            return result;
        }
        const Outcome moved = MoveAside(outcome.error);
        if (!moved.ok) {
            result.ok = false;
            result.error = moved.error;
            return result;
        }
        result.damagedPath = moved.damagedPath;
        result.newPath = moved.newPath;
    }
    return result;
}

HistoryStore::ReadResult HistoryStore::Read(const Filter& filter, bool withTickets) const {
    ReadResult result;
    const QString path = FilePath();
    const QFileInfo info(path);
    if (!info.exists()) {
        result.status = ReadStatus::Missing;
        return result;
    }
    const auto fail = [&](const QSqlError& error) {
        result.status = IsDamage(error) ? ReadStatus::Damaged : ReadStatus::Failed;
        result.error = (result.status == ReadStatus::Damaged
                            ? QStringLiteral("The ticket history %1 is damaged: %2.")
                            : QStringLiteral("The ticket history %1 could not be read: %2."))
                           .arg(QDir::toNativeSeparators(path), ErrorText(error));
        result.batches.clear();
        return result;
    };
    if (!info.isFile()) {
        result.status = ReadStatus::Failed;
        result.error = QStringLiteral("The ticket history %1 is not a regular file.")
                           .arg(QDir::toNativeSeparators(path));
        return result;
    }
    Connection connection(path, true);
    if (!connection.Db().open()) {
        return fail(connection.Db().lastError());
    }
    const QVariant version = connection.Value(QStringLiteral("PRAGMA user_version"));
    if (!version.isValid()) {
        return fail(connection.lastError);
    }
    const QVariant tables =
        connection.Value(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE name='batch'"));
    if (!tables.isValid()) {
        return fail(connection.lastError);
    }
    if (tables.toInt() == 0) {
        return result; // an empty file: nothing kept yet
    }
    // A file of version 1 is read as it is, without migrating it.
    const bool v2 = version.toInt() >= 2;
    QString where = QStringLiteral(" WHERE 1");
    QVariantList values;
    if (filter.since.isValid()) {
        where += QStringLiteral(" AND drawn_utc_ms >= ?");
        values << filter.since.toMSecsSinceEpoch();
    }
    if (filter.until.isValid()) {
        where += QStringLiteral(" AND drawn_utc_ms <= ?");
        values << filter.until.toMSecsSinceEpoch();
    }
    if (!filter.presetId.isEmpty()) {
        where += v2 ? QStringLiteral(" AND preset_id = ?") : QStringLiteral(" AND 0");
        if (v2) {
            values << filter.presetId;
        }
    }
    QSqlQuery query(connection.Db());
    query.setForwardOnly(true);
    query.prepare(
        QStringLiteral("SELECT id, drawn_utc_ms, %1, game_mode, numbers_per_ticket,"
                       " highest_number, bonus_count, highest_bonus, basis, basis_date,"
                       " basis_sign, basis_name, preference, include_number, include_position,"
                       " exclude_number, ticket_count FROM batch")
            .arg(v2 ? QStringLiteral("utc_offset_s, preset_id") : QStringLiteral("0, ''")) +
        where + QStringLiteral(" ORDER BY drawn_utc_ms DESC, id DESC"));
    for (const QVariant& value : values) {
        query.addBindValue(value);
    }
    if (!query.exec()) {
        return fail(query.lastError());
    }
    QHash<qlonglong, size_t> index;
    while (query.next()) {
        HistoryBatch batch;
        batch.id = query.value(0).toLongLong();
        batch.drawnUtc = QDateTime::fromMSecsSinceEpoch(query.value(1).toLongLong(), Qt::UTC);
        batch.utcOffsetSeconds = query.value(2).toInt();
        batch.presetId = query.value(3).toString();
        DrawSettings& s = batch.settings;
        s.gameMode = query.value(4).toInt() == 1 ? GameMode::Daily : GameMode::Lotto;
        s.numbersPerTicket = query.value(5).toInt();
        s.highestNumber = query.value(6).toInt();
        s.bonusPlayed = query.value(7).toInt() > 0;
        s.highestBonus = static_cast<int16_t>(query.value(8).toInt());
        s.drawBasedOn = static_cast<DrawBasis>(query.value(9).toInt());
        const QDate date = QDate::fromString(query.value(10).toString(), Qt::ISODate);
        s.basisDate = CalendarDate{date.year(), date.month(), date.day()};
        s.basisSign = static_cast<int16_t>(query.value(11).toInt());
        s.basisName = query.value(12).toString().toStdString();
        s.preference = static_cast<NumberPreference>(query.value(13).toInt());
        s.includeNumber = NumberFrom(query.value(14));
        s.includePosition = query.value(15).toInt();
        s.excludeNumber = NumberFrom(query.value(16));
        s.ticketCount = query.value(17).toInt();
        index.insert(batch.id, result.batches.size());
        result.batches.push_back(std::move(batch));
    }
    if (query.lastError().isValid()) {
        return fail(query.lastError());
    }
    if (!withTickets || result.batches.empty()) {
        return result;
    }
    QSqlQuery tickets(connection.Db());
    tickets.setForwardOnly(true);
    tickets.prepare(QStringLiteral("SELECT batch_id, numbers, bonus FROM ticket WHERE batch_id IN"
                                   " (SELECT id FROM batch") +
                    where + QStringLiteral(") ORDER BY batch_id, position"));
    for (const QVariant& value : values) {
        tickets.addBindValue(value);
    }
    if (!tickets.exec()) {
        return fail(tickets.lastError());
    }
    while (tickets.next()) {
        const auto found = index.constFind(tickets.value(0).toLongLong());
        if (found != index.constEnd()) {
            result.batches[*found].tickets.push_back(
                TicketFrom(tickets.value(1).toString(), tickets.value(2)));
        }
    }
    if (tickets.lastError().isValid()) {
        return fail(tickets.lastError());
    }
    return result;
}

HistoryStore::ReadResult HistoryStore::Tickets(int64_t batchId) const {
    ReadResult result;
    const QString path = FilePath();
    if (!QFileInfo(path).isFile()) {
        result.status = QFileInfo::exists(path) ? ReadStatus::Failed : ReadStatus::Missing;
        return result;
    }
    Connection connection(path, true);
    QSqlQuery query(connection.Db());
    HistoryBatch batch;
    batch.id = batchId;
    if (connection.Db().open() &&
        query.prepare(QStringLiteral(
            "SELECT numbers, bonus FROM ticket WHERE batch_id = ? ORDER BY position"))) {
        query.addBindValue(static_cast<qlonglong>(batchId));
        if (query.exec()) {
            while (query.next()) {
                batch.tickets.push_back(TicketFrom(query.value(0).toString(), query.value(1)));
            }
        }
    }
    const QSqlError error =
        query.lastError().isValid() ? query.lastError() : connection.Db().lastError();
    if (error.isValid()) {
        result.status = IsDamage(error) ? ReadStatus::Damaged : ReadStatus::Failed;
        result.error = QStringLiteral("The ticket history %1 could not be read: %2.")
                           .arg(QDir::toNativeSeparators(path), ErrorText(error));
        return result;
    }
    result.batches.push_back(std::move(batch));
    return result;
}

HistoryStore::Outcome HistoryStore::RunDelete(const QString& where, const QVariantList& values) {
    if (!QFileInfo::exists(FilePath())) {
        return {};
    }
    Outcome outcome = OpenWriter();
    if (!outcome.ok) {
        return outcome;
    }
    QSqlQuery query(writer_->Db());
    bool ok = query.exec(QStringLiteral("BEGIN IMMEDIATE")) &&
              query.prepare(QStringLiteral("DELETE FROM batch") + where);
    for (const QVariant& value : values) {
        query.addBindValue(value);
    }
    ok = ok && query.exec() && query.exec(QStringLiteral("COMMIT"));
    if (!ok) {
        outcome.ok = false;
        outcome.error =
            QStringLiteral("The batches could not be deleted from %1: %2.")
                .arg(QDir::toNativeSeparators(FilePath()), ErrorText(query.lastError()));
        query.exec(QStringLiteral("ROLLBACK"));
    }
    return outcome;
}

HistoryStore::Outcome HistoryStore::Delete(const std::vector<int64_t>& batchIds) {
    if (batchIds.empty()) {
        return {};
    }
    QStringList marks;
    QVariantList values;
    for (const int64_t id : batchIds) {
        marks << QStringLiteral("?");
        values << static_cast<qlonglong>(id);
    }
    return RunDelete(
        QStringLiteral(" WHERE id IN (") + marks.join(QLatin1Char(',')) + QLatin1Char(')'), values);
}

HistoryStore::Outcome HistoryStore::DeleteOlderThan(const QDateTime& moment) {
    return RunDelete(QStringLiteral(" WHERE drawn_utc_ms < ?"), {moment.toMSecsSinceEpoch()});
}

HistoryStore::Outcome HistoryStore::DeleteAll() {
    return RunDelete(QString(), {});
}

} // namespace kivora
