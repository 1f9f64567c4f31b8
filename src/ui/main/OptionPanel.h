// The option panel: the lists the Start action reads, and how they depend on one another.
//
// Setting a list's position runs its handler at once (cboN_Click, cboTotal_Click, ...), so one
// choice cascades into the lists that depend on it: the include/exclude lists follow the highest
// number and the mode, the include positions follow the numbers per ticket, and the grid is laid
// out again when the numbers per ticket, the bonus choice or the mode change. The window builds
// the controls and hands them over; the panel owns the game mode.
#pragma once

#include <array>

#include <QObject>

#include "engine/DrawSettings.h"

class QDateEdit;
class QLabel;
class QLineEdit;

namespace kivora {

struct GameRules;
class GridControl;
class LineControl;
class OptionList;
class XPButton;

struct OptionPanelControls {
    OptionList* cboTickets = nullptr;
    OptionList* cboN = nullptr;
    OptionList* cboTotal = nullptr;
    OptionList* cboBonus = nullptr;
    OptionList* cboBonusMax = nullptr;
    OptionList* cboDrawBasedOn = nullptr;
    OptionList* cboSigns = nullptr;
    OptionList* cboInclude = nullptr;
    OptionList* cboIncludePos = nullptr;
    OptionList* cboExclude = nullptr;
    OptionList* cboPreferred = nullptr;
    QDateEdit* dtPicker = nullptr;
    QLineEdit* txtName = nullptr;
    QLabel* lblPick = nullptr;
    QLabel* lblType = nullptr;
    QLabel* lblBonus = nullptr;
    QLabel* lblBonusMax = nullptr;
    QLabel* lblIncludePos = nullptr;
    LineControl* linSlash = nullptr;
    XPButton* cmdMode = nullptr;
    GridControl* grid = nullptr;
};

class OptionPanel : public QObject {
    Q_OBJECT
public:
    OptionPanel(const OptionPanelControls& controls, QObject* parent = nullptr);

    const OptionPanelControls& Controls() const { return c_; }

    // The lists filled once per window, then the sign and the date the pickers start at.
    void FillOptionLists();

    GameMode Mode() const { return gameMode_; }
    bool IsLotto() const { return gameMode_ == GameMode::Lotto; }
    bool IsDaily() const { return gameMode_ == GameMode::Daily; }
    // Switches the panel to the mode; the caption is set first, so every handler the switch
    // sets off already sees the new mode.
    void SetGameMode(GameMode mode);
    void SetLottoMode() { SetGameMode(GameMode::Lotto); }
    void SetDailyMode() { SetGameMode(GameMode::Daily); }
    void cmdMode_Click();

    DrawSettings ReadDrawSettings() const;

    // Lays the grid out for the numbers per ticket, the bonus choice and the mode as they stand.
    void SetUpTicketGrid();

    // The lists whose positions are stored, in the order they are stored and applied.
    std::array<OptionList*, 7> StoredLists() const;

    // Sets the lists as a user's picks would, mode first, so every handler runs; a game with
    // two bonus numbers then lays the grid out with two bonus columns.
    void ApplyGame(const GameRules& game);
    // 2 only while a game with two bonus numbers stands unchanged; any change of the numbers,
    // the bonus choice, the highest bonus or the mode returns to 1.
    int BonusCount() const { return bonusCount_; }
    // Applied only where two bonus numbers can be played (Lotto with the bonus on).
    void SetBonusCount(int count);

private:
    void RebuildIncludeExcludeLists();
    void RebuildIncludePositions();
    void cboN_Click();
    void cboTotal_Click();
    void cboBonus_Click();
    void cboDrawBasedOn_Click();
    void cboInclude_Click();
    void cboBonusMax_Click();
    void BackToOneBonus();

    OptionPanelControls c_;
    GameMode gameMode_ = GameMode::Lotto;
    int bonusCount_ = 1;
};

} // namespace kivora
