#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "engine/GridControl.h"

namespace kivora {

// A grid held in memory, with the same rules as the window's grid: a cell or column outside
// the grid throws. For tests and tools.
class MemoryGrid : public GridControl {
public:
    MemoryGrid(int rows = 1, int cols = 9) : rows_(rows) { SetCols(cols); }

    void Clear() override { cells_.clear(); }
    int Rows() const override { return rows_; }
    void SetRows(int rows) override;
    int Cols() const override { return static_cast<int>(columns_.size()); }
    void SetCols(int cols) override;
    void SetColWidth(int col, int twips) override { Column(col).first = twips; }
    void SetColAlignment(int col, int alignment) override { Column(col).second = alignment; }
    void SetRow(int row) override { row_ = row; }
    void SetCol(int col) override { col_ = col; }
    std::string Text() const override { return Cell(row_, col_); }
    void SetText(const std::string& text) override { Current().first = text; }
    void SetCellBackColor(uint32_t bgr) override { Current().second = bgr; }

    // Reading back without moving the current cell; kDefaultColor for the default colour.
    std::string Cell(int row, int col) const { return At(row, col).first; }
    uint32_t CellColor(int row, int col) const { return At(row, col).second; }
    int ColWidth(int col) const { return columns_.at(static_cast<size_t>(col)).first; }
    int ColAlignment(int col) const { return columns_.at(static_cast<size_t>(col)).second; }

    static constexpr uint32_t kDefaultColor = 0xFFFFFFFF;

private:
    using CellData = std::pair<std::string, uint32_t>; // text, colour
    std::pair<int, int>& Column(int col) { return columns_.at(static_cast<size_t>(col)); }
    CellData& Current();
    CellData At(int row, int col) const;

    int rows_;
    int row_ = 0;
    int col_ = 0;
    std::map<std::pair<int, int>, CellData> cells_;
    std::vector<std::pair<int, int>> columns_; // width, alignment
};

} // namespace kivora
