#include "FrmHistory.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QSet>
#include <QTableView>
#include <QVBoxLayout>

#include "common/AppIdentity.h"
#include "engine/TicketGrid.h"
#include "history/HistoryStore.h"
#include "ui/common/MessageBox.h"
#include "ui/controls/FlexGrid.h"
#include "ui/history/HistoryListModel.h"

namespace kivora {

namespace {

const char* const kGridFormat =
    "<        |>    1 |>    2 |>    3 |>    4 |>    5 |>    6 |>    7 |>     B";

bool AskYesNo(QWidget* parent, const QString& question) {
    return QMessageBox::question(parent, AppTitle(), question, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

std::optional<QDate> AskDay(QWidget* parent) {
    QDialog dialog(parent);
    dialog.setWindowTitle(QStringLiteral("Delete everything older than"));
    auto* date = new QDateEdit(QDate::currentDate().addMonths(-1), &dialog);
    date->setCalendarPopup(true);
    date->setAccessibleName(QStringLiteral("Delete every batch drawn before this day"));
    auto* label = new QLabel(QStringLiteral("Delete every batch drawn &before:"), &dialog);
    label->setBuddy(date);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(label);
    layout->addWidget(date);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return date->date();
}

QString Batches(qsizetype count) {
    return count == 1 ? QStringLiteral("1 batch") : QStringLiteral("%1 batches").arg(count);
}

} // namespace

FrmHistory::FrmHistory(HistoryStore& store, QWidget* parent)
    : QWidget(parent, Qt::Window), store_(store), ask_(AskYesNo), askDate_(AskDay) {
    setObjectName(QStringLiteral("frmHistory"));
    setWindowTitle(QStringLiteral("Ticket history - ") + AppTitle());
    setAccessibleName(QStringLiteral("Ticket history"));
    BuildControls();
    resize(780, 440);
    Reload();
}

FrmHistory::~FrmHistory() = default;

void FrmHistory::BuildControls() {
    const auto button = [this](const char* name, const QString& text) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        b->setAccessibleName(QString(text).remove(QLatin1Char('&')));
        return b;
    };
    const auto dateBox = [this](QCheckBox*& check, QDateEdit*& date, const char* checkName,
                                const char* dateName, const QString& text) {
        check = new QCheckBox(text, this);
        check->setObjectName(QLatin1String(checkName));
        date = new QDateEdit(QDate::currentDate(), this);
        date->setObjectName(QLatin1String(dateName));
        date->setCalendarPopup(true);
        date->setEnabled(false);
        date->setAccessibleName(QString(text).remove(QLatin1Char('&')).remove(QLatin1Char(':')));
        connect(check, &QCheckBox::toggled, date, &QWidget::setEnabled);
        connect(check, &QCheckBox::toggled, this, &FrmHistory::ApplyFilter);
        connect(date, &QDateEdit::dateChanged, this, &FrmHistory::ApplyFilter);
    };
    dateBox(chkFrom_, dtFrom_, "chkFrom", "dtFrom", QStringLiteral("&From:"));
    dateBox(chkUntil_, dtUntil_, "chkUntil", "dtUntil", QStringLiteral("&Until:"));
    auto* lblGame = new QLabel(QStringLiteral("&Game:"), this);
    cboGame_ = new QComboBox(this);
    cboGame_->setObjectName(QStringLiteral("cboGame"));
    cboGame_->setAccessibleName(QStringLiteral("Game"));
    cboGame_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    lblGame->setBuddy(cboGame_);
    connect(cboGame_, &QComboBox::currentIndexChanged, this, &FrmHistory::ApplyFilter);

    model_ = new HistoryListModel(this);
    lstBatches_ = new QTableView(this);
    lstBatches_->setObjectName(QStringLiteral("lstBatches"));
    lstBatches_->setAccessibleName(QStringLiteral("Kept batches"));
    lstBatches_->setModel(model_);
    lstBatches_->setSelectionBehavior(QAbstractItemView::SelectRows);
    lstBatches_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lstBatches_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstBatches_->setTabKeyNavigation(false);
    lstBatches_->verticalHeader()->hide();
    lstBatches_->horizontalHeader()->setStretchLastSection(true);
    // Column widths from the first rows only: measuring 10,000 rows would hold up the opening.
    lstBatches_->horizontalHeader()->setResizeContentsPrecision(100);
    lstBatches_->installEventFilter(this);
    connect(lstBatches_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &FrmHistory::ShowCurrentBatch);
    connect(lstBatches_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &FrmHistory::UpdateButtons);

    flxTickets_ = new FlexGrid(QLatin1String(kGridFormat), this);
    flxTickets_->setObjectName(QStringLiteral("flxTickets"));
    flxTickets_->setAccessibleName(QStringLiteral("Tickets of the batch"));
    flxTickets_->setMinimumWidth(280);
    SetUpTicketGrid(*flxTickets_, 6, false);

    lblStatus_ = new QLabel(this);
    lblStatus_->setObjectName(QStringLiteral("lblStatus"));
    lblStatus_->setWordWrap(true);

    cmdCheck_ = button("cmdCheck", QStringLiteral("C&heck against the draw\u2026"));
    cmdCopy_ = button("cmdCopy", QStringLiteral("&Copy"));
    cmdSave_ = button("cmdSave", QStringLiteral("&Save as\u2026"));
    cmdDelete_ = button("cmdDelete", QStringLiteral("&Delete"));
    cmdDeleteOlder_ =
        button("cmdDeleteOlder", QStringLiteral("Delete everything &older than\u2026"));
    cmdClose_ = button("cmdClose", QStringLiteral("Close"));
    connect(cmdCheck_, &QPushButton::clicked, this, &FrmHistory::CheckSelected);
    connect(cmdCopy_, &QPushButton::clicked, flxTickets_, &FlexGrid::CopyTickets);
    connect(cmdSave_, &QPushButton::clicked, flxTickets_, &FlexGrid::SaveTicketsAs);
    connect(cmdDelete_, &QPushButton::clicked, this, &FrmHistory::DeleteSelected);
    connect(cmdDeleteOlder_, &QPushButton::clicked, this, &FrmHistory::DeleteOlder);
    connect(cmdClose_, &QPushButton::clicked, this, &QWidget::close);

    // Keys for what the buttons do; Ctrl+C is the tickets grid's own, window-wide.
    const auto key = [this](const QKeySequence& sequence, auto slot) {
        auto* action = new QAction(this);
        action->setShortcut(sequence);
        action->setShortcutContext(Qt::WindowShortcut);
        connect(action, &QAction::triggered, this, slot);
        addAction(action);
    };
    key(QKeySequence::Delete, [this] { DeleteSelected(); });
    key(QKeySequence::Save, [this] { flxTickets_->SaveTicketsAs(); });
    key(QKeySequence(Qt::CTRL | Qt::Key_K), [this] { CheckSelected(); });
    key(QKeySequence(Qt::Key_Escape), [this] { close(); });
    key(QKeySequence::Refresh, [this] { Reload(); });
    cmdCheck_->setToolTip(QStringLiteral("Ctrl+K"));
    cmdSave_->setToolTip(QStringLiteral("Ctrl+S"));
    cmdCopy_->setToolTip(QStringLiteral("Ctrl+C"));
    cmdDelete_->setToolTip(QStringLiteral("Delete"));
    cmdClose_->setToolTip(QStringLiteral("Esc"));

    auto* search = new QHBoxLayout;
    search->addWidget(chkFrom_);
    search->addWidget(dtFrom_);
    search->addWidget(chkUntil_);
    search->addWidget(dtUntil_);
    search->addWidget(lblGame);
    search->addWidget(cboGame_, 1);
    auto* lists = new QHBoxLayout;
    lists->addWidget(lstBatches_, 3);
    lists->addWidget(flxTickets_, 2);
    auto* buttons = new QGridLayout;
    buttons->addWidget(cmdCheck_, 0, 0);
    buttons->addWidget(cmdCopy_, 0, 1);
    buttons->addWidget(cmdSave_, 0, 2);
    buttons->addWidget(cmdDelete_, 1, 0);
    buttons->addWidget(cmdDeleteOlder_, 1, 1);
    buttons->addWidget(cmdClose_, 1, 2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(search);
    layout->addLayout(lists, 1);
    layout->addWidget(lblStatus_);
    layout->addLayout(buttons);
}

void FrmHistory::Reload() {
    HistoryStore::ReadResult read = store_.Read({}, false);
    all_ = std::move(read.batches);
    const QString game = cboGame_->currentIndex() > 0 ? cboGame_->currentText() : QString();
    QStringList games;
    QSet<QString> seen;
    for (const HistoryBatch& batch : all_) {
        const QString text = batch.GameText();
        if (!seen.contains(text)) {
            seen.insert(text);
            games << text;
        }
    }
    games.sort(Qt::CaseInsensitive);
    {
        const QSignalBlocker blocker(cboGame_);
        cboGame_->clear();
        cboGame_->addItem(QStringLiteral("All games"));
        cboGame_->addItems(games);
        cboGame_->setCurrentIndex(std::max(0, cboGame_->findText(game)));
    }
    ApplyFilter();
    if (read.status == HistoryStore::ReadStatus::Damaged ||
        read.status == HistoryStore::ReadStatus::Failed) {
        Report(read.error);
    }
}

void FrmHistory::ApplyFilter() {
    const QString game = cboGame_->currentIndex() > 0 ? cboGame_->currentText() : QString();
    const QDateTime from = chkFrom_->isChecked() ? dtFrom_->date().startOfDay() : QDateTime();
    const QDateTime until = chkUntil_->isChecked() ? dtUntil_->date().endOfDay() : QDateTime();
    std::vector<HistoryBatch> shown;
    for (const HistoryBatch& batch : all_) {
        if ((game.isEmpty() || batch.GameText() == game) &&
            (!from.isValid() || batch.drawnUtc >= from) &&
            (!until.isValid() || batch.drawnUtc <= until)) {
            shown.push_back(batch);
        }
    }
    const size_t count = shown.size();
    model_->SetBatches(std::move(shown));
    lstBatches_->resizeColumnsToContents();
    lblStatus_->setText(count == all_.size()
                            ? Batches(static_cast<qsizetype>(count)) + QStringLiteral(" kept")
                            : QStringLiteral("%1 of %2 shown")
                                  .arg(Batches(static_cast<qsizetype>(count)))
                                  .arg(all_.size()));
    if (count > 0) {
        lstBatches_->selectRow(0);
    }
    ShowCurrentBatch();
}

void FrmHistory::ShowCurrentBatch() {
    const QModelIndex current = lstBatches_->currentIndex();
    flxTickets_->Clear();
    if (!current.isValid()) {
        SetUpTicketGrid(*flxTickets_, 6, false);
        UpdateButtons();
        return;
    }
    const HistoryBatch& batch = model_->Batch(current.row());
    SetUpTicketGrid(*flxTickets_, batch.settings.numbersPerTicket, batch.settings.HasBonus());
    const HistoryStore::ReadResult read = store_.Tickets(batch.id);
    if (read.status != HistoryStore::ReadStatus::Ok) {
        Report(read.error);
    } else {
        const std::vector<Ticket>& tickets = read.batches.front().tickets;
        flxTickets_->SetRows(static_cast<int>(tickets.size()) + 1);
        for (size_t i = 0; i < tickets.size(); ++i) {
            WriteTicketRow(*flxTickets_, static_cast<int>(i + 1), tickets[i]);
        }
    }
    UpdateButtons();
}

void FrmHistory::UpdateButtons() {
    const bool selected = lstBatches_->selectionModel()->hasSelection();
    cmdCheck_->setEnabled(selected);
    cmdDelete_->setEnabled(selected);
    cmdCopy_->setEnabled(flxTickets_->HasTickets());
    cmdSave_->setEnabled(flxTickets_->HasTickets());
    cmdDeleteOlder_->setEnabled(!all_.empty());
}

// Return on the list opens the batch: the focus goes to its tickets.
bool FrmHistory::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lstBatches_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && flxTickets_->HasTickets()) {
            flxTickets_->setFocus(Qt::OtherFocusReason);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void FrmHistory::Report(const QString& error) {
    lblStatus_->setText(error);
}

std::vector<HistoryBatch> FrmHistory::SelectedBatches() const {
    std::vector<HistoryBatch> batches;
    QModelIndexList rows = lstBatches_->selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end());
    for (const QModelIndex& row : rows) {
        HistoryBatch batch = model_->Batch(row.row());
        const HistoryStore::ReadResult read = store_.Tickets(batch.id);
        if (read.status == HistoryStore::ReadStatus::Ok) {
            batch.tickets = read.batches.front().tickets;
        }
        batches.push_back(std::move(batch));
    }
    return batches;
}

void FrmHistory::CheckSelected() {
    if (lstBatches_->selectionModel()->hasSelection()) {
        emit checkRequested(SelectedBatches());
    }
}

void FrmHistory::DeleteSelected() {
    std::vector<int64_t> ids;
    for (const QModelIndex& row : lstBatches_->selectionModel()->selectedRows()) {
        ids.push_back(model_->Batch(row.row()).id);
    }
    if (ids.empty() ||
        !ask_(this, QStringLiteral("Delete %1 from the history? This cannot be undone.")
                        .arg(ids.size() == 1
                                 ? QStringLiteral("the selected batch")
                                 : QStringLiteral("the %1 selected batches").arg(ids.size())))) {
        return;
    }
    const HistoryStore::Outcome outcome = store_.Delete(ids);
    if (!outcome.ok) {
        MessageBox::Show(this, outcome.error, QMessageBox::Critical);
    }
    Reload();
}

void FrmHistory::DeleteOlder() {
    const std::optional<QDate> day = askDate_(this);
    if (!day) {
        return;
    }
    const QDateTime before = day->startOfDay();
    const auto count = std::count_if(all_.begin(), all_.end(),
                                     [&](const HistoryBatch& b) { return b.drawnUtc < before; });
    if (count == 0) {
        lblStatus_->setText(QStringLiteral("No batch was drawn before %1.")
                                .arg(QLocale().toString(*day, QLocale::ShortFormat)));
        return;
    }
    if (!ask_(this, QStringLiteral("Delete %1 drawn before %2? This cannot be undone.")
                        .arg(Batches(count), QLocale().toString(*day, QLocale::ShortFormat)))) {
        return;
    }
    const HistoryStore::Outcome outcome = store_.DeleteOlderThan(before);
    if (!outcome.ok) {
        MessageBox::Show(this, outcome.error, QMessageBox::Critical);
    }
    Reload();
}

} // namespace kivora
