#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QList>
#include <QString>
#include <QStringList>

namespace kivora {

// The grid's cells, fixed ones included. The view sees rows 1.. and columns 1.. as its data
// and the fixed row and column as its headers.
class FlexGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    struct Cell {
        QString text;
        QColor back; // invalid: the default colour
    };

    explicit FlexGridModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    int Rows() const { return static_cast<int>(cells_.size()); }
    int Cols() const { return cols_; }
    void Resize(int rows, int cols);
    void ClearCells();

    const Cell& At(int row, int col) const;
    void SetText(int row, int col, const QString& text);
    void SetBack(int row, int col, const QColor& color);
    void SetAlignment(int col, Qt::Alignment alignment);
    Qt::Alignment Alignment(int col) const;
    int WidthTwips(int col) const;
    void SetWidthTwips(int col, int twips);

    // A check's marks: the marked cells are drawn in the mark colours and bold, and a column
    // headed "Match" follows the last one. Neither is a cell: Cols() and At() do not see them,
    // so copying, saving and printing never do. Resizing or clearing removes both.
    void SetCheck(const QList<QList<bool>>& marked, const QStringList& match);
    void ClearCheck();
    bool HasCheck() const { return !match_.isEmpty(); }
    bool Marked(int row, int col) const;
    QString MatchText(int row) const;
    static QColor MarkBack();
    static QColor MarkText();

signals:
    void checkCleared();

private:
    void CellChanged(int row, int col);

    QList<QList<Cell>> cells_;
    QList<Qt::Alignment> alignments_;
    QList<int> widths_;
    int cols_ = 0;
    QList<QList<bool>> marked_; // [row][col], ticket rows and number columns
    QStringList match_;         // [row - 1]
};

} // namespace kivora
