#pragma once

#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "engine/DrawSettings.h"
#include "engine/Ticket.h"
#include "history/HistoryBatch.h"
#include "ui/history/FrmHistory.h"

class QAction;
class QWidget;

namespace kivora {

class FlexGrid;
class HistoryStore;

// The main window's side of the history: the grid's "History..." and "Keep history" entries,
// and the batches of each Start, written after the grid has been painted.
//
// Nothing is read at start-up: the store is opened at the first write or when the window is
// opened, and the "Keep history" choice is read the first time it matters. A failure to write
// gives one notice per run that leaves the window usable; the batch stays queued and goes with
// the next one, or at Exit.
class HistoryKeeper : public QObject {
    Q_OBJECT
public:
    // folder: where history.sqlite lives; empty for the user's data folder.
    HistoryKeeper(QWidget* window, FlexGrid* grid, const QString& folder = {});
    ~HistoryKeeper() override;

    // Takes a finished batch; it is written from the event loop, after what is queued before it
    // (the grid's painting).
    void Keep(const DrawSettings& settings, std::vector<Ticket> tickets);
    // Writes what is still queued, within the store's bounded waits; for Exit.
    void WriteBeforeExit();

    void ShowHistory();
    bool KeepHistory();
    // Turning it off asks whether to delete what is kept.
    void SetKeepHistory(bool keep);

    using Ask = std::function<bool(QWidget* parent, const QString& question)>;
    void SetAsk(Ask ask) { ask_ = std::move(ask); }

    QAction* HistoryAction() const { return historyAction_; }
    QAction* KeepAction() const { return keepAction_; }
    FrmHistory* Window() const { return frmHistory_; }
    HistoryStore& Store();

signals:
    // "Check against the draw..." in the history window, with the selected batches.
    void checkRequested(const std::vector<HistoryBatch>& batches);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Write(HistoryBatch batch);
    void Tell(const QString& text);

    QWidget* window_;
    QString folder_;
    std::unique_ptr<HistoryStore> store_;
    std::optional<bool> keep_;
    bool told_ = false;
    Ask ask_;
    QAction* historyAction_;
    QAction* keepAction_;
    QPointer<FrmHistory> frmHistory_;
};

} // namespace kivora
