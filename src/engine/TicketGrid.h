#pragma once

#include <cstdint>

namespace kivora {

class GridControl;
struct Ticket;

inline constexpr int kTicketColumnTwips = 400;
// Light orange, red 255, green 192, blue 128, in the 0x00BBGGRR layout.
inline constexpr uint32_t kBonusCellColor = 0x0080C0FF;

// Columns and headings for the options; removes every ticket row. A game with two bonus numbers
// has two bonus columns, "B1" and "B2", in place of the one "B".
void SetUpTicketGrid(GridControl& grid, int numbersPerTicket, bool withBonusColumn,
                     int bonusCount = 1);

// Ticket i into row i: its label, its numbers and, if it has them, its coloured bonus cells.
void WriteTicketRow(GridControl& grid, int row, const Ticket& ticket);

} // namespace kivora
