#pragma once

#include <functional>
#include <memory>

namespace kivora {

class GridControl;
class PrinterPort;

// Opens the printer for one printout; may throw (a PrintError when there is none).
using PrinterFactory = std::function<std::unique_ptr<PrinterPort>()>;

// Writes the grid as the ticket sheet: the header line, a blank line, the heading row, a blank
// line and one line per ticket, every cell at its tab column; then ends the document. It handles
// no failure: the first failing request, of the grid or the printer, leaves at once. The grid is
// read through its current cell, which is why it is not const.
void PrintTickets(GridControl& grid, PrinterPort& port);

enum class PrintResult {
    NothingToPrint,
    Failed,
    Printed,
    Held,        // the printer took the document but keeps it waiting
    Unconfirmed, // the document went out whole but the printer did not say whether it took it
};

// The Print action without its messages: with no ticket rows it leaves the printer alone;
// otherwise it opens the printer and prints, and any failure on the way is Failed. The window
// tells the user.
PrintResult PrintGrid(GridControl& grid, const PrinterFactory& openPrinter);

} // namespace kivora
