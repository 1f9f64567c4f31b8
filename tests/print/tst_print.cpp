// The printout through RecordingPort and MemoryGrid, the tab rule, the PDF a print queue gets, and
// a scheduler that wants a login or holds back its answer to a job. The end-to-end print check
// covers a real scheduler's refusals, a paused queue, one that stops answering and none at all.
#include <memory>
#include <numeric>
#include <string>
#include <vector>

#include <QPageLayout>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTest>

#if KIVORA_HAVE_CUPS
#include <atomic>
#include <cstring>
#include <thread>

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cups/cups.h>

#include "print/PrintUnconfirmed.h"
#include "print/cups/CupsQueue.h"
#endif

#include "engine/Ticket.h"
#include "engine/TicketGrid.h"
#include "print/PdfQueuePort.h"
#include "print/PrintError.h"
#include "print/PrintQueue.h"
#include "print/Printout.h"
#include "support/MemoryGrid.h"
#include "support/RecordingPort.h"
#include "ui/common/Fonts.h"

using namespace kivora;

namespace {

// Ticket i holds i, i + 1, ... and, with a bonus, 40 + i.
MemoryGrid TicketGrid(int tickets, int numbers, bool bonus) {
    MemoryGrid grid;
    SetUpTicketGrid(grid, numbers, bonus);
    grid.SetRows(tickets + 1);
    for (int i = 1; i <= tickets; ++i) {
        Ticket ticket{std::vector<int32_t>(size_t(numbers)),
                      bonus ? std::optional<int32_t>(40 + i) : std::nullopt};
        std::iota(ticket.numbers.begin(), ticket.numbers.end(), i);
        WriteTicketRow(grid, i, ticket);
    }
    return grid;
}

// Hands what it saw to `kept` when PrintGrid drops it.
class KeptPort : public RecordingPort {
public:
    explicit KeptPort(RecordingPort& kept) : kept_(kept) {}
    ~KeptPort() override { kept_ = *this; }

private:
    RecordingPort& kept_;
};

// A queue with the given paper and margins that takes every job and keeps it.
struct TakingQueue final : PrintQueue {
    TakingQueue(QueueInfo queue, QList<QByteArray>& jobs) : info(queue), taken(jobs) {}
    QueueInfo Describe() override { return info; }
    JobFate Submit(const QByteArray& pdf, const QString& /*title*/) override {
        taken << pdf;
        return JobFate::Queued;
    }
    QueueInfo info;
    QList<QByteArray>& taken;
};

#if KIVORA_HAVE_CUPS
// A print server on a local socket with just enough IPP for a queue that takes jobs. With a
// login, it wants that login on every request; with `holdJobs`, it reads a Print-Job whole and
// never answers it.
class FakeScheduler {
public:
    FakeScheduler(const QByteArray& path, const QByteArray& login, bool holdJobs)
        : login_(login), holdJobs_(holdJobs) {
        ::unlink(path.constData());
        sockaddr_un address{AF_UNIX, {}};
        std::strncpy(address.sun_path, path.constData(), sizeof(address.sun_path) - 1);
        if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
            ::listen(listener_, 8) != 0) {
            qFatal("cannot listen on %s", path.constData());
        }
        thread_ = std::thread([this] { Serve(); });
        cupsSetServer(path.constData());
    }
    ~FakeScheduler() {
        stop_ = true;
        thread_.join();
        ::close(listener_);
        cupsSetServer(nullptr);
    }
    std::atomic<int> jobsHeld{0};

private:
    bool Ready(int fd) const {
        pollfd waiting{fd, POLLIN, 0};
        while (!stop_) {
            if (::poll(&waiting, 1, 50) > 0) {
                return true;
            }
        }
        return false;
    }
    bool Read(int fd, char* data, size_t size) const {
        for (size_t got = 0; got < size;) {
            const ssize_t n = Ready(fd) ? ::read(fd, data + got, size - got) : 0;
            if (n <= 0) {
                return false;
            }
            got += size_t(n);
        }
        return true;
    }
    void Serve() {
        while (Ready(listener_)) {
            const int fd = ::accept(listener_, nullptr, nullptr);
            while (Answer(fd)) {
            }
            ::close(fd);
        }
    }
    // Reads one request and answers it; false once the connection is over.
    bool Answer(int fd) {
        QByteArray head;
        char c = 0;
        while (!head.endsWith("\r\n\r\n")) {
            if (!Read(fd, &c, 1)) {
                return false;
            }
            head += c;
        }
        if (head.contains("Expect: 100-continue")) {
            Send(fd, "HTTP/1.1 100 Continue\r\n\r\n");
        }
        static const QRegularExpression lengthField(QStringLiteral("Content-Length: (\\d+)"));
        QByteArray body(lengthField.match(QString::fromLatin1(head)).captured(1).toInt(), '\0');
        if (!Read(fd, body.data(), size_t(body.size())) || body.size() < 8) {
            return false;
        }
        if (!login_.isEmpty() && !head.contains("Authorization: Basic " + login_.toBase64())) {
            Send(fd, "HTTP/1.1 401 Unauthorized\r\nWWW-Authenticate: Basic realm=\"CUPS\"\r\n"
                     "Content-Length: 0\r\n\r\n");
            return true;
        }
        if (holdJobs_ && body[2] == 0 && body[3] == IPP_OP_PRINT_JOB) {
            ++jobsHeld;
            while (Read(fd, &c, 1)) {
            }
            return false;
        }
        // IPP 2.0, successful-ok, the request's id, then a printer group with its name only.
        const QByteArray ipp = QByteArrayLiteral("\x02\x00\x00\x00") + body.mid(4, 4) +
                               QByteArrayLiteral("\x04\x42\x00\x0cprinter-name\x00\x04"
                                                 "Fake\x03");
        Send(fd, "HTTP/1.1 200 OK\r\nContent-Type: application/ipp\r\nContent-Length: " +
                     QByteArray::number(ipp.size()) + "\r\n\r\n" + ipp);
        return true;
    }
    static void Send(int fd, const QByteArray& data) {
        if (::write(fd, data.constData(), size_t(data.size())) != data.size()) {
            qWarning("short write");
        }
    }

    const int listener_ = ::socket(AF_UNIX, SOCK_STREAM, 0);
    const QByteArray login_;
    const bool holdJobs_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};
#endif

} // namespace

class TestPrint : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        InstallFontSubstitutes(); // the face the program prints in
    }

    void PrintAt_column_followsTabRule_data() {
        QTest::addColumn<QList<int>>("columns");
        QTest::addColumn<QStringList>("lines");
        // Each item prints "ab" at its column.
        QTest::newRow("below 1 counts as 1") << QList<int>{-4} << QStringList{"ab"};
        QTest::newRow("same column stays") << QList<int>{1, 3} << QStringList{"abab"};
        QTest::newRow("forward") << QList<int>{1, 10} << QStringList{"ab       ab"};
        QTest::newRow("past ends the line") << QList<int>{1, 2} << QStringList{"ab", " ab"};
        QTest::newRow("0 past the margin") << QList<int>{1, 0} << QStringList{"ab", "ab"};
    }
    void PrintAt_column_followsTabRule() {
        QFETCH(QList<int>, columns);
        RecordingPort port;
        for (int column : columns) {
            port.PrintAt(column, "ab");
        }
        QTEST(port.PlainLines(), "lines");
    }

    // The widest grid prints whole. The N1 heading is left empty: it prints as nothing, and the
    // next heading still starts at its own tab column. One line a ticket, no blank line between.
    void PrintTickets_nineColumns_cellsAtTabColumns() {
        MemoryGrid grid = TicketGrid(2, 7, true);
        grid.SetRow(0);
        grid.SetCol(1);
        grid.SetText("");
        RecordingPort port;
        PrintTickets(grid, port);
        QCOMPARE(port.PlainLines(),
                 (QStringList{"Lotto Kivora 2.6 by Brandell", "",
                              "              N2   N3   N4   N5   N6   N7   B", "",
                              "1        1    2    3    4    5    6    7    41",
                              "2        2    3    4    5    6    7    8    42"}));
        // With no ticket rows there is nothing to print, and no printer is opened for it.
        grid.SetRows(1);
        QCOMPARE(
            PrintGrid(grid, []() -> std::unique_ptr<PrinterPort> { throw PrintError("opened"); }),
            PrintResult::NothingToPrint);
    }

    void PrintGrid_requestFails_oneMessageNothingAfter_data() {
        QTest::addColumn<int>("failing");
        QTest::newRow("none fails") << 0;
        for (int n = 1; n <= 21; ++n) { // two tickets of 3 numbers take 21 requests
            QTest::addRow("request %d fails", n) << n;
        }
    }
    void PrintGrid_requestFails_oneMessageNothingAfter() {
        QFETCH(int, failing);
        MemoryGrid grid = TicketGrid(2, 3, false);
        RecordingPort clean;
        PrintTickets(grid, clean);
        QCOMPARE(clean.Calls().size(), size_t{21});
        RecordingPort kept;
        const PrintResult result = PrintGrid(grid, [&] {
            auto port = std::make_unique<KeptPort>(kept);
            port->FailAtCall(failing);
            return port;
        });
        const auto sent = failing == 0 ? clean.Calls().end() : clean.Calls().begin() + failing - 1;
        QCOMPARE(kept.Calls(), std::vector<std::string>(clean.Calls().begin(), sent));
        QCOMPARE(kept.DocumentsEnded(), failing == 0 ? 1 : 0);
        QCOMPARE(result, failing == 0 ? PrintResult::Printed : PrintResult::Failed);
    }

    // The queue's own paper, its margins or at least the minimum, a page break where the page
    // is full, and the document handed over whole.
    void PrintGrid_onQueue_wholePdfOnItsPaper_data() {
        QTest::addColumn<QPageSize>("paper");
        QTest::addColumn<QMarginsF>("reported");
        QTest::addColumn<QString>("points"); // the paper, rounded to whole points
        QTest::addColumn<QMarginsF>("margins");
        // 54 lines of 50 tickets: one page where about 60 lines fit, two on small paper.
        QTest::addColumn<int>("pages");
        QTest::newRow("A6") << QPageSize(QPageSize::A6) << QMarginsF() << "297.000000 420.000000"
                            << QMarginsF(10, 10, 10, 10) << 2;
        QTest::newRow("no paper named: A4, margins as reported")
            << QPageSize() << QMarginsF(4.2, 3, 0, 12.5) << "595.000000 842.000000"
            << QMarginsF(4.2, 3, 10, 12.5) << 1;
    }
    void PrintGrid_onQueue_wholePdfOnItsPaper() {
        QFETCH(QPageSize, paper);
        QFETCH(QMarginsF, reported);
        QFETCH(QString, points);
        QFETCH(QMarginsF, margins);
        QLocale::setDefault(QLocale::c());
        const QueueInfo info{true, false, paper, reported};
        QCOMPARE(PdfQueuePort::LayoutFor(info).margins(QPageLayout::Millimeter), margins);
        QList<QByteArray> taken;
        MemoryGrid grid = TicketGrid(50, 7, true);
        QCOMPARE(PrintGrid(grid,
                           [&] {
                               return std::make_unique<PdfQueuePort>(
                                   std::make_unique<TakingQueue>(info, taken));
                           }),
                 PrintResult::Printed);
        QCOMPARE(taken.size(), 1);
        const QString pdf = QString::fromLatin1(taken[0]);
        QVERIFY(pdf.startsWith("%PDF-") && pdf.trimmed().endsWith("%%EOF"));
        QVERIFY(pdf.contains("/MediaBox [0 0 " + points + "]"));
        QTEST(int(pdf.count(QRegularExpression(QStringLiteral(R"(/Type\s*/Page(?!s))")))), "pages");
        // Every word ends inside the right margin, on narrow paper too.
        QTemporaryFile file;
        QVERIFY(file.open() && file.write(taken[0]) == taken[0].size() && file.flush());
        QProcess words;
        words.start(QStringLiteral("pdftotext"), {"-bbox", file.fileName(), "-"});
        if (!words.waitForFinished()) {
            QSKIP("no pdftotext to read the words back");
        }
        const double right = points.section(' ', 0, 0).toDouble() - margins.right() * 72 / 25.4;
        auto ends = QRegularExpression(QStringLiteral(R"re(xMax="([\d.]+)")re"))
                        .globalMatch(QString::fromLatin1(words.readAllStandardOutput()));
        while (ends.hasNext()) {
            const double x = ends.next().captured(1).toDouble();
            QVERIFY2(x <= right, qPrintable(QStringLiteral("%1 > %2").arg(x).arg(right)));
        }
    }

#if KIVORA_HAVE_CUPS
    // libcups would ask on the terminal; the queue asks through its asker or gives up at once.
    // The user's time does not count against the limit.
    void CupsQueue_queueWantsLogin_askedNeverOnTerminal_data() {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<int>("userMs");
        QTest::addColumn<int>("asked");
        QTest::addColumn<bool>("described");
        QTest::newRow("right login") << "alice:secret" << 0 << 1 << true;
        QTest::newRow("slow user") << "alice:secret" << 2000 << 1 << true;
        QTest::newRow("wrong login") << "alice:guess" << 0 << CupsQueue::kLoginTries << false;
        QTest::newRow("cancelled") << "" << 0 << 1 << false;
    }
    void CupsQueue_queueWantsLogin_askedNeverOnTerminal() {
        QFETCH(QString, answer);
        QFETCH(int, userMs);
        FakeScheduler server(dir_.filePath(QStringLiteral("login.sock")).toLocal8Bit(),
                             "alice:secret", false);
        int asked = 0;
        CupsQueue queue(
            std::chrono::milliseconds(1500), [&](const QString&) -> std::optional<PrinterLogin> {
                ++asked;
                QTest::qWait(userMs);
                return answer.isEmpty() ? std::nullopt
                                        : std::optional(PrinterLogin{answer.section(':', 0, 0),
                                                                     answer.section(':', 1)});
            });
        bool described = true;
        try {
            queue.Describe();
        } catch (const PrintError&) {
            described = false;
        }
        QTEST(asked, "asked");
        QTEST(described, "described");
    }

    // The scheduler takes the whole job and answers after the limit: the job may print, so it
    // is not reported as failed.
    void CupsQueue_jobAnswerHeldPastLimit_unconfirmed() {
        FakeScheduler server(dir_.filePath(QStringLiteral("late.sock")).toLocal8Bit(), {}, true);
        CupsQueue queue(std::chrono::milliseconds(1500));
        QVERIFY(queue.Describe().acceptingJobs);
        QVERIFY_THROWS_EXCEPTION(PrintUnconfirmed, queue.Submit("%PDF-1.4 tickets", "Kivora"));
        QCOMPARE(server.jobsHeld.load(), 1);
    }
#endif

private:
    QTemporaryDir dir_;
};

QTEST_MAIN(TestPrint)
#include "tst_print.moc"
