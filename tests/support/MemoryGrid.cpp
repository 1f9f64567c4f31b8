#include "MemoryGrid.h"

#include <stdexcept>

namespace kivora {

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
    std::erase_if(cells_, [cols](const auto& cell) { return cell.first.second >= cols; });
    columns_.resize(static_cast<size_t>(cols));
}

MemoryGrid::CellData& MemoryGrid::Current() {
    if (row_ < 0 || row_ >= rows_ || col_ < 0 || col_ >= Cols()) {
        throw std::out_of_range("no such cell");
    }
    return cells_.try_emplace({row_, col_}, std::string(), kDefaultColor).first->second;
}

MemoryGrid::CellData MemoryGrid::At(int row, int col) const {
    const auto it = cells_.find({row, col});
    return it == cells_.end() ? CellData(std::string(), kDefaultColor) : it->second;
}

} // namespace kivora
