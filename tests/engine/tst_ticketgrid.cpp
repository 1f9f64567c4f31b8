#include <QTest>

#include "EngineTestSupport.h"
#include "engine/MemoryGrid.h"
#include "engine/TicketDrawer.h"
#include "engine/TicketGrid.h"

using namespace kivora;
using namespace kivora::test;

Q_DECLARE_METATYPE(DrawSettings)

namespace {

// The grid side of a Start: clear, lay out, one row per ticket, write the tickets in order.
std::vector<Ticket> Start(MemoryGrid& grid, const DrawSettings& settings) {
    Generator generator = Generator::FromSeed(3);
    const TickingClock clock;
    const PlainSeedLocale locale;
    const std::vector<Ticket> tickets = TicketDrawer(generator, clock, locale).Draw(settings);
    grid.Clear();
    SetUpTicketGrid(grid, settings.numbersPerTicket, settings.HasBonus());
    grid.SetRows(settings.ticketCount + 1);
    for (int i = 1; i <= settings.ticketCount; ++i) {
        WriteTicketRow(grid, i, tickets[static_cast<size_t>(i - 1)]);
    }
    return tickets;
}

int ColouredCells(const MemoryGrid& grid) {
    int coloured = 0;
    for (int r = 0; r < grid.Rows(); ++r) {
        for (int c = 0; c < grid.Cols(); ++c) {
            coloured += grid.CellColor(r, c) != MemoryGrid::kDefaultColor;
        }
    }
    return coloured;
}

std::string Heading(int col) { // "N" + to_string trips GCC 12's -Wrestrict
    return std::string("N").append(std::to_string(col));
}

DrawSettings Lotto(int tickets, int numbers, bool bonus) {
    DrawSettings s = LottoSettings(49, numbers);
    s.ticketCount = tickets;
    s.bonusPlayed = bonus;
    s.highestBonus = 26;
    return s;
}

} // namespace

class TicketGridTest : public QObject {
    Q_OBJECT

private slots:
    void setUpTicketGrid_numbersAndBonus_laysOutColumnsAndHeadings_data() {
        QTest::addColumn<int>("numbers");
        QTest::addColumn<bool>("bonus");
        for (int n = 3; n <= 7; ++n) {
            QTest::addRow("%d numbers", n) << n << false;
            QTest::addRow("%d numbers with bonus", n) << n << true;
        }
    }

    void setUpTicketGrid_numbersAndBonus_laysOutColumnsAndHeadings() {
        QFETCH(int, numbers);
        QFETCH(bool, bonus);

        MemoryGrid grid;
        Start(grid, Lotto(11, 7, true));
        SetUpTicketGrid(grid, numbers, bonus); // a re-layout removes the tickets
        QCOMPARE(grid.Rows(), 1);
        QCOMPARE(grid.Cols(), numbers + (bonus ? 2 : 1));
        grid.SetRows(12);
        for (int c = 0; c < grid.Cols(); ++c) {
            QCOMPARE(grid.ColWidth(c), 400);
            QCOMPARE(grid.ColAlignment(c), 7);
            QCOMPARE(grid.Cell(0, c), c == 0                          ? ""
                                      : bonus && c == grid.Cols() - 1 ? "B"
                                                                      : Heading(c));
            QCOMPARE(grid.Cell(1, c), std::string()); // the old tickets do not come back
        }
        QCOMPARE(ColouredCells(grid), 0);
    }

    void start_settings_oneRowPerTicketAndOnlyBonusCellsColoured_data() {
        QTest::addColumn<DrawSettings>("settings");
        QTest::addColumn<int>("cols");

        QTest::newRow("lotto 6 no bonus 5 tickets") << Lotto(5, 6, false) << 7;
        QTest::newRow("lotto 6 bonus 50 tickets") << Lotto(50, 6, true) << 8;
        QTest::newRow("lotto 7 bonus 50 tickets") << Lotto(50, 7, true) << 9;
        DrawSettings daily = DailySettings(3);
        daily.ticketCount = 10;
        daily.bonusPlayed = true;
        QTest::newRow("daily 3 bonus list yes") << daily << 4;
    }

    void start_settings_oneRowPerTicketAndOnlyBonusCellsColoured() {
        QFETCH(DrawSettings, settings);
        QFETCH(int, cols);

        MemoryGrid grid;
        const std::vector<Ticket> tickets = Start(grid, settings);
        QCOMPARE(grid.Rows(), settings.ticketCount + 1);
        QCOMPARE(grid.Cols(), cols);
        for (int row = 1; row < grid.Rows(); ++row) {
            const Ticket& t = tickets[static_cast<size_t>(row - 1)];
            QCOMPARE(grid.Cell(row, 0), std::to_string(row));
            for (int c = 1; c <= settings.numbersPerTicket; ++c) {
                QCOMPARE(grid.Cell(row, c), std::to_string(t.numbers[static_cast<size_t>(c - 1)]));
            }
            if (settings.HasBonus()) {
                QCOMPARE(grid.Cell(row, cols - 1), std::to_string(*t.bonus));
                QCOMPARE(grid.CellColor(row, cols - 1), kBonusCellColor);
            }
        }
        QCOMPARE(ColouredCells(grid), settings.HasBonus() ? settings.ticketCount : 0);
    }

    void writeTicketRow_smallNumbers_plainDecimalText() {
        MemoryGrid grid;
        SetUpTicketGrid(grid, 3, true);
        grid.SetRows(51);
        WriteTicketRow(grid, 50, Ticket{{0, 5, 12}, 7});
        for (const auto& [col, text] :
             {std::pair(0, "50"), {1, "0"}, {2, "5"}, {3, "12"}, {4, "7"}}) {
            QCOMPARE(grid.Cell(50, col), text);
        }
        QCOMPARE(kBonusCellColor, 0x0080C0FFu); // red 255, green 192, blue 128 as 0x00BBGGRR
    }

    // 6 numbers with a bonus and 7 without have the same columns: only the clearing can
    // remove the colour.
    void start_withoutBonusAfterOneWithBonus_leavesNoColour() {
        MemoryGrid grid;
        Start(grid, Lotto(50, 6, true));
        QCOMPARE(ColouredCells(grid), 50);
        Start(grid, Lotto(50, 7, false));
        QCOMPARE(grid.Cols(), 8);
        QCOMPARE(ColouredCells(grid), 0);
    }
};

QTEST_APPLESS_MAIN(TicketGridTest)
#include "tst_ticketgrid.moc"
