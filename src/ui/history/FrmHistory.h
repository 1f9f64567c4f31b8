#pragma once

#include <QDate>
#include <QWidget>

#include <functional>
#include <optional>
#include <vector>

#include "history/HistoryBatch.h"

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QPushButton;
class QTableView;

namespace kivora {

class FlexGrid;
class HistoryListModel;
class HistoryStore;

// The kept batches, newest first, in a window that leaves the main one usable. A search by
// date range and game narrows the list; the selected batch's tickets show in a grid like the
// main one, which copies and saves them as the main grid does. Several batches can be
// selected for checking or deleting.
class FrmHistory : public QWidget {
    Q_OBJECT
public:
    FrmHistory(HistoryStore& store, QWidget* parent = nullptr);
    ~FrmHistory() override;

    // Reads the list again from the store.
    void Reload();

    // Yes or no to a question; tests answer it themselves.
    using Ask = std::function<bool(QWidget* parent, const QString& question)>;
    void SetAsk(Ask ask) { ask_ = std::move(ask); }
    // The day before which everything goes; nothing when the user cancels.
    using AskDate = std::function<std::optional<QDate>(QWidget* parent)>;
    void SetAskDate(AskDate askDate) { askDate_ = std::move(askDate); }

    FlexGrid* Tickets() const { return flxTickets_; }
    QTableView* List() const { return lstBatches_; }
    // The selected batches with their tickets, newest first.
    std::vector<HistoryBatch> SelectedBatches() const;

    void CheckSelected();
    void DeleteSelected();
    void DeleteOlder();

signals:
    // "Check against the draw..." with the selected batches.
    void checkRequested(const std::vector<HistoryBatch>& batches);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    void ApplyFilter();
    void ShowCurrentBatch();
    void UpdateButtons();
    void Report(const QString& error);

    HistoryStore& store_;
    std::vector<HistoryBatch> all_; // every kept batch, without tickets
    Ask ask_;
    AskDate askDate_;

    QCheckBox* chkFrom_ = nullptr;
    QDateEdit* dtFrom_ = nullptr;
    QCheckBox* chkUntil_ = nullptr;
    QDateEdit* dtUntil_ = nullptr;
    QComboBox* cboGame_ = nullptr;
    QTableView* lstBatches_ = nullptr;
    HistoryListModel* model_ = nullptr;
    FlexGrid* flxTickets_ = nullptr;
    QLabel* lblStatus_ = nullptr;
    QPushButton* cmdCheck_ = nullptr;
    QPushButton* cmdCopy_ = nullptr;
    QPushButton* cmdSave_ = nullptr;
    QPushButton* cmdDelete_ = nullptr;
    QPushButton* cmdDeleteOlder_ = nullptr;
    QPushButton* cmdClose_ = nullptr;
};

} // namespace kivora
