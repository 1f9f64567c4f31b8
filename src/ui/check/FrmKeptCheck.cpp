#include "FrmKeptCheck.h"

#include <QLabel>
#include <QVBoxLayout>

#include "common/AppIdentity.h"
#include "engine/TicketGrid.h"
#include "ui/check/FrmCheck.h"
#include "ui/controls/FlexGrid.h"

namespace kivora {

FrmKeptCheck::FrmKeptCheck(const std::vector<HistoryBatch>& batches,
                           const std::function<GameRules(const HistoryBatch&)>& rulesFor,
                           QWidget* parent)
    : QWidget(parent, Qt::Window),
      grid_(new FlexGrid(QStringLiteral("<        |>    1 |>    2 |>    3 |>    4 |>    5 |>    6 "
                                        "|>    7 |>     B"),
                         this)) {
    setObjectName(QStringLiteral("frmKeptCheck"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Kept tickets - ") + AppTitle());
    grid_->setObjectName(QStringLiteral("flxKept"));
    grid_->setAccessibleName(QStringLiteral("Kept tickets"));

    const GameRules rules = batches.empty() ? GameRules{} : rulesFor(batches.front());
    const DrawSettings& first = batches.empty() ? DrawSettings{} : batches.front().settings;
    QStringList shown;
    int leftOut = 0;
    std::vector<Ticket> tickets;
    for (const HistoryBatch& batch : batches) {
        if (rulesFor(batch).Summary() != rules.Summary()) {
            ++leftOut;
            continue;
        }
        shown << QStringLiteral("%1 (%2)").arg(batch.id).arg(
            batch.LocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")));
        tickets.insert(tickets.end(), batch.tickets.begin(), batch.tickets.end());
    }
    SetUpTicketGrid(*grid_, first.numbersPerTicket, first.HasBonus(), first.bonusCount);
    grid_->SetRows(static_cast<int>(tickets.size()) + 1);
    for (size_t i = 0; i < tickets.size(); ++i) {
        WriteTicketRow(*grid_, static_cast<int>(i) + 1, tickets[i]);
    }

    QString text = QStringLiteral("%1, batches %2.")
                       .arg(QString::fromStdString(rules.name), shown.join(QStringLiteral(", ")));
    if (leftOut > 0) {
        text += QStringLiteral(" %1 of another game left out.").arg(leftOut);
    }
    auto* about = new QLabel(text, this);
    about->setObjectName(QStringLiteral("lblBatches"));
    about->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(about);
    layout->addWidget(grid_, 1);
    resize(420, 360);
    show();
    FrmCheck::Open(
        *grid_, [rules] { return rules; }, this);
}

} // namespace kivora
