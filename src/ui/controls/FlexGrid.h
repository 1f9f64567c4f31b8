#pragma once

#include <functional>
#include <optional>

#include <QTableView>

#include "engine/GridControl.h"

class QAction;

namespace kivora {

class FlexGridModel;

// The ticket grid: one fixed heading row and one fixed label column, shown as the view's
// headers so that they stay in place while the tickets scroll. Everything the program writes
// or reads goes through the GridControl operations, addressed by a current cell; row 0 and
// column 0 are the fixed ones.
//
// Its context menu (right button, Menu key or Shift+F10) copies the tickets ("Copy tickets",
// also Ctrl+C anywhere in its window) or saves them to a file ("Save tickets as..."); both are
// off while the grid holds no tickets.
class FlexGrid : public QTableView, public GridControl {
    Q_OBJECT
public:
    // Created with the given design-time format string: "|" separates the columns, and a
    // leading "<", "^" or ">" aligns one left, centred or right. Each column is as wide as its
    // heading text.
    explicit FlexGrid(const QString& formatString, QWidget* parent = nullptr);
    ~FlexGrid() override;

    void Clear() override;
    int Rows() const override;
    void SetRows(int rows) override;
    int Cols() const override;
    void SetCols(int cols) override;
    void SetColWidth(int col, int twips) override;
    void SetColAlignment(int col, int alignment) override;
    void SetRow(int row) override;
    void SetCol(int col) override;
    std::string Text() const override;
    void SetText(const std::string& text) override;
    void SetCellBackColor(uint32_t bgr) override;

    // Reading back without moving the current cell.
    QString CellText(int row, int col) const;
    // Invalid when the cell has the default colour.
    QColor CellColor(int row, int col) const;
    // The pixel width of a column, at 15 twips to a pixel.
    int ColWidthPixels(int col) const;
    Qt::Alignment ColAlignmentFlags(int col) const;

    enum class FileFormat { Text, Csv };
    struct SaveTarget {
        QString path;
        FileFormat format = FileFormat::Text;
    };
    // Asks where to save; nothing when the user cancels. Tests replace the file dialog.
    using SaveDialog = std::function<std::optional<SaveTarget>(QWidget* parent)>;
    void SetSaveDialog(SaveDialog dialog);
    // The format a chosen file name asks for: its .csv or .txt ending, else the chosen filter.
    static FileFormat FormatFor(const QString& path, bool csvFilterChosen);

    bool HasTickets() const;
    // The drawn tickets as text, as Ctrl+C copies them: one ticket a line, its numbers
    // separated by tabs.
    QString TicketsAsText() const;
    // A heading line (Ticket, N1..., B), then one line per ticket with its label.
    QString TicketsAsCsv() const;

    // A check against a draw: marked[r][c] for ticket row r and number column c, and each
    // ticket's result in a "Match" column after the last. Both stay out of the cells that
    // copying, saving and printing read, and go with the next re-layout, Start or ClearCheck.
    void SetCheck(const QList<QList<bool>>& marked, const QStringList& match);
    void ClearCheck();
    bool Marked(int row, int col) const;
    // Empty without a check.
    QString MatchText(int row) const;
    FlexGridModel* Model() const { return model_; }

    QAction* CopyAction() const { return copyAction_; }
    QAction* SaveAction() const { return saveAction_; }
    void CopyTickets();
    // Asks for a file and writes the tickets to it whole, or reports why it could not.
    void SaveTicketsAs();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void ApplyWidth(int col);
    void UpdateActions();
    void OpenMenuFromKeyboard();

    FlexGridModel* model_;
    QAction* copyAction_;
    QAction* saveAction_;
    SaveDialog saveDialog_;
    int row_ = 0;
    int col_ = 0;
};

} // namespace kivora
