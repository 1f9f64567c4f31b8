#pragma once

#include <cstdint>

namespace kivora {

class GridControl;
struct Ticket;

inline constexpr int kTicketColumnTwips = 400;
// Light orange, red 255, green 192, blue 128, in the 0x00BBGGRR layout.
inline constexpr uint32_t kBonusCellColor = 0x0080C0FF;

// Columns and headings for the options; removes every ticket row.
void SetUpTicketGrid(GridControl& grid, int numbersPerTicket, bool withBonusColumn);

// Ticket i into row i: its label, its numbers and, if it has one, its coloured bonus cell.
void WriteTicketRow(GridControl& grid, int row, const Ticket& ticket);

} // namespace kivora
