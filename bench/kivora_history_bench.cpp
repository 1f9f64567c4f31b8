// The ticket history on its own: writing one batch of 50 tickets (one transaction, synced to
// disk), and loading the list of 10,000 kept batches, from the store and into the history
// window (offscreen). Medians, since the machines are noisy.
// The file lives in a temporary folder under the current directory, on a real disk.
//
//   kivora_history_bench [repetitions]
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <vector>

#include "history/HistoryStore.h"
#include "ui/history/FrmHistory.h"

namespace {

using namespace kivora;

double Median(std::vector<double> times) {
    std::nth_element(times.begin(), times.begin() + static_cast<long>(times.size() / 2),
                     times.end());
    return times[times.size() / 2];
}

double CpuMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// Wall-clock and processor-time medians: on a shared machine the second is the steadier.
void Measure(const char* what, int repetitions, const std::function<void()>& work) {
    std::vector<double> wall;
    std::vector<double> cpu;
    for (int i = 0; i < repetitions; ++i) {
        QElapsedTimer timer;
        const double cpuStart = CpuMilliseconds();
        timer.start();
        work();
        wall.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
        cpu.push_back(CpuMilliseconds() - cpuStart);
    }
    std::printf("%-52s %9.2f ms %9.2f ms cpu\n", what, Median(wall), Median(cpu));
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
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 41;
    QTemporaryDir folder(QDir::current().filePath(QStringLiteral("history-bench-XXXXXX")));
    HistoryStore store(folder.path());

    const HistoryBatch batch = FiftyTickets();
    Measure("batch of 50 tickets written (synced)", repetitions, [&] {
        if (!store.Add(batch).ok) {
            std::fprintf(stderr, "the batch could not be written\n");
            std::exit(1);
        }
    });
    if (!Fill(store.FilePath(), 10'000)) {
        std::fprintf(stderr, "the history could not be filled\n");
        return 1;
    }
    size_t listed = 0;
    Measure("list of the kept batches read, without tickets", repetitions,
            [&] { listed = store.Read({}, false).batches.size(); });
    Measure("one batch's tickets read", repetitions,
            [&] { listed = store.Tickets(5000).batches.size(); });
    Measure("history window opened and painted with the list", std::max(5, repetitions / 4), [&] {
        FrmHistory history(store);
        history.show();
        QApplication::processEvents(); // first paint
    });
    std::printf("(%zu batches listed, %d repetitions each)\n",
                static_cast<size_t>(10'000 + repetitions), repetitions);
    return listed == 1 ? 0 : 1;
}
