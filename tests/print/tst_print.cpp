// The printout through RecordingPort and MemoryGrid, the tab rule, and the real printer port
// with no printer to find.
#include <memory>
#include <string>
#include <vector>

#include <QPrinterInfo>
#include <QTemporaryDir>
#include <QTest>

#include "common/MessageBox.h"
#include "engine/MemoryGrid.h"
#include "engine/Ticket.h"
#include "engine/TicketGrid.h"
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

private:
    QTemporaryDir dir_;
    QList<MessageBox::Message> messages_;
};

QTEST_MAIN(TestPrint)
#include "tst_print.moc"
