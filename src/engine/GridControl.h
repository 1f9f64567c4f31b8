#pragma once

#include <cstdint>
#include <string>

namespace kivora {

// The ticket grid as the program uses it: a table of text cells with one fixed heading row and
// one fixed label column, addressed through a current cell. Widths are in twips (1/1440 inch);
// colours are 0x00BBGGRR. The window implements it over a Qt table; tests use MemoryGrid.
class GridControl {
public:
    virtual ~GridControl() = default;

    // Empties every cell's text and formatting; the counts stay.
    virtual void Clear() = 0;
    virtual int Rows() const = 0;
    virtual void SetRows(int rows) = 0;
    virtual int Cols() const = 0;
    virtual void SetCols(int cols) = 0;
    virtual void SetColWidth(int col, int twips) = 0;
    virtual void SetColAlignment(int col, int alignment) = 0;
    virtual void SetRow(int row) = 0;
    virtual void SetCol(int col) = 0;
    virtual std::string Text() const = 0;
    virtual void SetText(const std::string& text) = 0;
    // Colours the current cell only.
    virtual void SetCellBackColor(uint32_t bgr) = 0;
};

// Right-aligned and vertically centred.
inline constexpr int flexAlignRightCenter = 7;

} // namespace kivora
