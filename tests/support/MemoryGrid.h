#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "engine/GridControl.h"

namespace kivora {

// A grid held in memory, with the same rules as the window's grid. For tests and tools.
class MemoryGrid : public GridControl {
public:
    MemoryGrid(int rows = 1, int cols = 9);

    void Clear() override;
    int Rows() const override { return rows_; }
    void SetRows(int rows) override;
    int Cols() const override { return cols_; }
    void SetCols(int cols) override;
    void SetColWidth(int col, int twips) override;
    void SetColAlignment(int col, int alignment) override;
    void SetRow(int row) override { row_ = row; }
    void SetCol(int col) override { col_ = col; }
    std::string Text() const override;
    void SetText(const std::string& text) override;
    void SetCellBackColor(uint32_t bgr) override;

    // Reading back without moving the current cell.
    std::string Cell(int row, int col) const;
    // 0xFFFFFFFF for a cell with the default colour.
    uint32_t CellColor(int row, int col) const;
    int ColWidth(int col) const;
    int ColAlignment(int col) const;

    static constexpr uint32_t kDefaultColor = 0xFFFFFFFF;

private:
    struct CellData {
        std::string text;
        uint32_t color = kDefaultColor;
    };
    bool Valid(int row, int col) const {
        return row >= 0 && row < rows_ && col >= 0 && col < cols_;
    }

    int rows_;
    int cols_;
    int row_ = 0;
    int col_ = 0;
    std::map<std::pair<int, int>, CellData> cells_;
    std::vector<int> widths_;
    std::vector<int> alignments_;
};

} // namespace kivora
