// The ticket history: every batch of tickets kept in one SQLite file, history.sqlite in the
// user's data folder.
//
// Writing never blocks for long and never loses a batch: a batch is queued first and the queue
// is written batch by batch, one transaction each. When the file is locked by another Kivora
// past a short wait, or the disk is full or the folder read-only, the batches stay queued for
// the next chance and the caller is told why. A file that is no database, or a damaged one, is
// moved aside and a new one started, and the caller learns both names.
//
// Reading never creates, migrates, moves or changes the file.
#pragma once

#include <QDateTime>
#include <QString>

#include <cstdint>
#include <deque>
#include <memory>
#include <utility>
#include <vector>

#include "HistoryBatch.h"

class QSqlDatabase;

namespace kivora {

class HistoryStore {
public:
    static constexpr int kSchemaVersion = 2;
    // Each lock wait is bounded; a write takes at most a few of them.
    static constexpr int kBusyTimeoutMs = 300;
    // No new batch is begun once a write has taken this long.
    static constexpr int kWriteBudgetMs = 600;

    // The store's file is history.sqlite in folder.
    explicit HistoryStore(QString folder);
    ~HistoryStore();
    HistoryStore(const HistoryStore&) = delete;
    HistoryStore& operator=(const HistoryStore&) = delete;

    // The user's data folder; needs the application's and maker's names set.
    static QString DefaultFolder();
    QString FilePath() const;

    struct Outcome {
        bool ok = true;
        QString error;        // why it failed, one sentence for the user
        QString damagedPath;  // a damaged file moved here ...
        QString newPath;      // ... and a new one started here
        bool damaged = false; // the file is damaged or no database
    };

    // Queues the batch, then writes every queued batch, oldest first.
    Outcome Add(HistoryBatch batch);
    // Writes the queued batches; a batch that cannot be written stays queued.
    Outcome WritePending();
    size_t PendingCount() const { return pending_.size(); }

    struct Filter {
        QDateTime since;  // inclusive; invalid for no bound
        QDateTime until;  // inclusive; invalid for no bound
        QString presetId; // empty for every game
    };
    enum class ReadStatus { Ok, Missing, Damaged, Failed };
    struct ReadResult {
        ReadStatus status = ReadStatus::Ok;
        QString error;
        std::vector<HistoryBatch> batches; // newest first
    };
    // The kept batches, newest first; without their tickets unless asked for.
    ReadResult Read(const Filter& filter, bool withTickets) const;
    // One batch's tickets.
    ReadResult Tickets(int64_t batchId) const;

    Outcome Delete(const std::vector<int64_t>& batchIds);
    // Deletes every batch drawn before the moment.
    Outcome DeleteOlderThan(const QDateTime& moment);
    Outcome DeleteAll();

private:
    class Connection;
    Outcome OpenWriter();
    bool WriterStillOnFile() const;
    Outcome OpenForWriting(Connection& connection);
    Outcome WriteBatch(QSqlDatabase& db, const HistoryBatch& batch);
    Outcome RunDelete(const QString& where, const QVariantList& values);
    Outcome MoveAside(const QString& why);

    QString folder_;
    std::deque<HistoryBatch> pending_;
    std::unique_ptr<Connection> writer_;
    std::pair<uint64_t, uint64_t> writerFile_; // inode and device of the open file
};

} // namespace kivora
