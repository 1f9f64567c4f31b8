#include "HistoryKeeper.h"

#include <QAction>
#include <QDir>
#include <QEvent>
#include <QMessageBox>

#include "common/AppIdentity.h"
#include "history/HistoryStore.h"
#include "settings/Registry.h"
#include "settings/StoredSettings.h"
#include "ui/common/MessageBox.h"
#include "ui/controls/FlexGrid.h"
#include "ui/history/FrmHistory.h"

namespace kivora {

namespace {

// 0 or missing: keep the history (the default); 1: keep none.
const QString kHistoryOff = QStringLiteral("HistoryOff");

} // namespace

HistoryKeeper::HistoryKeeper(QWidget* window, FlexGrid* grid, const QString& folder)
    : QObject(window), window_(window), folder_(folder),
      ask_([](QWidget* parent, const QString& question) {
          return QMessageBox::question(parent, AppTitle(), question,
                                       QMessageBox::Yes | QMessageBox::No,
                                       QMessageBox::No) == QMessageBox::Yes;
      }),
      historyAction_(new QAction(QStringLiteral("History\u2026"), window)),
      keepAction_(new QAction(QStringLiteral("Keep history"), window)) {
    historyAction_->setObjectName(QStringLiteral("actHistory"));
    historyAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_H));
    historyAction_->setShortcutContext(Qt::WindowShortcut);
    keepAction_->setObjectName(QStringLiteral("actKeepHistory"));
    keepAction_->setCheckable(true);
    keepAction_->setChecked(true);
    connect(historyAction_, &QAction::triggered, this, &HistoryKeeper::ShowHistory);
    connect(keepAction_, &QAction::triggered, this, &HistoryKeeper::SetKeepHistory);
    auto* separator = new QAction(window);
    separator->setSeparator(true);
    grid->addAction(separator);
    grid->addAction(historyAction_);
    grid->addAction(keepAction_);
    // Ctrl+H works anywhere in the window, not only on the grid.
    window->addAction(historyAction_);
    // The check mark is read from the store when the menu is about to show, not at start-up.
    // The mouse's request arrives at the viewport, the keyboard's at the grid.
    grid->installEventFilter(this);
    grid->viewport()->installEventFilter(this);
}

HistoryKeeper::~HistoryKeeper() = default;

HistoryStore& HistoryKeeper::Store() {
    if (!store_) {
        store_ = std::make_unique<HistoryStore>(folder_.isEmpty() ? HistoryStore::DefaultFolder()
                                                                  : folder_);
    }
    return *store_;
}

bool HistoryKeeper::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ContextMenu) {
        keepAction_->setChecked(KeepHistory());
    }
    return QObject::eventFilter(watched, event);
}

bool HistoryKeeper::KeepHistory() {
    if (!keep_) {
        keep_ = ReadDword(RootKey::CurrentUser, kSettingsKeyPath, kHistoryOff) == 0;
    }
    return *keep_;
}

void HistoryKeeper::SetKeepHistory(bool keep) {
    keep_ = keep;
    keepAction_->setChecked(keep);
    WriteDword(RootKey::CurrentUser, kSettingsKeyPath, kHistoryOff, keep ? 0 : 1);
    if (keep || !QFileInfo::exists(Store().FilePath())) {
        return;
    }
    if (ask_(window_, QStringLiteral("No more tickets will be kept. Delete the tickets kept "
                                     "so far as well?"))) {
        const HistoryStore::Outcome outcome = Store().DeleteAll();
        if (!outcome.ok) {
            MessageBox::Show(window_, outcome.error, QMessageBox::Critical);
        }
        if (frmHistory_) {
            frmHistory_->Reload();
        }
    }
}

void HistoryKeeper::Keep(const DrawSettings& settings, std::vector<Ticket> tickets) {
    QMetaObject::invokeMethod(
        this,
        [this, batch = HistoryBatch::Now(settings, std::move(tickets))]() mutable {
            Write(std::move(batch));
        },
        Qt::QueuedConnection);
}

void HistoryKeeper::Write(HistoryBatch batch) {
    if (!KeepHistory()) {
        return;
    }
    const HistoryStore::Outcome outcome = Store().Add(std::move(batch));
    if (!outcome.damagedPath.isEmpty()) {
        MessageBox::Notify(window_,
                           QStringLiteral("The ticket history was damaged. It was moved aside "
                                          "as %1, and a new one was started as %2.")
                               .arg(QDir::toNativeSeparators(outcome.damagedPath),
                                    QDir::toNativeSeparators(outcome.newPath)),
                           QMessageBox::Warning);
    }
    if (!outcome.ok) {
        Tell(outcome.error + QStringLiteral(" Your tickets are kept until it can be written."));
    }
    if (frmHistory_) {
        frmHistory_->Reload();
    }
}

void HistoryKeeper::Tell(const QString& text) {
    if (!std::exchange(told_, true)) {
        MessageBox::Notify(window_, text, QMessageBox::Warning);
    }
}

void HistoryKeeper::WriteBeforeExit() {
    if (store_ && store_->PendingCount() > 0) {
        store_->WritePending();
    }
}

void HistoryKeeper::ShowHistory() {
    if (!frmHistory_) {
        frmHistory_ = new FrmHistory(Store(), window_);
        frmHistory_->setAttribute(Qt::WA_DeleteOnClose);
        connect(frmHistory_, &FrmHistory::checkRequested, this, &HistoryKeeper::checkRequested);
    }
    frmHistory_->show();
    frmHistory_->raise();
    frmHistory_->activateWindow();
}

} // namespace kivora
