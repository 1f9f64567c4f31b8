#include "PrinterPort.h"

#include <algorithm>

namespace kivora {

namespace {
// Proportional widths leave fractions; a position this close to a tab column stands at it.
constexpr double kSameColumn = 1e-6;
} // namespace

void PrinterPort::SetFontName(const std::string& name) {
    DoSetFontName(name);
}

void PrinterPort::SetFontSize(double points) {
    DoSetFontSize(points);
}

void PrinterPort::PrintAt(int column, const std::string& text) {
    const double target = std::max(column, 1);
    if (position_ > target + kSameColumn) {
        DoNewLine();
    }
    // Before the column, at it, or at the start of a fresh line: the text starts at the column.
    position_ = target;
    DoText(position_, text);
    position_ += Measure(text);
}

void PrinterPort::EndLine() {
    DoNewLine();
    position_ = 1.0;
}

void PrinterPort::EndDoc() {
    DoEndDoc();
    position_ = 1.0;
}

} // namespace kivora
