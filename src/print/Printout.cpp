#include "Printout.h"

#include <array>
#include <string>

#include <QString>

#include "PrintError.h"
#include "PrintUnconfirmed.h"
#include "PrinterPort.h"
#include "common/AppIdentity.h"
#include "engine/GridControl.h"

namespace kivora {

namespace {

// Grid columns 1 to 8 sit at 10, 15, ... 45; column 0 at the margin.
constexpr std::array<int, 9> kTabColumns{0, 10, 15, 20, 25, 30, 35, 40, 45};

// "Lotto Kivora 2.6 by Brandell": the same title and version the windows show.
std::string HeaderLine() {
    return (TitleVersion() + QStringLiteral(" by ") + AppMaker()).toStdString();
}

void PrintCell(GridControl& grid, PrinterPort& port, int row, int col) {
    grid.SetRow(row);
    grid.SetCol(col);
    port.PrintAt(kTabColumns[static_cast<size_t>(col)], grid.Text());
}

} // namespace

void PrintTickets(GridControl& grid, PrinterPort& port) {
    port.SetFontName("MS Sans Serif");
    port.SetFontSize(10);
    port.PrintAt(0, HeaderLine());
    port.EndLine();
    port.EndLine();

    const int rows = grid.Rows();
    const int cols = grid.Cols();
    // Only 5 to 9 columns print past the fourth; any other count prints columns 0 to 3.
    const int printedCols = cols >= 5 && cols <= 9 ? cols : 4;
    for (int r = 0; r < rows; ++r) {
        if (r == 1) {
            // Ends the heading row, then one blank line before the first ticket. Later rows
            // need no line end: the tab back to the margin makes it.
            port.EndLine();
            port.EndLine();
        }
        for (int c = 0; c < printedCols; ++c) {
            PrintCell(grid, port, r, c);
        }
    }
    port.EndDoc();
}

PrintResult PrintGrid(GridControl& grid, const PrinterFactory& openPrinter) {
    if (grid.Rows() < 2) {
        return PrintResult::NothingToPrint;
    }
    try {
        const std::unique_ptr<PrinterPort> port = openPrinter();
        if (!port) {
            throw PrintError("no printer");
        }
        PrintTickets(grid, *port);
        return port->Held() ? PrintResult::Held : PrintResult::Printed;
    } catch (const PrintUnconfirmed&) {
        return PrintResult::Unconfirmed;
    } catch (...) {
        // One handler for every other failure: a half-written document is dropped with its port.
        return PrintResult::Failed;
    }
}

} // namespace kivora
