#pragma once

#include <QAbstractTableModel>

#include <vector>

#include "history/HistoryBatch.h"

namespace kivora {

// The kept batches as the history window lists them, newest first: date and time in the
// user's format, game, tickets and basis. Holds the batches without their tickets.
class HistoryListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Time, Game, Tickets, Basis, ColumnCount };

    explicit HistoryListModel(QObject* parent = nullptr);

    void SetBatches(std::vector<HistoryBatch> batches);
    const HistoryBatch& Batch(int row) const { return batches_[static_cast<size_t>(row)]; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::vector<HistoryBatch> batches_;
};

} // namespace kivora
