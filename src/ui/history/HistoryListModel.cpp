#include "HistoryListModel.h"

#include <QLocale>

namespace kivora {

HistoryListModel::HistoryListModel(QObject* parent) : QAbstractTableModel(parent) {}

void HistoryListModel::SetBatches(std::vector<HistoryBatch> batches) {
    beginResetModel();
    batches_ = std::move(batches);
    endResetModel();
}

int HistoryListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(batches_.size());
}

int HistoryListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant HistoryListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    const HistoryBatch& batch = Batch(index.row());
    if (role == Qt::TextAlignmentRole && index.column() == Tickets) {
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    }
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole) {
        return {};
    }
    switch (index.column()) {
    case Time:
        return QLocale().toString(batch.drawnUtc.toLocalTime(), QLocale::ShortFormat);
    case Game:
        return batch.GameText();
    case Tickets:
        return batch.settings.ticketCount;
    case Basis:
        return batch.BasisText();
    default:
        return {};
    }
}

QVariant HistoryListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    static const char* const kHeadings[] = {"Date and time", "Game", "Tickets", "Basis"};
    return section >= 0 && section < ColumnCount ? QString::fromLatin1(kHeadings[section])
                                                 : QVariant();
}

} // namespace kivora
