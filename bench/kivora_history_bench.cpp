// The ticket history on its own: writing one batch of 50 tickets (one transaction, synced to
// disk), and loading the list of 10,000 kept batches. Medians, since the machines are noisy.
// The file lives in a temporary folder under the current directory, on a real disk.
//
//   kivora_history_bench [repetitions]
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include "history/HistoryStore.h"

namespace {

using namespace kivora;

double MedianMilliseconds(int repetitions, const std::function<void()>& work) {
    std::vector<double> times;
    for (int i = 0; i < repetitions; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    std::nth_element(times.begin(), times.begin() + static_cast<long>(times.size() / 2),
                     times.end());
    return times[times.size() / 2];
}

HistoryBatch FiftyTickets() {
    DrawSettings s;
    s.numbersPerTicket = 7;
    s.highestNumber = 49;
    s.bonusPlayed = true;
    s.highestBonus = 42;
    std::vector<Ticket> tickets(50, Ticket{{3, 9, 14, 22, 31, 40, 47}, 12});
    return HistoryBatch::Now(s, std::move(tickets));
}

// 10,000 batches of 10 tickets in one transaction, beside the one the store made.
bool Fill(const QString& path, int batches) {
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("f"));
        db.setDatabaseName(path);
        QSqlQuery q(db);
        ok = db.open() && q.exec(QStringLiteral("BEGIN"));
        for (int b = 0; ok && b < batches; ++b) {
            ok = q.exec(QStringLiteral(
                            "INSERT INTO batch(drawn_utc_ms, game_mode, numbers_per_ticket,"
                            " highest_number, bonus_count, highest_bonus, basis, basis_date,"
                            " basis_sign, basis_name, preference, include_position, ticket_count)"
                            " VALUES(%1, 0, 6, 49, 0, 2, 0, '2026-12-07', -1, '', 2, 0, 10)")
                            .arg(1'700'000'000'000LL + b * 60'000LL));
            const qlonglong id = q.lastInsertId().toLongLong();
            for (int t = 1; ok && t <= 10; ++t) {
                ok = q.exec(QStringLiteral("INSERT INTO ticket VALUES(%1, %2, '4 8 15 16 23 42',"
                                           " NULL)")
                                .arg(id)
                                .arg(t));
            }
        }
        ok = ok && q.exec(QStringLiteral("COMMIT"));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("f"));
    return ok;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const int repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 41;
    QTemporaryDir folder(QDir::current().filePath(QStringLiteral("history-bench-XXXXXX")));
    HistoryStore store(folder.path());

    const HistoryBatch batch = FiftyTickets();
    const double write = MedianMilliseconds(repetitions, [&] {
        if (!store.Add(batch).ok) {
            std::fprintf(stderr, "the batch could not be written\n");
            std::exit(1);
        }
    });
    std::printf("%-58s %10.2f ms\n", "batch of 50 tickets written (one transaction, synced)",
                write);

    if (!Fill(store.FilePath(), 10'000)) {
        std::fprintf(stderr, "the history could not be filled\n");
        return 1;
    }
    size_t listed = 0;
    const double list =
        MedianMilliseconds(repetitions, [&] { listed = store.Read({}, false).batches.size(); });
    std::printf("%-58s %10.2f ms\n", "list of the kept batches read, without tickets", list);
    const double one =
        MedianMilliseconds(repetitions, [&] { listed = store.Tickets(5000).batches.size(); });
    std::printf("%-58s %10.2f ms\n", "one batch's tickets read", one);
    std::printf("(%zu batches listed, %d repetitions each)\n",
                static_cast<size_t>(10'000 + repetitions), repetitions);
    return listed == 1 ? 0 : 1;
}
