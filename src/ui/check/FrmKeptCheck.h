// Kept batches checked against a draw: their tickets in a grid of their own, with the check
// window over it, so the marks, the Match column and the tier counts are those of the main grid.
#pragma once

#include <functional>
#include <vector>

#include <QWidget>

#include "engine/GameRules.h"
#include "history/HistoryBatch.h"

namespace kivora {

class FlexGrid;

class FrmKeptCheck : public QWidget {
    Q_OBJECT
public:
    // The batches of the first batch's game are shown; the rest are left out and counted.
    FrmKeptCheck(const std::vector<HistoryBatch>& batches,
                 const std::function<GameRules(const HistoryBatch&)>& rulesFor, QWidget* parent);

    FlexGrid* Grid() const { return grid_; }

private:
    FlexGrid* grid_;
};

} // namespace kivora
