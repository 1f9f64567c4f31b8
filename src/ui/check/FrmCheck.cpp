#include "FrmCheck.h"

#include <QCloseEvent>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "engine/Ticket.h"
#include "engine/TicketMatch.h"
#include "engine/TierCount.h"
#include "engine/WinningNumbers.h"
#include "ui/controls/FlexGrid.h"
#include "ui/controls/FlexGridModel.h"

namespace kivora {

FrmCheck::FrmCheck(FlexGrid& grid, std::function<GameRules()> game, QWidget* parent)
    : QWidget(parent, Qt::Tool), grid_(grid), game_(std::move(game)), txtDraw_(new QLineEdit(this)),
      lblMessage_(new QLabel(this)), lblTiers_(new QLabel(this)) {
    setObjectName(QStringLiteral("frmCheck"));
    setWindowTitle(QStringLiteral("Check against the draw"));
    setAttribute(Qt::WA_DeleteOnClose);
    txtDraw_->setObjectName(QStringLiteral("txtDraw"));
    txtDraw_->setPlaceholderText(QStringLiteral("5 12 23 44 61 + 9"));
    txtDraw_->setAccessibleName(QStringLiteral("Winning numbers"));
    txtDraw_->setMinimumWidth(txtDraw_->fontMetrics().averageCharWidth() * 32);
    lblMessage_->setObjectName(QStringLiteral("lblMessage"));
    lblMessage_->setWordWrap(true);
    lblTiers_->setObjectName(QStringLiteral("lblTiers"));
    lblTiers_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* note = new QLabel(QStringLiteral("Only the lottery's own results count."), this);
    note->setWordWrap(true);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Winning numbers:"), txtDraw_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(lblMessage_);
    layout->addWidget(lblTiers_);
    layout->addWidget(note);
    layout->addStretch();

    connect(txtDraw_, &QLineEdit::textChanged, this, &FrmCheck::Recheck);
    // A Start or a re-layout took the marks: the results shown no longer belong to the grid.
    connect(grid_.Model(), &FlexGridModel::checkCleared, this, [this] {
        if (!marking_) {
            Show(QStringLiteral("The tickets changed: edit the numbers to check again."), {});
        }
    });
}

FrmCheck* FrmCheck::Open(FlexGrid& grid, std::function<GameRules()> game, QWidget* parent) {
    auto* window = parent->findChild<FrmCheck*>(QString(), Qt::FindDirectChildrenOnly);
    if (!window) {
        window = new FrmCheck(grid, std::move(game), parent);
        window->adjustSize();
        // Beside the main window, where it hides none of the grid.
        window->move(parent->frameGeometry().topRight() + QPoint(8, 0));
    }
    window->show();
    window->raise();
    window->activateWindow();
    window->txtDraw_->setFocus();
    return window;
}

void FrmCheck::Show(const QString& message, const QString& tiers) {
    lblMessage_->setText(message);
    lblMessage_->setVisible(!message.isEmpty());
    lblTiers_->setText(tiers);
}

void FrmCheck::Recheck() {
    marking_ = true;
    grid_.ClearCheck();
    marking_ = false;
    const QString text = txtDraw_->text().trimmed();
    if (text.isEmpty()) {
        Show({}, {});
        return;
    }
    if (!grid_.HasTickets()) {
        Show(QStringLiteral("The grid holds no tickets: press Start first."), {});
        return;
    }
    const GameRules rules = game_();
    std::string error;
    const WinningNumbers drawn = WinningNumbers::Read(text.toStdString(), rules, error);
    if (!error.empty()) {
        Show(QString::fromStdString(error), {});
        return;
    }
    // The columns as the grid's headings name them: N1... the numbers, B, B1, B2 the bonus.
    QList<int> numberCols;
    QList<int> bonusCols;
    for (int c = 1; c < grid_.Cols(); ++c) {
        (grid_.CellText(0, c).startsWith(QLatin1Char('B')) ? bonusCols : numberCols) << c;
    }
    const bool daily = rules.mode == GameMode::Daily;
    QList<QList<bool>> marked(grid_.Rows());
    QStringList match;
    std::vector<TicketMatch> matches;
    for (int r = 1; r < grid_.Rows(); ++r) {
        Ticket ticket;
        for (const int c : numberCols) {
            ticket.numbers.push_back(grid_.CellText(r, c).toInt());
        }
        std::vector<int32_t> bonus;
        for (const int c : bonusCols) {
            bonus.push_back(grid_.CellText(r, c).toInt());
        }
        if (!bonus.empty()) {
            ticket.bonus = bonus.front();
        }
        if (bonus.size() > 1) {
            ticket.secondBonus = bonus[1];
        }
        marked[r].resize(grid_.Cols());
        for (qsizetype i = 0; i < numberCols.size(); ++i) {
            const int32_t n = ticket.numbers[static_cast<size_t>(i)];
            const auto has = [n](const std::vector<int32_t>& v) {
                return std::ranges::find(v, n) != v.end();
            };
            marked[r][numberCols[i]] = daily ? static_cast<size_t>(i) < drawn.main.size() &&
                                                   drawn.main[static_cast<size_t>(i)] == n
                                             : has(drawn.main) || has(drawn.extras);
        }
        for (qsizetype i = 0; i < bonusCols.size(); ++i) {
            marked[r][bonusCols[i]] =
                std::ranges::find(drawn.bonus, bonus[static_cast<size_t>(i)]) != drawn.bonus.end();
        }
        const TicketMatch result = TicketMatch::Of(ticket, drawn, rules);
        matches.push_back(result);
        match << QString::fromStdString(result.Label(rules));
    }
    grid_.SetCheck(marked, match);
    QStringList tiers;
    for (const TierCount& tier : TierCount::Tally(matches, rules)) {
        tiers << QStringLiteral("%1: %2 %3")
                     .arg(QString::fromStdString(tier.label))
                     .arg(tier.tickets)
                     .arg(tier.tickets == 1 ? QStringLiteral("ticket") : QStringLiteral("tickets"));
    }
    Show({}, tiers.join(QLatin1Char('\n')));
}

void FrmCheck::closeEvent(QCloseEvent* event) {
    marking_ = true;
    grid_.ClearCheck();
    marking_ = false;
    event->accept();
}

} // namespace kivora
