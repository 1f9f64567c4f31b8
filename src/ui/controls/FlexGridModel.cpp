#include "FlexGridModel.h"

#include <QApplication>
#include <QFont>
#include <QPalette>

#include "ReadableColor.h"

namespace kivora {

FlexGridModel::FlexGridModel(QObject* parent) : QAbstractTableModel(parent) {}

int FlexGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : qMax(0, Rows() - 1);
}

int FlexGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : qMax(0, cols_ - 1) + (HasCheck() ? 1 : 0);
}

// Dark green under white, 7.5:1, whatever the palette: a mark must read on light and dark
// desktops alike and differ from the light-orange bonus cells.
QColor FlexGridModel::MarkBack() {
    return QColor(0x1B, 0x5E, 0x20);
}

QColor FlexGridModel::MarkText() {
    return QColor(Qt::white);
}

bool FlexGridModel::Marked(int row, int col) const {
    return row >= 0 && row < marked_.size() && col >= 0 && col < marked_[row].size() &&
           marked_[row][col];
}

QString FlexGridModel::MatchText(int row) const {
    return row >= 1 && row <= match_.size() ? match_[row - 1] : QString();
}

// Columns inserted and removed rather than a reset, so the view keeps its column widths.
void FlexGridModel::SetCheck(const QList<QList<bool>>& marked, const QStringList& match) {
    const int matchColumn = qMax(0, cols_ - 1);
    if (!HasCheck() && !match.isEmpty()) {
        beginInsertColumns({}, matchColumn, matchColumn);
        match_ = match;
        endInsertColumns();
    }
    marked_ = marked;
    match_ = match;
    if (Rows() > 1) {
        emit dataChanged(index(0, 0), index(Rows() - 2, matchColumn));
    }
}

void FlexGridModel::ClearCheck() {
    if (!HasCheck() && marked_.isEmpty()) {
        return;
    }
    if (HasCheck()) {
        const int matchColumn = qMax(0, cols_ - 1);
        beginRemoveColumns({}, matchColumn, matchColumn);
        match_.clear();
        endRemoveColumns();
    }
    marked_.clear();
    if (Rows() > 1 && cols_ > 1) {
        emit dataChanged(index(0, 0), index(Rows() - 2, cols_ - 2));
    }
    emit checkCleared();
}

QVariant FlexGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) {
        return {};
    }
    if (index.column() + 1 >= cols_) { // the Match column
        if (role == Qt::DisplayRole) {
            return MatchText(index.row() + 1);
        }
        if (role == Qt::BackgroundRole) {
            return QApplication::palette().color(QPalette::Base);
        }
        return role == Qt::TextAlignmentRole ? QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter)
                                             : QVariant();
    }
    const Cell& cell = At(index.row() + 1, index.column() + 1);
    if (Marked(index.row() + 1, index.column() + 1)) {
        switch (role) {
        case Qt::BackgroundRole:
            return MarkBack();
        case Qt::ForegroundRole:
            return MarkText();
        case Qt::FontRole: {
            QFont font = QApplication::font();
            font.setBold(true);
            return font;
        }
        default:
            break;
        }
    }
    switch (role) {
    case Qt::DisplayRole:
        return cell.text;
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Alignment(index.column() + 1));
    case Qt::BackgroundRole:
        // Cells paint their own background: the view's own shows only beyond the last row.
        return cell.back.isValid() ? cell.back : QApplication::palette().color(QPalette::Base);
    case Qt::ForegroundRole:
        // A fixed cell colour (the light-orange bonus) under a dark palette would take the
        // palette's light text.
        return cell.back.isValid()
                   ? QVariant(ReadableOn(QApplication::palette().color(QPalette::Text), cell.back))
                   : QVariant();
    default:
        return {};
    }
}

QVariant FlexGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    const int row = orientation == Qt::Horizontal ? 0 : section + 1;
    const int col = orientation == Qt::Horizontal ? section + 1 : 0;
    if (HasCheck() && orientation == Qt::Horizontal && col == cols_) {
        return role == Qt::DisplayRole ? QVariant(QStringLiteral("Match")) : QVariant();
    }
    if (row >= Rows() || col >= cols_) {
        return {};
    }
    switch (role) {
    case Qt::DisplayRole:
        return At(row, col).text;
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Alignment(col));
    case Qt::BackgroundRole:
        return At(row, col).back.isValid() ? QVariant(At(row, col).back) : QVariant();
    default:
        return {};
    }
}

Qt::ItemFlags FlexGridModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

void FlexGridModel::Resize(int rows, int cols) {
    ClearCheck();
    beginResetModel();
    rows = qMax(1, rows);
    cols_ = qMax(1, cols);
    cells_.resize(rows);
    for (auto& row : cells_) {
        row.resize(cols_);
    }
    alignments_.resize(cols_, Qt::AlignLeft | Qt::AlignVCenter);
    widths_.resize(cols_, 0);
    endResetModel();
}

void FlexGridModel::ClearCells() {
    ClearCheck();
    beginResetModel();
    for (auto& row : cells_) {
        for (auto& cell : row) {
            cell = Cell{};
        }
    }
    endResetModel();
}

const FlexGridModel::Cell& FlexGridModel::At(int row, int col) const {
    static const Cell empty;
    if (row < 0 || row >= Rows() || col < 0 || col >= cols_) {
        return empty;
    }
    return cells_[row][col];
}

void FlexGridModel::SetText(int row, int col, const QString& text) {
    if (row < 0 || row >= Rows() || col < 0 || col >= cols_) {
        return;
    }
    cells_[row][col].text = text;
    CellChanged(row, col);
}

void FlexGridModel::SetBack(int row, int col, const QColor& color) {
    if (row < 0 || row >= Rows() || col < 0 || col >= cols_) {
        return;
    }
    cells_[row][col].back = color;
    CellChanged(row, col);
}

void FlexGridModel::SetAlignment(int col, Qt::Alignment alignment) {
    if (col < 0 || col >= cols_) {
        return;
    }
    alignments_[col] = alignment;
    if (col == 0) {
        emit headerDataChanged(Qt::Vertical, 0, qMax(0, Rows() - 2));
    } else {
        emit headerDataChanged(Qt::Horizontal, col - 1, col - 1);
        if (Rows() > 1) {
            emit dataChanged(index(0, col - 1), index(Rows() - 2, col - 1));
        }
    }
}

Qt::Alignment FlexGridModel::Alignment(int col) const {
    return col >= 0 && col < cols_ ? alignments_[col] : Qt::AlignLeft | Qt::AlignVCenter;
}

int FlexGridModel::WidthTwips(int col) const {
    return col >= 0 && col < cols_ ? widths_[col] : 0;
}

void FlexGridModel::SetWidthTwips(int col, int twips) {
    if (col >= 0 && col < cols_) {
        widths_[col] = twips;
    }
}

void FlexGridModel::CellChanged(int row, int col) {
    if (row == 0 && col > 0) {
        emit headerDataChanged(Qt::Horizontal, col - 1, col - 1);
    } else if (col == 0 && row > 0) {
        emit headerDataChanged(Qt::Vertical, row - 1, row - 1);
    } else if (row > 0 && col > 0) {
        const QModelIndex i = index(row - 1, col - 1);
        emit dataChanged(i, i);
    }
}

} // namespace kivora
