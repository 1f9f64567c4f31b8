// The printout through RecordingPort and MemoryGrid, the tab rule, the printer port's decisions on
// what a print queue answers, and a scheduler that stops answering.
#include <memory>
#include <numeric>
#include <string>
#include <vector>

#include <QElapsedTimer>
#include <QPageLayout>
#include <QPrinterInfo>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#if KIVORA_HAVE_CUPS
#include <cstring>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cups/cups.h>

#include "print/CupsQueue.h"
#endif

#include "engine/Ticket.h"
#include "engine/TicketGrid.h"
#include "print/PrintError.h"
#include "print/PrintQueue.h"
#include "print/Printout.h"
#include "print/QPrinterPort.h"
#include "support/MemoryGrid.h"
#include "support/RecordingPort.h"
#include "ui/common/MessageBox.h"

using namespace kivora;

namespace {

const QString kPrinterMessage =
    QStringLiteral("Make sure you have a printer installed and that it is turned on.");

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

// A queue that answers as told ("takes", "no jobs", "silent", "refuses", "holds") and keeps the
// documents it takes.
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
        taken_ << pdf;
        return answer_ == "holds" ? JobFate::Held : JobFate::Queued;
    }

private:
    QueueInfo info_;
    QString answer_;
    QList<QByteArray>& taken_;
};

} // namespace

class TestPrint : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        // No scheduler answers there, so no real printer can be picked up by mistake.
        qputenv("CUPS_SERVER", dir_.filePath(QStringLiteral("none.sock")).toLocal8Bit());
    }
    void init() {
        messages_.clear();
        MessageBox::SetHandler([this](const MessageBox::Message& m) { messages_ << m; });
    }
    void cleanup() { MessageBox::ClearHandler(); }

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
        PrintGrid(nullptr, grid, [&opened] {
            opened = true;
            return std::make_unique<RecordingPort>();
        });
        QVERIFY(!opened);
        QCOMPARE(Said(),
                 QStringList{QStringLiteral("There's nothing to print. \r\nClick Start "
                                            "button to draw numbers and then try printing.")});
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
        PrintGrid(nullptr, grid, [&] {
            auto port = std::make_unique<KeptPort>(kept);
            port->FailAtCall(failing);
            return port;
        });
        const auto sent = failing == 0 ? clean.Calls().end() : clean.Calls().begin() + failing - 1;
        QCOMPARE(kept.Calls(), std::vector<std::string>(clean.Calls().begin(), sent));
        QCOMPARE(kept.DocumentsEnded(), failing == 0 ? 1 : 0);
        QCOMPARE(Said(), failing == 0 ? QStringList() : QStringList{kPrinterMessage});
    }

    // The real port with no print server to ask.
    void PrintGrid_noPrintServer_printerMessage() {
        QVERIFY(QPrinterInfo::defaultPrinter().isNull()); // never print on a real printer
        MemoryGrid grid = TicketGrid(3, 6, true);
        QCOMPARE(PrintGrid(nullptr, grid, &QPrinterPort::OpenDefault), PrintResult::Failed);
        QCOMPARE(Said(), QStringList{kPrinterMessage});
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
        for (const char* answer : {"no jobs", "silent", "refuses"}) {
            QTest::addRow("queue: %s", answer) << QString(answer) << QPageSize() << none
                                               << PrintResult::Failed << QString() << minimum << 0;
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
        QTEST(QPrinterPort::LayoutFor(info).margins(QPageLayout::Millimeter), "margins");
        QList<QByteArray> taken;
        MemoryGrid grid = TicketGrid(50, 7, true);
        const PrintResult got = PrintGrid(nullptr, grid, [&]() -> std::unique_ptr<PrinterPort> {
            return std::make_unique<QPrinterPort>(std::make_unique<FakeQueue>(info, answer, taken));
        });
        QCOMPARE(got, result);
        const bool failed = result == PrintResult::Failed;
        // Only a failure speaks up; a held job is for the window to mention.
        QCOMPARE(Said(), failed ? QStringList{kPrinterMessage} : QStringList());
        QCOMPARE(taken.size(), failed ? 0 : 1);
        const QString pdf = failed ? QString() : QString::fromLatin1(taken[0]);
        QVERIFY(failed || (pdf.startsWith("%PDF-") && pdf.trimmed().endsWith("%%EOF"))); // whole
        QVERIFY(failed || pdf.contains("/MediaBox [0 0 " + points + "]"));
        QTEST(int(pdf.count(QRegularExpression(QStringLiteral(R"(/Type\s*/Page(?!s))")))), "pages");
    }

#if KIVORA_HAVE_CUPS
    // A scheduler stopped with SIGSTOP takes connections and never answers: the queue gives up at
    // its time limit, and meanwhile the program's own events (timers, repaints) still run.
    void CupsQueue_serverStopsAnswering_failsAtItsLimit() {
        const QByteArray path = dir_.filePath(QStringLiteral("silent.sock")).toLocal8Bit();
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        const auto closing = qScopeGuard([fd] { ::close(fd); });
        sockaddr_un address{AF_UNIX, {}};
        std::strncpy(address.sun_path, path.constData(), sizeof(address.sun_path) - 1);
        QVERIFY(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0);
        QVERIFY(::listen(fd, 8) == 0);
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
#endif

private:
    // The texts of the messages shown, each marked when it was not a critical one.
    QStringList Said() const {
        QStringList said;
        for (const MessageBox::Message& m : messages_) {
            said << (m.icon == QMessageBox::Critical ? m.text : "not critical: " + m.text);
        }
        return said;
    }

    QTemporaryDir dir_;
    QList<MessageBox::Message> messages_;
};

QTEST_MAIN(TestPrint)
#include "tst_print.moc"
