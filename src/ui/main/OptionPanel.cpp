#include "OptionPanel.h"

#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>

#include "engine/GameRules.h"
#include "engine/GridControl.h"
#include "engine/TicketGrid.h"
#include "ui/controls/LineControl.h"
#include "ui/controls/OptionList.h"
#include "ui/controls/XPButton.h"

namespace kivora {

namespace {

QStringList NumberTexts(int from, int to) {
    QStringList texts;
    for (int n = from; n <= to; ++n) {
        texts << QString::number(n);
    }
    return texts;
}

QStringList Texts(auto names) {
    QStringList texts;
    for (const std::string_view name : names) {
        texts << QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
    }
    return texts;
}

} // namespace

OptionPanel::OptionPanel(const OptionPanelControls& controls, QObject* parent)
    : QObject(parent), c_(controls) {
    c_.cboN->SetHandler([this] { cboN_Click(); });
    c_.cboTotal->SetHandler([this] { cboTotal_Click(); });
    c_.cboBonus->SetHandler([this] { cboBonus_Click(); });
    c_.cboDrawBasedOn->SetHandler([this] { cboDrawBasedOn_Click(); });
    c_.cboInclude->SetHandler([this] { cboInclude_Click(); });
    c_.cboBonusMax->SetHandler([this] { cboBonusMax_Click(); });
}

void OptionPanel::FillOptionLists() {
    c_.cboTickets->AddItems(NumberTexts(1, 50));
    c_.cboN->AddItems(NumberTexts(3, 7));
    c_.cboTotal->AddItems(NumberTexts(10, 99));
    c_.cboBonus->AddItems({QStringLiteral("No"), QStringLiteral("Yes")});
    c_.cboBonusMax->AddItems(NumberTexts(2, 99));
    c_.cboPreferred->AddItems({QStringLiteral("Mixed numbers"), QStringLiteral("Low numbers"),
                               QStringLiteral("High numbers")});
    c_.cboDrawBasedOn->AddItems(Texts(kDrawBasisNames));
    c_.cboSigns->AddItems(Texts(kZodiacSigns));
    c_.cboSigns->SetListIndex(0);
    c_.dtPicker->setDateTime(QDateTime::currentDateTime());
}

void OptionPanel::RebuildIncludeExcludeLists() {
    c_.cboExclude->Clear();
    c_.cboInclude->Clear();
    c_.cboExclude->AddItem(QStringLiteral("Don't Exclude"));
    c_.cboInclude->AddItem(QStringLiteral("Don't Include"));
    const QStringList numbers =
        IsLotto() ? NumberTexts(1, c_.cboTotal->Text().toInt()) : NumberTexts(0, 9);
    c_.cboExclude->AddItems(numbers);
    c_.cboInclude->AddItems(numbers);
    c_.cboExclude->SetListIndex(0);
    c_.cboInclude->SetListIndex(0);
}

void OptionPanel::RebuildIncludePositions() {
    c_.cboIncludePos->Clear();
    c_.cboIncludePos->AddItems(NumberTexts(1, c_.cboN->Text().toInt()));
    c_.cboIncludePos->SetListIndex(0);
}

void OptionPanel::SetUpTicketGrid() {
    const bool withBonus = c_.cboBonus->ListIndex() == 1 && IsLotto();
    kivora::SetUpTicketGrid(*c_.grid, c_.cboN->Text().toInt(), withBonus, bonusCount_);
}

void OptionPanel::BackToOneBonus() {
    bonusCount_ = 1;
}

void OptionPanel::SetBonusCount(int count) {
    const int wanted = count == 2 && IsLotto() && c_.cboBonus->ListIndex() == 1 ? 2 : 1;
    if (wanted != bonusCount_) {
        bonusCount_ = wanted;
        SetUpTicketGrid();
    }
}

void OptionPanel::ApplyGame(const GameRules& game) {
    if (game.mode != gameMode_) {
        SetGameMode(game.mode);
    }
    const auto pick = [](OptionList* list, int value) {
        for (int i = 0; i < list->ListCount(); ++i) {
            if (list->ItemText(i).toInt() == value) {
                list->SetListIndex(i);
                return;
            }
        }
    };
    pick(c_.cboN, game.mainCount);
    if (game.mode == GameMode::Lotto) {
        pick(c_.cboTotal, game.mainHighest);
        c_.cboBonus->SetListIndex(game.bonusCount > 0 ? 1 : 0);
        if (game.bonusCount > 0) {
            pick(c_.cboBonusMax, game.bonusHighest);
        }
    }
    SetBonusCount(game.bonusCount);
}

void OptionPanel::cboBonusMax_Click() {
    SetBonusCount(1);
}

void OptionPanel::cboN_Click() {
    BackToOneBonus();
    SetUpTicketGrid();
    RebuildIncludePositions();
}

void OptionPanel::cboTotal_Click() {
    RebuildIncludeExcludeLists();
}

void OptionPanel::cboBonus_Click() {
    BackToOneBonus();
    const bool yes = c_.cboBonus->ListIndex() == 1;
    c_.lblBonusMax->setVisible(yes);
    c_.cboBonusMax->SetVisible(yes);
    SetUpTicketGrid();
}

void OptionPanel::cboDrawBasedOn_Click() {
    const DrawBasis basis = DrawBasisAt(c_.cboDrawBasedOn->ListIndex());
    QString caption;
    switch (basis) {
    case DrawBasis::Random:
        break;
    case DrawBasis::Date:
        caption = QStringLiteral("-> Pick a date:");
        break;
    case DrawBasis::Sign:
        caption = QStringLiteral("-> Pick a sign:");
        break;
    case DrawBasis::Name:
    case DrawBasis::None:
        caption = QStringLiteral("-> Enter name:");
        break;
    }
    c_.lblPick->setText(caption);
    c_.lblPick->adjustSize();
    c_.dtPicker->setVisible(basis == DrawBasis::Date);
    c_.cboSigns->SetVisible(basis == DrawBasis::Sign);
    c_.txtName->setVisible(basis == DrawBasis::Name || basis == DrawBasis::None);
}

void OptionPanel::cboInclude_Click() {
    if (!IsDaily()) {
        return;
    }
    const bool chosen = c_.cboInclude->ListIndex() >= 1;
    c_.cboIncludePos->SetVisible(chosen);
    c_.lblIncludePos->setVisible(chosen);
    if (chosen) {
        c_.cboIncludePos->SetListIndex(0);
    }
}

void OptionPanel::cmdMode_Click() {
    SetGameMode(IsLotto() ? GameMode::Daily : GameMode::Lotto);
}

void OptionPanel::SetGameMode(GameMode mode) {
    gameMode_ = mode;
    BackToOneBonus();
    const bool lotto = IsLotto();
    c_.cmdMode->SetCaption(lotto ? QStringLiteral("Mode: Lotto") : QStringLiteral("Mode: Daily"));
    c_.lblType->setText(lotto ? QStringLiteral("Lotto Mode: unique numbers (as in 6/49)")
                              : QStringLiteral("Daily Mode: allows repeating numbers (as in "
                                               "Pick 3)"));
    c_.lblType->adjustSize();
    c_.linSlash->setVisible(lotto);
    c_.cboTotal->SetVisible(lotto);
    c_.lblBonus->setVisible(lotto);
    c_.cboBonus->SetVisible(lotto);
    const bool bonusMax = lotto && c_.cboBonus->ListIndex() != 0;
    c_.lblBonusMax->setVisible(bonusMax);
    c_.cboBonusMax->SetVisible(bonusMax);
    c_.lblIncludePos->hide();
    c_.cboIncludePos->SetVisible(false);
    RebuildIncludeExcludeLists();
    SetUpTicketGrid();
}

DrawSettings OptionPanel::ReadDrawSettings() const {
    DrawSettings s;
    s.gameMode = gameMode_;
    s.ticketCount = c_.cboTickets->Text().toInt();
    s.numbersPerTicket = c_.cboN->Text().toInt();
    if (IsLotto()) {
        s.highestNumber = c_.cboTotal->Text().toInt();
    }
    s.bonusPlayed = c_.cboBonus->ListIndex() == 1;
    if (s.HasBonus()) {
        s.highestBonus = static_cast<int16_t>(c_.cboBonusMax->Text().toInt());
        s.bonusCount = bonusCount_;
    }
    s.drawBasedOn = DrawBasisAt(c_.cboDrawBasedOn->ListIndex());
    const QDate date = c_.dtPicker->date();
    s.basisDate = CalendarDate{date.year(), date.month(), date.day()};
    s.basisSign = static_cast<int16_t>(c_.cboSigns->ListIndex());
    s.basisName = c_.txtName->text().toStdString();
    s.preference = PreferenceAt(c_.cboPreferred->ListIndex());
    if (c_.cboInclude->ListIndex() >= 1) {
        s.includeNumber = c_.cboInclude->Text().toInt();
    }
    if (c_.cboExclude->ListIndex() >= 1) {
        s.excludeNumber = c_.cboExclude->Text().toInt();
    }
    if (IsDaily() && s.includeNumber) {
        s.includePosition = c_.cboIncludePos->Text().toInt();
    }
    return s;
}

std::array<OptionList*, 7> OptionPanel::StoredLists() const {
    return {c_.cboTickets,  c_.cboN,           c_.cboTotal,    c_.cboBonus,
            c_.cboBonusMax, c_.cboDrawBasedOn, c_.cboPreferred};
}

} // namespace kivora
