// The printout through RecordingPort and MemoryGrid, the tab rule, the printer port's decisions on
// what a print queue answers, and a scheduler that stops answering.
#include <memory>
#include <numeric>
#include <string>
#include <vector>

#include <QElapsedTimer>
#include <QPageLayout>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTest>
#include <QTimer>
#include <QtEndian>

#if KIVORA_HAVE_CUPS
#include <atomic>
#include <cstring>
#include <thread>

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cups/cups.h>

#include "print/cups/CupsQueue.h"
#endif

#include "engine/Ticket.h"
#include "engine/TicketGrid.h"
#include "print/PdfQueuePort.h"
#include "print/PrintError.h"
#include "print/PrintQueue.h"
#include "print/PrintUnconfirmed.h"
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
        Ticket ticket{std::vector<int32_t>(size_t(numbers)), std::nullopt};
        std::iota(ticket.numbers.begin(), ticket.numbers.end(), i);
        ticket.bonus = bonus ? std::optional<int32_t>(40 + i) : std::nullopt;
        WriteTicketRow(grid, i, ticket);
    }
    return grid;
}

QStringList Plain(const RecordingPort& port) {
    QStringList plain;
    for (const std::string& line : port.PlainLines()) {
        plain << QString::fromStdString(line);
    }
    return plain;
}

// Hands what it saw to `kept` when PrintGrid drops it.
class KeptPort : public RecordingPort {
public:
    explicit KeptPort(RecordingPort& kept) : kept_(kept) {}
    ~KeptPort() override { kept_ = *this; }

private:
    RecordingPort& kept_;
};

// A queue that answers as told ("takes", "no jobs", "silent", "refuses", "late", "holds") and keeps
// the documents it takes.
class FakeQueue : public PrintQueue {
public:
    FakeQueue(QueueInfo info, QString answer, QList<QByteArray>& taken)
        : info_(info), answer_(answer), taken_(taken) {}
    QueueInfo Describe() override {
        if (answer_ == "silent") {
            throw PrintError("no answer");
        }
        info_.acceptingJobs = answer_ != "no jobs";
        return info_;
    }
    JobFate Submit(const QByteArray& pdf, const QString& /*title*/) override {
        if (answer_ == "refuses") {
            throw PrintError("refused");
        }
        if (answer_ == "late") {
            throw PrintUnconfirmed("no answer in time");
        }
        taken_ << pdf;
        return answer_ == "holds" ? JobFate::Held : JobFate::Queued;
    }

private:
    QueueInfo info_;
    QString answer_;
    QList<QByteArray>& taken_;
};

#if KIVORA_HAVE_CUPS
int Listen(const QByteArray& path) {
    ::unlink(path.constData());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{AF_UNIX, {}};
    std::strncpy(address.sun_path, path.constData(), sizeof(address.sun_path) - 1);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
        ::listen(fd, 8) != 0) {
        qFatal("cannot listen on %s", path.constData());
    }
    return fd;
}

// A print server on a local socket with just enough IPP for a queue that takes jobs. With a
// login, it wants that login on every request; with `holdJobs`, it reads a Print-Job whole and
// never answers it.
class FakeScheduler {
public:
    FakeScheduler(const QByteArray& path, const QByteArray& login, bool holdJobs)
        : listener_(Listen(path)), login_(login), holdJobs_(holdJobs),
          thread_([this] { Serve(); }) {
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
        const QByteArray ipp = Printer(qFromBigEndian<qint32>(body.constData() + 4));
        Send(fd, "HTTP/1.1 200 OK\r\nContent-Type: application/ipp\r\nContent-Length: " +
                     QByteArray::number(ipp.size()) + "\r\n\r\n" + ipp);
        return true;
    }
    static void Send(int fd, const QByteArray& data) {
        if (::write(fd, data.constData(), size_t(data.size())) != data.size()) {
            qWarning("short write");
        }
    }
    static QByteArray Printer(int requestId) {
        ipp_t* ipp = ippNew();
        ippSetVersion(ipp, 2, 0);
        ippSetStatusCode(ipp, IPP_STATUS_OK);
        ippSetRequestId(ipp, requestId);
        ippAddString(ipp, IPP_TAG_OPERATION, IPP_TAG_CHARSET, "attributes-charset", nullptr,
                     "utf-8");
        ippAddString(ipp, IPP_TAG_OPERATION, IPP_TAG_LANGUAGE, "attributes-natural-language",
                     nullptr, "en");
        ippAddString(ipp, IPP_TAG_PRINTER, IPP_TAG_NAME, "printer-name", nullptr, "Fake");
        ippAddString(ipp, IPP_TAG_PRINTER, IPP_TAG_URI, "printer-uri-supported", nullptr,
                     "ipp://localhost/printers/Fake");
        ippAddBoolean(ipp, IPP_TAG_PRINTER, "printer-is-accepting-jobs", 1);
        QByteArray out;
        ippWriteIO(
            &out,
            [](void* to, ipp_uchar_t* data, size_t size) -> ssize_t {
                static_cast<QByteArray*>(to)->append(reinterpret_cast<char*>(data),
                                                     qsizetype(size));
                return ssize_t(size);
            },
            1, nullptr, ipp);
        ippDelete(ipp);
        return out;
    }

    const int listener_;
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
        // No scheduler answers there, so no real printer can be picked up by mistake.
        qputenv("CUPS_SERVER", dir_.filePath(QStringLiteral("none.sock")).toLocal8Bit());
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
        QTEST(Plain(port), "lines");
    }

    // Every row leaves the N1 heading empty: it prints as nothing, and the next heading still
    // starts at its own tab column.
    void PrintTickets_columnCount_cellsAtTabColumns_data() {
        QTest::addColumn<int>("numbers");
        QTest::addColumn<bool>("bonus");
        QTest::addColumn<QString>("headings");
        QTest::addColumn<QString>("ticket");
        QTest::newRow("4 columns") << 3 << false << "              N2   N3"
                                   << "1        1    2    3";
        QTest::newRow("8 columns") << 6 << true << "              N2   N3   N4   N5   N6   B"
                                   << "1        1    2    3    4    5    6    41";
        QTest::newRow("9 columns") << 7 << true << "              N2   N3   N4   N5   N6   N7   B"
                                   << "1        1    2    3    4    5    6    7    41";
    }
    void PrintTickets_columnCount_cellsAtTabColumns() {
        QFETCH(int, numbers);
        QFETCH(bool, bonus);
        QFETCH(QString, headings);
        QFETCH(QString, ticket);
        MemoryGrid grid = TicketGrid(1, numbers, bonus);
        grid.SetRow(0);
        grid.SetCol(1);
        grid.SetText("");
        RecordingPort port;
        PrintTickets(grid, port);
        QCOMPARE(Plain(port),
                 (QStringList{"Lotto Kivora 2.6 by Brandell", "", headings, "", ticket}));
    }

    void PrintGrid_noTicketRows_nothingToPrintWithoutPrinter() {
        MemoryGrid grid = TicketGrid(0, 6, true);
        bool opened = false;
        QCOMPARE(PrintGrid(grid,
                           [&opened] {
                               opened = true;
                               return std::make_unique<RecordingPort>();
                           }),
                 PrintResult::NothingToPrint);
        QVERIFY(!opened);
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
        // One line a ticket, with no blank line between them.
        QCOMPARE(Plain(clean).mid(4),
                 (QStringList{"1        1    2    3", "2        2    3    4"}));
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

    // The real port with no print server to ask.
    void PrintGrid_noPrintServer_printerMessage() {
        MemoryGrid grid = TicketGrid(3, 6, true);
        QCOMPARE(PrintGrid(grid, [] { return PdfQueuePort::OpenDefault(); }), PrintResult::Failed);
    }

    void PrintGrid_queueAnswers_resultPaperAndMessage_data() {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QPageSize>("paper");
        QTest::addColumn<QMarginsF>("reported");
        QTest::addColumn<PrintResult>("result");
        QTest::addColumn<QString>("points"); // the paper, rounded to whole points
        QTest::addColumn<QMarginsF>("margins");
        // 54 lines of 50 tickets: one page where about 60 lines fit, two on the small papers.
        QTest::addColumn<int>("pages");
        const QMarginsF none, minimum(10, 10, 10, 10);
        const QString a4 = "595.000000 842.000000";
        const PrintResult printed = PrintResult::Printed;
        QTest::newRow("A6") << "takes" << QPageSize(QPageSize::A6) << none << printed
                            << "297.000000 420.000000" << minimum << 2;
        QTest::newRow("Letter") << "takes" << QPageSize(QPageSize::Letter) << none << printed
                                << "612.000000 792.000000" << minimum << 1;
        QTest::newRow("no paper named: A4")
            << "takes" << QPageSize() << none << printed << a4 << minimum << 1;
        QTest::newRow("margins as reported")
            << "takes" << QPageSize(QPageSize::A5) << QMarginsF(4.2, 3, 0, 12.5) << printed
            << "420.000000 595.000000" << QMarginsF(4.2, 3, 10, 12.5) << 2;
        QTest::newRow("holds the job")
            << "holds" << QPageSize() << none << PrintResult::Held << a4 << minimum << 1;
        for (const char* answer : {"no jobs", "silent", "refuses", "late"}) {
            QTest::addRow("queue: %s", answer)
                << QString(answer) << QPageSize() << none
                << (answer == QLatin1String("late") ? PrintResult::Unconfirmed
                                                    : PrintResult::Failed)
                << QString() << minimum << 0;
        }
    }
    void PrintGrid_queueAnswers_resultPaperAndMessage() {
        QFETCH(QString, answer);
        QFETCH(QPageSize, paper);
        QFETCH(QMarginsF, reported);
        QFETCH(PrintResult, result);
        QFETCH(QString, points);
        QLocale::setDefault(QLocale::c());
        const QueueInfo info{true, false, paper, reported};
        QTEST(PdfQueuePort::LayoutFor(info).margins(QPageLayout::Millimeter), "margins");
        QList<QByteArray> taken;
        MemoryGrid grid = TicketGrid(50, 7, true);
        const PrintResult got = PrintGrid(grid, [&]() -> std::unique_ptr<PrinterPort> {
            return std::make_unique<PdfQueuePort>(std::make_unique<FakeQueue>(info, answer, taken));
        });
        QCOMPARE(got, result);
        const bool failed = result == PrintResult::Failed || result == PrintResult::Unconfirmed;
        QCOMPARE(taken.size(), failed ? 0 : 1);
        const QString pdf = failed ? QString() : QString::fromLatin1(taken[0]);
        QVERIFY(failed || (pdf.startsWith("%PDF-") && pdf.trimmed().endsWith("%%EOF"))); // whole
        QVERIFY(failed || pdf.contains("/MediaBox [0 0 " + points + "]"));
        QTEST(int(pdf.count(QRegularExpression(QStringLiteral(R"(/Type\s*/Page(?!s))")))), "pages");
        // Every word ends inside the right margin, on narrow paper too.
        const QString reader = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
        if (!failed && !reader.isEmpty()) {
            QTemporaryFile file;
            QVERIFY(file.open() && file.write(taken[0]) == taken[0].size() && file.flush());
            QProcess words;
            words.start(reader, {"-bbox", file.fileName(), "-"});
            QVERIFY(words.waitForFinished());
            QFETCH(QMarginsF, margins);
            const double right = points.section(' ', 0, 0).toDouble() - margins.right() * 72 / 25.4;
            auto ends = QRegularExpression(QStringLiteral(R"re(xMax="([\d.]+)")re"))
                            .globalMatch(QString::fromLatin1(words.readAllStandardOutput()));
            while (ends.hasNext()) {
                const double x = ends.next().captured(1).toDouble();
                QVERIFY2(x <= right, qPrintable(QStringLiteral("%1 > %2").arg(x).arg(right)));
            }
        }
    }

#if KIVORA_HAVE_CUPS
    // A scheduler stopped with SIGSTOP takes connections and never answers: the queue gives up at
    // its time limit, and meanwhile the program's own events (timers, repaints) still run.
    void CupsQueue_serverStopsAnswering_failsAtItsLimit() {
        const QByteArray path = dir_.filePath(QStringLiteral("silent.sock")).toLocal8Bit();
        const int fd = Listen(path);
        const auto closing = qScopeGuard([fd] { ::close(fd); });
        cupsSetServer(path.constData());
        const auto restoring = qScopeGuard([] { cupsSetServer(nullptr); });
        bool served = false;
        QTimer::singleShot(300, [&served] { served = true; });
        QElapsedTimer clock;
        clock.start();
        QVERIFY_THROWS_EXCEPTION(PrintError, CupsQueue(std::chrono::milliseconds(1500)).Describe());
        QVERIFY2(clock.elapsed() >= 1400 && clock.elapsed() < 4000,
                 qPrintable(QString::number(clock.elapsed())));
        QVERIFY(served);
    }

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
        CupsQueue queue(std::chrono::milliseconds(1500),
                        [&](const QString&) -> std::optional<PrinterLogin> {
                            ++asked;
                            QTest::qWait(userMs);
                            if (answer.isEmpty()) {
                                return std::nullopt;
                            }
                            return PrinterLogin{answer.section(':', 0, 0), answer.section(':', 1)};
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
