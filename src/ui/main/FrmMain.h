// The main window: the program's one working window.
//
// How it fits together:
//  - The window builds its controls and wires them; it keeps no option logic of its own.
//  - The OptionPanel owns the option lists' cascade and the game mode: setting a list's position
//    runs its handler at once, so one choice rebuilds the lists that depend on it and lays the
//    grid out again where the columns change.
//  - Form_Load fills the lists and applies the stored choices through the same handlers, so the
//    window comes up exactly as if the user had picked them.
//  - cmdStart_Click reads the panel into a DrawSettings record and lets the engine's TicketDrawer
//    write the tickets into the grid; the grid is the only copy of the tickets, and Print reads
//    it back.
//  - The window has no system frame: it draws its own title strip, and the user moves it by its
//    background. lblStatus explains the control under the pointer.
#pragma once

#include <array>
#include <functional>
#include <memory>

#include <QHash>
#include <QString>
#include <QWidget>

#include "engine/DrawSettings.h"

class QDateEdit;
class QLabel;
class QLineEdit;
class QScreen;

namespace kivora {

class Clock;
class FlexGrid;
class GameMenu;
class Generator;
class HistoryKeeper;
class ImageBox;
class LineControl;
class OptionList;
class OptionPanel;
class PrinterPort;
class SeedLocale;
class Shell;
class WindowDrag;
class XPButton;

struct MainWindowServices {
    Generator& generator;
    const Clock& clock;
    const SeedLocale& locale;
    // Opens the default printer for one document; may be empty (printing then fails).
    std::function<std::unique_ptr<PrinterPort>()> openPrinter;
    // Opens files and addresses with the desktop; may be null (opening then fails).
    Shell* shell = nullptr;
};

class FrmMain : public QWidget {
    Q_OBJECT
public:
    explicit FrmMain(MainWindowServices services, QWidget* parent = nullptr);
    ~FrmMain() override;

    // The window's initialisation, run once before it is first shown.
    void Form_Load();

    // Draws the window's background ahead, for a window on `screen`, so that its first paint
    // only copies it: the start-up window's pause is the time for this.
    static void PrepareBackground(const QScreen* screen);

    // The actions, as the controls run them.
    void cmdStart_Click();
    void cmdMode_Click();
    void cmdPrint_Click();
    void cmdHelp_Click();
    void cmdAbout_Click();
    void cmdExit_Click();
    void imgClose_Click();

    void LoadSettings();
    void SaveSettings();

    FlexGrid* Grid() const { return flxGrid_; }
    OptionPanel* Panel() const { return panel_; }
    HistoryKeeper* History() const { return history_; }
    OptionList* List(const QString& name) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    void SetTabOrder();
    // The Game menu and the check window, reached through context menus and Ctrl+K.
    void WireGamesAndCheck();
    void SetUpHints();
    QLabel* MakeLabel(const char* name, const QString& text, int left, int top, int width,
                      int height, bool autoSize);
    OptionList* MakeList(const char* name, int left, int top, int width, const QString& label);
    XPButton* MakeButton(const char* name, const QString& caption, const QString& icon, int left,
                         int width, int shape, bool bold);

    void ShowHint(const QString& hint);
    QString HintFor(QObject* control) const;

    MainWindowServices services_;
    OptionPanel* panel_ = nullptr;
    GameMenu* gameMenu_ = nullptr;
    HistoryKeeper* history_ = nullptr;
    std::unique_ptr<WindowDrag> drag_;
    QHash<const QObject*, QString> hints_;

    QLabel* lblCaption_ = nullptr;
    ImageBox* imgMin_ = nullptr;
    ImageBox* imgClose_ = nullptr;
    ImageBox* imgMinUp_ = nullptr;
    ImageBox* imgMinDn_ = nullptr;
    ImageBox* imgCloseUp_ = nullptr;
    ImageBox* imgCloseDn_ = nullptr;
    QLabel* lblType_ = nullptr;
    QLabel* lblTickets_ = nullptr;
    QLabel* lblNumbers_ = nullptr;
    LineControl* linSlash_ = nullptr;
    QLabel* lblBonus_ = nullptr;
    QLabel* lblBonusMax_ = nullptr;
    FlexGrid* flxGrid_ = nullptr;
    XPButton* cmdPrint_ = nullptr;
    XPButton* cmdMode_ = nullptr;
    XPButton* cmdStart_ = nullptr;
    XPButton* cmdHelp_ = nullptr;
    XPButton* cmdAbout_ = nullptr;
    XPButton* cmdExit_ = nullptr;
    QLabel* lblStatus_ = nullptr;
    QLabel* lblDate_ = nullptr;
    QLabel* lblPick_ = nullptr;
    QDateEdit* dtPicker_ = nullptr;
    QLineEdit* txtName_ = nullptr;
    QLabel* lblInclude_ = nullptr;
    QLabel* lblIncludePos_ = nullptr;
    QLabel* lblExclude_ = nullptr;
    QLabel* lblPreferred_ = nullptr;

    OptionList* cboTickets_ = nullptr;
    OptionList* cboN_ = nullptr;
    OptionList* cboTotal_ = nullptr;
    OptionList* cboBonus_ = nullptr;
    OptionList* cboBonusMax_ = nullptr;
    OptionList* cboDrawBasedOn_ = nullptr;
    OptionList* cboSigns_ = nullptr;
    OptionList* cboInclude_ = nullptr;
    OptionList* cboIncludePos_ = nullptr;
    OptionList* cboExclude_ = nullptr;
    OptionList* cboPreferred_ = nullptr;
};

} // namespace kivora
