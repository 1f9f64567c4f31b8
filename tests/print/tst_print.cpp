// The printout through RecordingPort and MemoryGrid, the tab rule, the real printer port with no
// printer to find, its decisions on what a print queue answers, and a scheduler that stops
// answering.
#include <memory>
#include <string>
#include <vector>

#include <QElapsedTimer>
#include <QPageLayout>
#include <QPrinterInfo>
#include <QRegularExpression>
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

#include "common/MessageBox.h"
#include "engine/MemoryGrid.h"
#include "engine/Ticket.h"
#include "engine/TicketGrid.h"
#include "print/PrintError.h"
#include "print/PrintQueue.h"
#include "print/Printout.h"
#include "print/QPrinterPort.h"
#include "print/RecordingPort.h"

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
        Ticket ticket{{}, bonus ? std::optional<int32_t>(40 + i) : std::nullopt};
        for (int n = 0; n < numbers; ++n) {
            ticket.numbers.push_back(i + n);
        }
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

// A queue that answers as it is told and keeps the documents it takes.
class FakeQueue : public PrintQueue {
public:
    struct Answers {
        QueueInfo info;
        bool silent = false;  // Describe finds no printer that answers
        bool refuses = false; // Submit refuses the job
        JobFate fate = JobFate::Queued;
    };
    FakeQueue(Answers answers, QList<QByteArray>& taken) : answers_(answers), taken_(taken) {}

    QueueInfo Describe() override {
        if (answers_.silent) {
            throw PrintError("no answer");
        }
        return answers_.info;
    }
    JobFate Submit(const QByteArray& pdf, const QString& /*title*/) override {
        if (answers_.refuses) {
            throw PrintError("refused");
        }
        taken_ << pdf;
        return answers_.fate;
    }

private:
    Answers answers_;
    QList<QByteArray>& taken_;
};

// The first page's size in points, from the PDF's MediaBox.
QSizeF MediaBox(const QByteArray& pdf) {
    static const QRegularExpression box(
        QStringLiteral(R"(/MediaBox\s*\[\s*0\s+0\s+([0-9.]+)\s+([0-9.]+)\s*\])"));
    const QRegularExpressionMatch m = box.match(QString::fromLatin1(pdf));
    return m.hasMatch() ? QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble()) : QSizeF();
}

int PageCount(const QByteArray& pdf) {
    static const QRegularExpression page(QStringLiteral(R"(/Type\s*/Page(?!s))"));
    return int(QString::fromLatin1(pdf).count(page));
}

#if KIVORA_HAVE_CUPS
// A socket that takes connections and never answers, as a scheduler stopped with SIGSTOP does.
class SilentServer {
public:
    explicit SilentServer(const QString& path) {
        fd_ = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const QByteArray name = path.toLocal8Bit();
        std::strncpy(address.sun_path, name.constData(), sizeof(address.sun_path) - 1);
        listening_ = fd_ >= 0 &&
                     ::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0 &&
                     ::listen(fd_, 8) == 0;
    }
    ~SilentServer() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    SilentServer(const SilentServer&) = delete;
    SilentServer& operator=(const SilentServer&) = delete;
    bool Listening() const { return listening_; }

private:
    int fd_ = -1;
    bool listening_ = false;
};
#endif

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

    void PrintTickets_columnCount_cellsAtTabColumns_data() {
        QTest::addColumn<int>("numbers");
        QTest::addColumn<bool>("bonus");
        QTest::addColumn<int>("emptyHeading");
        QTest::addColumn<QString>("headings");
        QTest::addColumn<QString>("ticket");
        QTest::newRow("4 columns") << 3 << false << 0 << "         N1   N2   N3"
                                   << "1        1    2    3";
        QTest::newRow("8 columns") << 6 << true << 0 << "         N1   N2   N3   N4   N5   N6   B"
                                   << "1        1    2    3    4    5    6    41";
        QTest::newRow("9 columns")
            << 7 << true << 0 << "         N1   N2   N3   N4   N5   N6   N7   B"
            << "1        1    2    3    4    5    6    7    41";
        QTest::newRow("empty heading") << 3 << false << 1 << "              N2   N3"
                                       << "1        1    2    3";
    }
    void PrintTickets_columnCount_cellsAtTabColumns() {
        QFETCH(int, numbers);
        QFETCH(bool, bonus);
        QFETCH(int, emptyHeading);
        QFETCH(QString, headings);
        QFETCH(QString, ticket);
        MemoryGrid grid = TicketGrid(1, numbers, bonus);
        grid.SetRow(0);
        grid.SetCol(emptyHeading); // the label heading, column 0, is empty anyway
        grid.SetText("");
        RecordingPort port;
        PrintTickets(grid, port);
        QCOMPARE(Plain(port),
                 (QStringList{"Lotto Kivora 2.6 by Brandell", "", headings, "", ticket}));
    }

    void PrintTickets_fiftyTickets_fiftyLinesNoBlanks() {
        MemoryGrid grid = TicketGrid(50, 6, true);
        RecordingPort port;
        PrintTickets(grid, port);
        const QStringList lines = Plain(port);
        QCOMPARE(lines.size(), 4 + 50);
        for (int i = 1; i <= 50; ++i) {
            QVERIFY2(lines[3 + i].startsWith(QString::number(i) + ' '), qPrintable(lines[3 + i]));
        }
    }

    void PrintGrid_noTicketRows_nothingToPrintWithoutPrinter() {
        MemoryGrid grid = TicketGrid(0, 6, true);
        bool opened = false;
        PrintGrid(nullptr, grid, [&opened] {
            opened = true;
            return std::make_unique<RecordingPort>();
        });
        QVERIFY(!opened);
        QCOMPARE(messages_.size(), 1);
        QCOMPARE(messages_[0].text,
                 QStringLiteral("There's nothing to print. \r\nClick Start "
                                "button to draw numbers and then try printing."));
        QCOMPARE(messages_[0].icon, QMessageBox::Critical);
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
        PrintGrid(nullptr, grid, [&] {
            auto port = std::make_unique<KeptPort>(kept);
            port->FailAtCall(failing);
            return port;
        });
        const auto sent = failing == 0 ? clean.Calls().end() : clean.Calls().begin() + failing - 1;
        QCOMPARE(kept.Calls(), std::vector<std::string>(clean.Calls().begin(), sent));
        QCOMPARE(kept.DocumentsEnded(), failing == 0 ? 1 : 0);
        QCOMPARE(messages_.size(), failing == 0 ? 0 : 1);
        if (failing != 0) {
            QCOMPARE(messages_[0].text, kPrinterMessage);
            QCOMPARE(messages_[0].icon, QMessageBox::Critical);
        }
    }

    void PrintGrid_qprinterPortWithoutDefault_printerMessage() {
        QVERIFY(QPrinterInfo::defaultPrinter().isNull()); // never print on a real printer
        MemoryGrid grid = TicketGrid(3, 6, true);
        PrintGrid(nullptr, grid, &QPrinterPort::OpenDefault);
        QCOMPARE(messages_.size(), 1);
        QCOMPARE(messages_[0].text, kPrinterMessage);
        QCOMPARE(messages_[0].icon, QMessageBox::Critical);
    }

    void PrintGrid_queueAnswers_resultAndMessage_data() {
        QTest::addColumn<bool>("accepting");
        QTest::addColumn<bool>("silent");
        QTest::addColumn<bool>("refuses");
        QTest::addColumn<bool>("held");
        QTest::addColumn<int>("result");
        QTest::addColumn<int>("documents");
        const int printed = int(PrintResult::Printed);
        const int failed = int(PrintResult::Failed);
        const int held = int(PrintResult::Held);
        QTest::newRow("takes the job") << true << false << false << false << printed << 1;
        QTest::newRow("takes no jobs") << false << false << false << false << failed << 0;
        QTest::newRow("does not answer") << true << true << false << false << failed << 0;
        QTest::newRow("refuses the job") << true << false << true << false << failed << 0;
        QTest::newRow("holds the job") << true << false << false << true << held << 1;
    }
    void PrintGrid_queueAnswers_resultAndMessage() {
        QFETCH(bool, accepting);
        QFETCH(bool, silent);
        QFETCH(bool, refuses);
        QFETCH(bool, held);
        QFETCH(int, result);
        QFETCH(int, documents);
        FakeQueue::Answers answers;
        answers.info.acceptingJobs = accepting;
        answers.silent = silent;
        answers.refuses = refuses;
        answers.fate = held ? JobFate::Held : JobFate::Queued;
        QList<QByteArray> taken;
        MemoryGrid grid = TicketGrid(3, 6, true);
        const PrintResult got = PrintGrid(nullptr, grid, [&]() -> std::unique_ptr<PrinterPort> {
            return std::make_unique<QPrinterPort>(std::make_unique<FakeQueue>(answers, taken));
        });
        QCOMPARE(int(got), result);
        QCOMPARE(taken.size(), documents);
        if (documents > 0) {
            QVERIFY(taken[0].startsWith("%PDF-"));
            QVERIFY(taken[0].trimmed().endsWith("%%EOF")); // whole, not cut off
        }
        // Only a failure speaks up; a held job is for the window to mention.
        QCOMPARE(messages_.size(), result == int(PrintResult::Failed) ? 1 : 0);
        if (!messages_.isEmpty()) {
            QCOMPARE(messages_[0].text, kPrinterMessage);
            QCOMPARE(messages_[0].icon, QMessageBox::Critical);
        }
    }

    void QPrinterPort_queuePaper_pageSizeAndMargins_data() {
        QTest::addColumn<QPageSize>("paper");
        QTest::addColumn<QMarginsF>("reported");
        QTest::addColumn<QSizeF>("points");
        QTest::addColumn<QMarginsF>("margins");
        // 54 lines of 50 tickets: one page where about 60 lines fit, two on the small papers.
        QTest::addColumn<int>("pages");
        const QMarginsF minimum(10, 10, 10, 10);
        QTest::newRow("A6, no margins")
            << QPageSize(QPageSize::A6) << QMarginsF() << QSizeF(297.64, 419.53) << minimum << 2;
        QTest::newRow("Letter, no margins")
            << QPageSize(QPageSize::Letter) << QMarginsF() << QSizeF(612, 792) << minimum << 1;
        QTest::newRow("none named: A4")
            << QPageSize() << QMarginsF() << QSizeF(595.28, 841.89) << minimum << 1;
        QTest::newRow("margins as reported")
            << QPageSize(QPageSize::A5) << QMarginsF(4.2, 3, 0, 12.5) << QSizeF(419.53, 595.28)
            << QMarginsF(4.2, 3, 10, 12.5) << 2;
    }
    void QPrinterPort_queuePaper_pageSizeAndMargins() {
        QFETCH(QPageSize, paper);
        QFETCH(QMarginsF, reported);
        QFETCH(QSizeF, points);
        QFETCH(QMarginsF, margins);
        QFETCH(int, pages);
        QLocale::setDefault(QLocale::c());
        FakeQueue::Answers answers;
        answers.info.pageSize = paper;
        answers.info.margins = reported;
        const QPageLayout layout = QPrinterPort::LayoutFor(answers.info);
        QCOMPARE(layout.margins(QPageLayout::Millimeter), margins);

        QList<QByteArray> taken;
        MemoryGrid grid = TicketGrid(50, 7, true);
        PrintGrid(nullptr, grid, [&]() -> std::unique_ptr<PrinterPort> {
            return std::make_unique<QPrinterPort>(std::make_unique<FakeQueue>(answers, taken));
        });
        QVERIFY(messages_.isEmpty());
        QCOMPARE(taken.size(), 1);
        const QSizeF box = MediaBox(taken[0]);
        // The PDF writer rounds the paper to whole points.
        QVERIFY2(qAbs(box.width() - points.width()) <= 1.0 &&
                     qAbs(box.height() - points.height()) <= 1.0,
                 qPrintable(QStringLiteral("%1 x %2").arg(box.width()).arg(box.height())));
        QCOMPARE(PageCount(taken[0]), pages);
    }

#if KIVORA_HAVE_CUPS
    // A scheduler that stops answering: the queue gives up at its time limit, and meanwhile the
    // program's own events (timers, repaints) still run.
    void CupsQueue_serverStopsAnswering_failsAtItsLimit() {
        const QString path = dir_.filePath(QStringLiteral("silent.sock"));
        SilentServer server(path);
        QVERIFY(server.Listening());
        qputenv("CUPS_SERVER", path.toLocal8Bit());
        cupsSetServer(nullptr); // read the variable again
        bool served = false;
        QTimer::singleShot(300, [&served] { served = true; });
        QElapsedTimer clock;
        clock.start();
        bool failed = false;
        try {
            CupsQueue queue(std::chrono::milliseconds(1500));
            queue.Describe();
        } catch (const PrintError&) {
            failed = true;
        }
        const qint64 took = clock.elapsed();
        qputenv("CUPS_SERVER", dir_.filePath(QStringLiteral("none.sock")).toLocal8Bit());
        cupsSetServer(nullptr);
        QVERIFY(failed);
        QVERIFY2(took >= 1400 && took < 4000, qPrintable(QString::number(took)));
        QVERIFY(served);
    }
#endif

private:
    QTemporaryDir dir_;
    QList<MessageBox::Message> messages_;
};

QTEST_MAIN(TestPrint)
#include "tst_print.moc"
