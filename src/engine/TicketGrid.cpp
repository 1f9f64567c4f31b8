#include "TicketGrid.h"

#include <string>

#include "GridControl.h"
#include "Ticket.h"

namespace kivora {

void SetUpTicketGrid(GridControl& grid, int numbersPerTicket, bool withBonusColumn,
                     int bonusCount) {
    const bool twoBonus = withBonusColumn && bonusCount == 2;
    const int cols = numbersPerTicket + 1 + (twoBonus ? 2 : withBonusColumn ? 1 : 0);
    grid.SetCols(cols);
    grid.SetRows(1);
    for (int c = 0; c < cols; ++c) {
        grid.SetColWidth(c, kTicketColumnTwips);
        grid.SetColAlignment(c, flexAlignRightCenter);
    }
    grid.SetRow(0);
    for (int c = 1; c < cols; ++c) {
        grid.SetCol(c);
        grid.SetText("N" + std::to_string(c));
    }
    if (twoBonus) {
        grid.SetCol(cols - 2);
        grid.SetText("B1");
        grid.SetCol(cols - 1);
        grid.SetText("B2");
    } else if (withBonusColumn) {
        grid.SetCol(cols - 1);
        grid.SetText("B");
    }
}

void WriteTicketRow(GridControl& grid, int row, const Ticket& ticket) {
    grid.SetRow(row);
    grid.SetCol(0);
    grid.SetText(std::to_string(row));
    int c = 1;
    for (const int32_t number : ticket.numbers) {
        grid.SetCol(c++);
        grid.SetText(std::to_string(number));
    }
    for (const auto& bonus : {ticket.bonus, ticket.secondBonus}) {
        if (bonus) {
            grid.SetCol(c++);
            grid.SetCellBackColor(kBonusCellColor);
            grid.SetText(std::to_string(*bonus));
        }
    }
}

} // namespace kivora
