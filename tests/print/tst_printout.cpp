#include <memory>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include <QStringList>
#include <QTest>

#include "common/MessageBox.h"
#include "engine/MemoryGrid.h"
#include "engine/Ticket.h"
#include "engine/TicketGrid.h"
#include "print/PrintError.h"
#include "print/Printout.h"
#include "print/RecordingPort.h"

using namespace kivora;

namespace {

const QString kPrinterMessage =
    QStringLiteral("Make sure you have a printer installed and that it is turned on.");

// A grid as the Start action leaves it. Ticket i holds i, i + 1, ... and, with a bonus, 40 + i.
MemoryGrid TicketGrid(int tickets, int numbers, bool bonus) {
    MemoryGrid grid;
    SetUpTicketGrid(grid, numbers, bonus);
    grid.SetRows(tickets + 1);
    for (int i = 1; i <= tickets; ++i) {
        Ticket ticket;
        for (int n = 0; n < numbers; ++n) {
            ticket.numbers.push_back(i + n);
        }
        if (bonus) {
            ticket.bonus = 40 + i;
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

// Keeps what the Print action's port saw after the action has dropped the port.
struct Seen {
    std::vector<std::string> calls;
    int documentsEnded = 0;
};

class KeptPort : public RecordingPort {
public:
    explicit KeptPort(Seen& seen) : seen_(seen) {}
    ~KeptPort() override { seen_ = {Calls(), DocumentsEnded()}; }

private:
    Seen& seen_;
};

class UnreadableGrid : public MemoryGrid {
public:
    using MemoryGrid::MemoryGrid;
    std::string Text() const override { throw std::out_of_range("cell gone"); }
};

class OutOfMemoryPort : public RecordingPort {
protected:
    void DoText(double, const std::string&) override { throw std::bad_alloc(); }
};

enum class Failure { NoPrinter, OpenThrowsInt, OpenGivesNothing, PortOutOfMemory, GridUnreadable };

} // namespace

Q_DECLARE_METATYPE(Failure)

class TestPrintout : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void PrintTickets_columnCount_cellsAtTabColumns_data();
    void PrintTickets_columnCount_cellsAtTabColumns();
    void PrintTickets_emptyOrExtraCells_othersKeepTheirColumns_data();
    void PrintTickets_emptyOrExtraCells_othersKeepTheirColumns();
    void PrintTickets_fiftyTickets_fiftyLinesWithoutBlanks();

    void PrintGrid_noTicketRows_nothingToPrintWithoutPrinter();
    void PrintGrid_requestFails_oneMessageAndNothingAfter_data();
    void PrintGrid_requestFails_oneMessageAndNothingAfter();
    void PrintGrid_anyFailure_printerMessage_data();
    void PrintGrid_anyFailure_printerMessage();

private:
    QList<MessageBox::Message> messages_;
};

void TestPrintout::init() {
    messages_.clear();
    MessageBox::SetHandler([this](const MessageBox::Message& message) { messages_ << message; });
}

void TestPrintout::cleanup() {
    MessageBox::ClearHandler();
}

void TestPrintout::PrintTickets_columnCount_cellsAtTabColumns_data() {
    QTest::addColumn<int>("numbers");
    QTest::addColumn<bool>("bonus");
    QTest::addColumn<QString>("headings");
    QTest::addColumn<QString>("ticket");

    // Column 1 is the margin; cells of grid columns 1 to 8 start at 10, 15, ... 45.
    QTest::newRow("3 numbers, 4 columns") << 3 << false << "         N1   N2   N3"
                                          << "1        1    2    3";
    QTest::newRow("4 numbers, 5 columns") << 4 << false << "         N1   N2   N3   N4"
                                          << "1        1    2    3    4";
    QTest::newRow("6 numbers and bonus, 8 columns")
        << 6 << true << "         N1   N2   N3   N4   N5   N6   B"
        << "1        1    2    3    4    5    6    41";
    QTest::newRow("7 numbers and bonus, 9 columns")
        << 7 << true << "         N1   N2   N3   N4   N5   N6   N7   B"
        << "1        1    2    3    4    5    6    7    41";
}

void TestPrintout::PrintTickets_columnCount_cellsAtTabColumns() {
    QFETCH(int, numbers);
    QFETCH(bool, bonus);
    QFETCH(QString, headings);
    QFETCH(QString, ticket);
    MemoryGrid grid = TicketGrid(1, numbers, bonus);
    RecordingPort port;

    PrintTickets(grid, port);

    // Header, one blank line, headings, one blank line, the ticket.
    QCOMPARE(Plain(port), (QStringList{"Lotto Kivora 2.6 by Brandell", "", headings, "", ticket}));
    QCOMPARE(port.Calls().at(0), std::string("font MS Sans Serif"));
    QCOMPARE(port.Calls().at(1), std::string("size 10"));
    QCOMPARE(port.Calls().back(), std::string("end"));
    QCOMPARE(port.DocumentsEnded(), 1);
}

void TestPrintout::PrintTickets_emptyOrExtraCells_othersKeepTheirColumns_data() {
    QTest::addColumn<int>("cols");
    QTest::addColumn<int>("emptyCol");
    QTest::addColumn<QString>("ticket");

    QTest::newRow("label empty") << 5 << 0 << "         b    c    d    e";
    QTest::newRow("middle number empty") << 5 << 2 << "a        b         d    e";
    QTest::newRow("last number empty") << 5 << 4 << "a        b    c    d";
    QTest::newRow("ten columns print only four") << 10 << -1 << "a        b    c    d";
}

void TestPrintout::PrintTickets_emptyOrExtraCells_othersKeepTheirColumns() {
    QFETCH(int, cols);
    QFETCH(int, emptyCol);
    QFETCH(QString, ticket);
    MemoryGrid grid(2, cols);
    grid.SetRow(1);
    for (int c = 0; c < cols; ++c) {
        grid.SetCol(c);
        grid.SetText(c == emptyCol ? "" : std::string(1, static_cast<char>('a' + c)));
    }
    RecordingPort port;

    PrintTickets(grid, port);

    // The heading row is all empty cells: its line stays blank.
    QCOMPARE(Plain(port).mid(2), (QStringList{"", "", ticket}));
}

void TestPrintout::PrintTickets_fiftyTickets_fiftyLinesWithoutBlanks() {
    MemoryGrid grid = TicketGrid(50, 6, true);
    RecordingPort port;

    PrintTickets(grid, port);

    const QStringList lines = Plain(port);
    QCOMPARE(lines.size(), 54);
    for (int i = 1; i <= 50; ++i) {
        QVERIFY2(lines[3 + i].startsWith(QString::number(i) + QLatin1Char(' ')),
                 qPrintable(lines[3 + i]));
        QVERIFY(lines[3 + i].endsWith(QString::number(40 + i)));
    }
}

void TestPrintout::PrintGrid_noTicketRows_nothingToPrintWithoutPrinter() {
    MemoryGrid grid = TicketGrid(0, 6, true);
    bool opened = false;

    PrintGrid(nullptr, grid, [&opened]() -> std::unique_ptr<PrinterPort> {
        opened = true;
        return std::make_unique<RecordingPort>();
    });

    QVERIFY(!opened);
    QCOMPARE(messages_.size(), 1);
    QCOMPARE(messages_[0].text, QStringLiteral("There's nothing to print. \r\nClick Start button "
                                               "to draw numbers and then try printing."));
    QCOMPARE(messages_[0].icon, QMessageBox::Critical);
    QCOMPARE(messages_[0].title, QStringLiteral("Lotto Kivora"));
}

void TestPrintout::PrintGrid_requestFails_oneMessageAndNothingAfter_data() {
    QTest::addColumn<int>("failing");

    QTest::newRow("no request fails") << 0;
    // Two tickets of 3 numbers: font, size, header, 2 line ends, 4 headings, 2 line ends,
    // 4 cells, the tab's line end, 4 cells, end of document.
    for (int n = 1; n <= 21; ++n) {
        QTest::addRow("request %d fails", n) << n;
    }
}

void TestPrintout::PrintGrid_requestFails_oneMessageAndNothingAfter() {
    QFETCH(int, failing);
    MemoryGrid grid = TicketGrid(2, 3, false);
    RecordingPort clean;
    PrintTickets(grid, clean);
    QCOMPARE(clean.Calls().size(), size_t{21});
    Seen seen;

    PrintGrid(nullptr, grid, [&seen, failing]() {
        auto port = std::make_unique<KeptPort>(seen);
        port->FailAtCall(failing);
        return port;
    });

    if (failing == 0) {
        QVERIFY(messages_.isEmpty());
        QCOMPARE(seen.calls, clean.Calls());
        QCOMPARE(seen.documentsEnded, 1);
        return;
    }
    QCOMPARE(messages_.size(), 1);
    QCOMPARE(messages_[0].text, kPrinterMessage);
    QCOMPARE(messages_[0].icon, QMessageBox::Critical);
    // Everything before the failing request went out, and nothing after it.
    const auto before =
        std::vector<std::string>(clean.Calls().begin(), clean.Calls().begin() + (failing - 1));
    QCOMPARE(seen.calls, before);
    QCOMPARE(seen.documentsEnded, 0);
}

void TestPrintout::PrintGrid_anyFailure_printerMessage_data() {
    QTest::addColumn<Failure>("failure");

    QTest::newRow("no default printer") << Failure::NoPrinter;
    QTest::newRow("opening throws a non-exception") << Failure::OpenThrowsInt;
    QTest::newRow("opening gives no port") << Failure::OpenGivesNothing;
    QTest::newRow("printing runs out of memory") << Failure::PortOutOfMemory;
    QTest::newRow("grid cell cannot be read") << Failure::GridUnreadable;
}

void TestPrintout::PrintGrid_anyFailure_printerMessage() {
    QFETCH(Failure, failure);
    UnreadableGrid unreadable(3, 4);
    MemoryGrid tickets = TicketGrid(2, 3, false);
    GridControl& grid =
        failure == Failure::GridUnreadable ? static_cast<GridControl&>(unreadable) : tickets;
    Seen seen;

    PrintGrid(nullptr, grid, [failure, &seen]() -> std::unique_ptr<PrinterPort> {
        switch (failure) {
        case Failure::NoPrinter:
            throw PrintError("no default printer");
        case Failure::OpenThrowsInt:
            throw 42;
        case Failure::OpenGivesNothing:
            return nullptr;
        case Failure::PortOutOfMemory:
            return std::make_unique<OutOfMemoryPort>();
        case Failure::GridUnreadable:
            break;
        }
        return std::make_unique<KeptPort>(seen);
    });

    QCOMPARE(messages_.size(), 1);
    QCOMPARE(messages_[0].text, kPrinterMessage);
    QCOMPARE(messages_[0].icon, QMessageBox::Critical);
    QCOMPARE(seen.documentsEnded, 0);
}

QTEST_MAIN(TestPrintout)
#include "tst_printout.moc"
