#include "MemoryGrid.h"

#include <stdexcept>

namespace kivora {

MemoryGrid::MemoryGrid(int rows, int cols) : rows_(rows), cols_(cols) {
    widths_.assign(static_cast<size_t>(cols_), 0);
    alignments_.assign(static_cast<size_t>(cols_), 0);
}

void MemoryGrid::Clear() {
    cells_.clear();
}

void MemoryGrid::SetRows(int rows) {
    if (rows < 1) {
        throw std::out_of_range("a grid keeps its heading row");
    }
    rows_ = rows;
    std::erase_if(cells_, [rows](const auto& cell) { return cell.first.first >= rows; });
}

void MemoryGrid::SetCols(int cols) {
    if (cols < 1) {
        throw std::out_of_range("a grid keeps its label column");
    }
    cols_ = cols;
    std::erase_if(cells_, [cols](const auto& cell) { return cell.first.second >= cols; });
    widths_.resize(static_cast<size_t>(cols), 0);
    alignments_.resize(static_cast<size_t>(cols), 0);
}

void MemoryGrid::SetColWidth(int col, int twips) {
    if (col < 0 || col >= cols_) {
        throw std::out_of_range("no such column");
    }
    widths_[static_cast<size_t>(col)] = twips;
}

void MemoryGrid::SetColAlignment(int col, int alignment) {
    if (col < 0 || col >= cols_) {
        throw std::out_of_range("no such column");
    }
    alignments_[static_cast<size_t>(col)] = alignment;
}

std::string MemoryGrid::Text() const {
    return Cell(row_, col_);
}

void MemoryGrid::SetText(const std::string& text) {
    if (!Valid(row_, col_)) {
        throw std::out_of_range("no such cell");
    }
    cells_[{row_, col_}].text = text;
}

void MemoryGrid::SetCellBackColor(uint32_t bgr) {
    if (!Valid(row_, col_)) {
        throw std::out_of_range("no such cell");
    }
    cells_[{row_, col_}].color = bgr;
}

std::string MemoryGrid::Cell(int row, int col) const {
    const auto it = cells_.find({row, col});
    return it == cells_.end() ? std::string() : it->second.text;
}

uint32_t MemoryGrid::CellColor(int row, int col) const {
    const auto it = cells_.find({row, col});
    return it == cells_.end() ? kDefaultColor : it->second.color;
}

int MemoryGrid::ColWidth(int col) const {
    return widths_.at(static_cast<size_t>(col));
}

int MemoryGrid::ColAlignment(int col) const {
    return alignments_.at(static_cast<size_t>(col));
}

} // namespace kivora
