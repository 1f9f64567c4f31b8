#include "FrmMain.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

#include "common/AppIdentity.h"
#include "common/UserSeedLocale.h"
#include "engine/Draw.h"
#include "engine/GameRules.h"
#include "engine/Generator.h"
#include "engine/TicketDrawer.h"
#include "engine/TicketGrid.h"
#include "games/GameTable.h"
#include "print/Printout.h"
#include "settings/Registry.h"
#include "settings/StoreBatch.h"
#include "settings/StoredSettings.h"
#include "ui/about/FrmAbout.h"
#include "ui/check/FrmCheck.h"
#include "ui/check/FrmKeptCheck.h"
#include "ui/common/CloseAllWindows.h"
#include "ui/common/Fonts.h"
#include "ui/common/Help.h"
#include "ui/common/MessageBox.h"
#include "ui/common/Twips.h"
#include "ui/common/WindowDrag.h"
#include "ui/common/WindowLabel.h"
#include "ui/controls/FlexGrid.h"
#include "ui/controls/FocusRing.h"
#include "ui/controls/ImageBox.h"
#include "ui/controls/LineControl.h"
#include "ui/controls/ListBox.h"
#include "ui/controls/OptionList.h"
#include "ui/controls/SvgPixmap.h"
#include "ui/controls/XPButton.h"
#include "ui/games/GameMenu.h"
#include "ui/history/HistoryKeeper.h"
#include "ui/main/OptionPanel.h"

namespace kivora {

namespace {

// The window is the size of its background picture.
const QString kBackground = QStringLiteral(":/art/background.svg");
const QSize kWindowSize(500, 408);

const QColor kLabelColor(255, 255, 128);
const QColor kStatusColor(255, 255, 0);
const QColor kCaptionColor(192, 64, 0);
const QColor kHoverBack(255, 192, 128);

const char* const kFormatString =
    "<        |>    1 |>    2 |>    3 |>    4 |>    5 |>    6 |>    7 |>     B";

// The window's pointer shows the hourglass for as long as this lives.
class WaitPointer {
public:
    explicit WaitPointer(QWidget* window) : window_(window) { window_->setCursor(Qt::WaitCursor); }
    ~WaitPointer() { window_->unsetCursor(); }
    WaitPointer(const WaitPointer&) = delete;
    WaitPointer& operator=(const WaitPointer&) = delete;

private:
    QWidget* window_;
};

} // namespace

FrmMain::FrmMain(MainWindowServices services, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), services_(std::move(services)),
      drag_(std::make_unique<WindowDrag>(this)) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Title & version"));
    // The window shows the program's icon, which the program sets once for all its windows, so
    // that the window system's sizes of it are drawn once.
    setFixedSize(kWindowSize);
    setFont(ProgramFont(8.25));
    setAutoFillBackground(false);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(224, 224, 224));
    setPalette(pal);
    setMouseTracking(true);
    BuildControls();
    SetTabOrder();
    SetUpHints();
    WireGamesAndCheck();
    // Focus in the panel's light yellow: it reads well on the panel's blue-grey.
    auto* ring = new FocusRing(this, kLabelColor);
    for (OptionList* list : findChildren<OptionList*>(Qt::FindDirectChildrenOnly)) {
        ring->Add(list->box());
    }
    ring->Add(flxGrid_);
    ring->Add(txtName_);
    ring->Add(dtPicker_);
}

FrmMain::~FrmMain() = default;

void FrmMain::WireGamesAndCheck() {
    gameMenu_ = new GameMenu(
        GameTable::UserFilePath(), [this](const GameRules& game) { panel_->ApplyGame(game); },
        this);
    QList<QWidget*> lists;
    for (OptionList* list : findChildren<OptionList*>(Qt::FindDirectChildrenOnly)) {
        lists << list->box();
    }
    gameMenu_->InstallOn(this, lists);
    auto* check = new QAction(QStringLiteral("Check against the draw\u2026"), flxGrid_);
    check->setObjectName(QStringLiteral("actCheck"));
    check->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_K));
    check->setShortcutContext(Qt::WindowShortcut);
    auto* separator = new QAction(flxGrid_);
    separator->setSeparator(true);
    flxGrid_->addActions({separator, gameMenu_->Submenu()->menuAction(), check});
    connect(check, &QAction::triggered, this, [this] {
        FrmCheck::Open(
            *flxGrid_,
            [this] {
                const auto& chosen = gameMenu_->Chosen();
                return GameRules::ForSettings(panel_->ReadDrawSettings(),
                                              chosen ? &*chosen : nullptr);
            },
            this);
    });
    // Kept batches are checked in a grid of their own, as a preset's game when they were one.
    connect(history_, &HistoryKeeper::checkRequested, this,
            [this](const std::vector<HistoryBatch>& batches) {
                new FrmKeptCheck(
                    batches,
                    [this](const HistoryBatch& batch) {
                        return GameRules::ForSettings(batch.settings,
                                                      gameMenu_->Table().Find(batch.presetId));
                    },
                    history_->Window() ? static_cast<QWidget*>(history_->Window()) : this);
            });
}

QLabel* FrmMain::MakeLabel(const char* name, const QString& text, int left, int top, int width,
                           int height, bool autoSize) {
    QLabel* label = MakeWindowLabel(this, name, text, kLabelColor);
    label->setFont(ProgramFont(8.25, true));
    label->setMouseTracking(true);
    label->installEventFilter(this);
    label->setGeometry(TwipRect(left, top, width, height));
    if (autoSize) {
        label->setProperty("autoSize", true);
        label->setWordWrap(false);
        label->adjustSize();
    } else {
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    }
    return label;
}

OptionList* FrmMain::MakeList(const char* name, int left, int top, int width,
                              const QString& label) {
    auto* box = new ListBox(this);
    box->setObjectName(QLatin1String(name));
    box->setGeometry(TwipRect(left, top, width, 315));
    box->setAccessibleName(label);
    box->setFont(ProgramFont(8.25));
    auto* list = new OptionList(box, this);
    list->setObjectName(QLatin1String(name));
    return list;
}

XPButton* FrmMain::MakeButton(const char* name, const QString& caption, const QString& icon,
                              int left, int width, int shape, bool bold) {
    auto* button = new XPButton(this);
    button->setObjectName(QLatin1String(name));
    button->SetCaption(caption);
    button->setIcon(QIcon(icon));
    button->setFont(ProgramFont(8.25, bold));
    // The face follows the palette's button colour, and the caption stays readable on it.
    button->SetColors(kCaptionColor, kCaptionColor, QColor(), kHoverBack);
    button->setGeometry(TwipRect(left, 3240, width, 495));
    button->SetShape(shape);
    connect(button, &XPButton::MouseOver, this, [this, button] { ShowHint(HintFor(button)); });
    return button;
}

void FrmMain::BuildControls() {
    lblCaption_ = MakeLabel("lblCaption", QStringLiteral("Kivora"), 120, 75, 885, 195, true);

    auto makeImage = [this](const char* name, int left, int top, int width, int height,
                            const QString& picture, bool shown) {
        auto* image = new ImageBox(this);
        image->setObjectName(QLatin1String(name));
        image->setGeometry(TwipRect(left, top, width, height));
        image->SetPicture(picture);
        image->setVisible(shown);
        return image;
    };
    imgMin_ = makeImage("imgMin", 6800, 60, 315, 300, QString(), true);
    imgMin_->setToolTip(QStringLiteral("Minimize"));
    imgMin_->setAccessibleName(QStringLiteral("Minimize"));
    imgClose_ = makeImage("imgClose", 7120, 60, 315, 315, QString(), true);
    imgClose_->setToolTip(QStringLiteral("Close"));
    imgClose_->setAccessibleName(QStringLiteral("Close"));
    imgMinUp_ =
        makeImage("imgMinUp", 6720, 600, 315, 300, QStringLiteral(":/art/min-up.svg"), false);
    imgMinDn_ =
        makeImage("imgMinDn", 6720, 960, 315, 300, QStringLiteral(":/art/min-down.svg"), false);
    imgCloseUp_ =
        makeImage("imgCloseUp", 7080, 600, 315, 315, QStringLiteral(":/art/close-up.svg"), false);
    imgCloseDn_ =
        makeImage("imgCloseDn", 7080, 960, 315, 315, QStringLiteral(":/art/close-down.svg"), false);

    connect(imgMin_, &ImageBox::MouseDown, this, [this](Qt::MouseButton button) {
        if (button == Qt::LeftButton) {
            imgMin_->SetPicture(imgMinDn_->Picture());
        }
    });
    connect(imgMin_, &ImageBox::MouseUp, this, [this](Qt::MouseButton button) {
        if (button == Qt::LeftButton) {
            imgMin_->SetPicture(imgMinUp_->Picture());
        }
    });
    connect(imgMin_, &ImageBox::Click, this,
            [this] { setWindowState(windowState() | Qt::WindowMinimized); });
    connect(imgClose_, &ImageBox::MouseDown, this, [this](Qt::MouseButton button) {
        if (button == Qt::LeftButton) {
            imgClose_->SetPicture(imgCloseDn_->Picture());
        }
    });
    connect(imgClose_, &ImageBox::MouseUp, this, [this](Qt::MouseButton button) {
        if (button == Qt::LeftButton) {
            imgClose_->SetPicture(imgCloseUp_->Picture());
        }
    });
    connect(imgClose_, &ImageBox::Click, this, [this] { imgClose_Click(); });

    // The window opens in Lotto mode; the stored mode is applied when it loads.
    lblType_ = MakeLabel("lblType", QStringLiteral("Lotto Mode: unique numbers (as in 6/49)"), 240,
                         720, 4875, 300, true);
    lblType_->setFont(ProgramFont(12, true));
    lblType_->adjustSize();

    lblTickets_ =
        MakeLabel("lblTickets", QStringLiteral("How many tickets?"), 240, 1200, 975, 435, false);
    cboTickets_ = MakeList("cboTickets", 1320, 1200, 615, lblTickets_->text());
    lblNumbers_ =
        MakeLabel("lblNumbers", QStringLiteral("How many numbers?"), 240, 1680, 975, 435, false);
    cboN_ = MakeList("cboN", 1320, 1680, 615, lblNumbers_->text());
    linSlash_ = new LineControl(QPoint(Px(2160), Px(1680)), QPoint(Px(2040), Px(2040)), 2,
                                kLabelColor, this);
    linSlash_->setObjectName(QStringLiteral("linSlash"));
    cboTotal_ = MakeList("cboTotal", 2280, 1680, 615, QStringLiteral("Highest number"));
    lblBonus_ =
        MakeLabel("lblBonus", QStringLiteral("Draw bonus number?"), 240, 2160, 1080, 435, false);
    cboBonus_ = MakeList("cboBonus", 1320, 2160, 615, lblBonus_->text());
    lblBonusMax_ =
        MakeLabel("lblBonusMax", QStringLiteral("Max bonus number?"), 240, 2640, 975, 435, false);
    cboBonusMax_ = MakeList("cboBonusMax", 1320, 2640, 615, lblBonusMax_->text());
    lblBonusMax_->hide();
    cboBonusMax_->SetVisible(false);

    flxGrid_ = new FlexGrid(QLatin1String(kFormatString), this);
    flxGrid_->setObjectName(QStringLiteral("flxGrid"));
    flxGrid_->setFont(ProgramFont(8.25));
    flxGrid_->setGeometry(TwipRect(3120, 1200, 4095, 1935));
    flxGrid_->setAccessibleName(QStringLiteral("Tickets"));
    history_ = new HistoryKeeper(this, flxGrid_);

    // Stacking order of the strip: each later button lies on top of the one before.
    cmdPrint_ = MakeButton("cmdPrint", QStringLiteral("Print"), QStringLiteral(":/art/print.svg"),
                           240, 1215, 2, false);
    cmdMode_ = MakeButton("cmdMode", QStringLiteral("Mode: Lotto"),
                          QStringLiteral(":/art/mode.svg"), 960, 1935, 3, false);
    cmdHelp_ = MakeButton("cmdHelp", QStringLiteral("Help"), QStringLiteral(":/art/help.svg"), 3600,
                          1695, 3, false);
    cmdAbout_ = MakeButton("cmdAbout", QStringLiteral("About"), QStringLiteral(":/art/about.svg"),
                           4800, 1695, 3, false);
    cmdStart_ = MakeButton("cmdStart", QStringLiteral("Start"), QStringLiteral(":/art/start.svg"),
                           2400, 1695, 3, true);
    cmdExit_ = MakeButton("cmdExit", QStringLiteral("Exit"), QStringLiteral(":/art/exit.svg"), 6000,
                          1215, 1, false);
    // A click that reaches a button while a modal window is open (from a timer or a queued
    // event; the user's own input is blocked) would act behind that window or open a second one
    // over it: it is dropped.
    const auto unlessModal = [this](void (FrmMain::*handler)()) {
        return [this, handler] {
            if (!QApplication::activeModalWidget()) {
                (this->*handler)();
            }
        };
    };
    connect(cmdPrint_, &XPButton::clicked, this, unlessModal(&FrmMain::cmdPrint_Click));
    connect(cmdMode_, &XPButton::clicked, this, unlessModal(&FrmMain::cmdMode_Click));
    connect(cmdStart_, &XPButton::clicked, this, unlessModal(&FrmMain::cmdStart_Click));
    connect(cmdHelp_, &XPButton::clicked, this, unlessModal(&FrmMain::cmdHelp_Click));
    connect(cmdAbout_, &XPButton::clicked, this, unlessModal(&FrmMain::cmdAbout_Click));
    connect(cmdExit_, &XPButton::clicked, this, unlessModal(&FrmMain::cmdExit_Click));

    lblStatus_ = MakeLabel("lblStatus", QString(), 240, 3750, 75, 195, true);
    SetTextColor(lblStatus_, kStatusColor);
    lblStatus_->resize(Px(75), Px(195));

    lblDate_ = MakeLabel("lblDate", QStringLiteral("Draw based on:"), 240, 4080, 1350, 195, true);
    cboDrawBasedOn_ = MakeList("cboDrawBasedOn", 2160, 4080, 1335, lblDate_->text());
    lblPick_ = MakeLabel("lblPick", QStringLiteral("-> Pick..."), 3720, 4080, 795, 195, true);

    dtPicker_ = new QDateEdit(this);
    dtPicker_->setObjectName(QStringLiteral("dtPicker"));
    dtPicker_->setGeometry(TwipRect(5400, 4080, 1335, 315));
    dtPicker_->setCalendarPopup(true);
    dtPicker_->setDateRange(QDate(1601, 1, 1), QDate(9999, 12, 31));
    dtPicker_->setDisplayFormat(UserSeedLocale::ShortDateFormat());
    dtPicker_->setAccessibleName(QStringLiteral("Date"));
    dtPicker_->hide();
    dtPicker_->installEventFilter(this);

    cboSigns_ = MakeList("cboSigns", 5400, 4080, 1335, QStringLiteral("Zodiac sign"));
    cboSigns_->SetVisible(false);

    txtName_ = new QLineEdit(this);
    txtName_->setObjectName(QStringLiteral("txtName"));
    txtName_->setGeometry(TwipRect(5400, 4080, 1335, 315));
    txtName_->setAccessibleName(QStringLiteral("Name"));
    txtName_->hide();
    txtName_->installEventFilter(this);

    lblInclude_ = MakeLabel("lblInclude", QStringLiteral("Include this number on all tickets:"),
                            240, 4560, 1815, 435, false);
    cboInclude_ = MakeList("cboInclude", 2160, 4560, 1335, lblInclude_->text());
    lblIncludePos_ = MakeLabel("lblIncludePos", QStringLiteral("-> Pick position:"), 3720, 4560,
                               1395, 195, true);
    lblIncludePos_->hide();
    cboIncludePos_ = MakeList("cboIncludePos", 5400, 4560, 615, QStringLiteral("Pick position:"));
    cboIncludePos_->SetVisible(false);
    lblExclude_ = MakeLabel("lblExclude", QStringLiteral("Exclude this number from all tickets:"),
                            240, 5040, 1815, 435, false);
    cboExclude_ = MakeList("cboExclude", 2160, 5040, 1335, lblExclude_->text());
    lblPreferred_ =
        MakeLabel("lblPreferred", QStringLiteral("Preferred numbers:"), 240, 5520, 1620, 195, true);
    cboPreferred_ = MakeList("cboPreferred", 2160, 5520, 1335, lblPreferred_->text());

    // Screen readers name a list by the label tied to it (on Linux a list's own name is its
    // entry). lblPick ties itself to whichever of the three boxes behind it shows.
    for (const auto& [label, control] :
         {std::pair<QLabel*, QWidget*>{lblTickets_, cboTickets_->box()},
          {lblNumbers_, cboN_->box()},
          {lblBonus_, cboBonus_->box()},
          {lblBonusMax_, cboBonusMax_->box()},
          {lblDate_, cboDrawBasedOn_->box()},
          {lblInclude_, cboInclude_->box()},
          {lblIncludePos_, cboIncludePos_->box()},
          {lblExclude_, cboExclude_->box()},
          {lblPreferred_, cboPreferred_->box()}}) {
        label->setBuddy(control);
    }
    // The highest number has no label of its own: its name is read as its description.
    cboTotal_->box()->setAccessibleDescription(cboTotal_->box()->accessibleName());
    cboSigns_->box()->installEventFilter(this);

    // The windowed controls lie above the labels, images and the line.
    for (QLabel* label : findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
        label->lower();
    }
    linSlash_->lower();

    panel_ = new OptionPanel(
        OptionPanelControls{
            cboTickets_, cboN_,       cboTotal_,      cboBonus_,   cboBonusMax_,  cboDrawBasedOn_,
            cboSigns_,   cboInclude_, cboIncludePos_, cboExclude_, cboPreferred_, dtPicker_,
            txtName_,    lblPick_,    lblType_,       lblBonus_,   lblBonusMax_,  lblIncludePos_,
            linSlash_,   cmdMode_,    flxGrid_},
        this);
}

void FrmMain::SetTabOrder() {
    const QList<QWidget*> order = {cboTickets_->box(),
                                   cboN_->box(),
                                   cboTotal_->box(),
                                   cboBonus_->box(),
                                   cboBonusMax_->box(),
                                   flxGrid_,
                                   cmdPrint_,
                                   cmdMode_,
                                   cmdStart_,
                                   cmdHelp_,
                                   cmdAbout_,
                                   cmdExit_,
                                   cboDrawBasedOn_->box(),
                                   txtName_,
                                   cboInclude_->box(),
                                   cboIncludePos_->box(),
                                   cboExclude_->box(),
                                   cboPreferred_->box(),
                                   dtPicker_,
                                   cboSigns_->box()};
    for (qsizetype i = 1; i < order.size(); ++i) {
        QWidget::setTabOrder(order[i - 1], order[i]);
    }
}

OptionList* FrmMain::List(const QString& name) const {
    return findChild<OptionList*>(name, Qt::FindDirectChildrenOnly);
}

// ---- Initialisation and the option lists ----

void FrmMain::Form_Load() {
    imgMin_->SetPicture(imgMinUp_->Picture());
    imgClose_->SetPicture(imgCloseUp_->Picture());
    setWindowTitle(TitleVersion());
    lblCaption_->setText(TitleVersion());
    lblCaption_->adjustSize();
    panel_->FillOptionLists();
    LoadSettings();
}

// ---- The Start action ----

void FrmMain::cmdStart_Click() {
    if (cboInclude_->Text() == cboExclude_->Text()) {
        cboExclude_->box()->setFocus(Qt::OtherFocusReason);
        MessageBox::Show(
            this,
            QString::fromStdString(SameNumberMessage(cboExclude_->Text().toStdString(), "\r\n")),
            QMessageBox::Information);
        return;
    }
    WaitPointer hourglass(this);
    const DrawSettings settings = panel_->ReadDrawSettings();
    // The panel always gives a record that can be drawn; should it not, say so and keep the grid.
    if (const std::string problem = ValidateDrawSettings(settings); !problem.empty()) {
        MessageBox::Show(this, QString::fromStdString(problem), QMessageBox::Critical);
        return;
    }
    flxGrid_->Clear();
    panel_->SetUpTicketGrid();
    flxGrid_->SetRows(settings.ticketCount + 1);
    TicketDrawer drawer(services_.generator, services_.clock, services_.locale);
    std::vector<Ticket> tickets;
    drawer.Draw(settings, [this, &tickets](int row, const Ticket& ticket) {
        WriteTicketRow(*flxGrid_, row, ticket);
        tickets.push_back(ticket);
    });
    // Written to the history after the grid has been painted, not while the user waits.
    history_->Keep(settings, std::move(tickets));
}

void FrmMain::cmdMode_Click() {
    panel_->cmdMode_Click();
}

// ---- Print, Help, About, Exit ----

void FrmMain::cmdPrint_Click() {
    switch (PrintGrid(*flxGrid_, services_.openPrinter)) {
    case PrintResult::NothingToPrint:
        MessageBox::Show(
            this,
            QStringLiteral("There's nothing to print. \r\n"
                           "Click Start button to draw numbers and then try printing."),
            QMessageBox::Critical);
        break;
    case PrintResult::Failed:
        MessageBox::Show(
            this,
            QStringLiteral("Make sure you have a printer installed and that it is turned on."),
            QMessageBox::Critical);
        break;
    case PrintResult::Unconfirmed:
        // Not a failure: the job may print, and a second Print would print the tickets twice.
        MessageBox::Show(this,
                         QStringLiteral("The printer did not answer in time. Your tickets may "
                                        "still print, so check the printer before printing again."),
                         QMessageBox::Warning);
        break;
    case PrintResult::Held:
        // Not a failure, so no blocking box: the tickets print once the queue is resumed.
        MessageBox::Notify(this,
                           QStringLiteral("Your tickets are waiting in the print queue: the "
                                          "printer is paused or holds the job."),
                           QMessageBox::Information);
        break;
    case PrintResult::Printed:
        break;
    }
}

void FrmMain::cmdHelp_Click() {
    if (services_.shell) {
        ShowHelp(this, *services_.shell, QCoreApplication::applicationDirPath());
    }
}

void FrmMain::cmdAbout_Click() {
    if (services_.shell) {
        FrmAbout::ShowModal(this, *services_.shell, imgCloseUp_->Picture(), imgCloseDn_->Picture());
    }
}

void FrmMain::cmdExit_Click() {
    SaveSettings();
    history_->WriteBeforeExit();
    CloseAllWindows(this);
}

void FrmMain::imgClose_Click() {
    cmdExit_Click();
}

// ---- Stored settings ----

void FrmMain::LoadSettings() {
    const std::array<OptionList*, 7> lists = panel_->StoredLists();
    for (size_t i = 0; i < lists.size(); ++i) {
        const int32_t stored =
            ReadDword(RootKey::CurrentUser, kSettingsKeyPath, kStoredListValues[i]);
        lists[i]->SetListIndex(StoredPosition(stored, lists[i]->ListCount()));
    }
    // The stored mode comes last, after every list it rebuilds or hides.
    panel_->SetGameMode(ReadDword(RootKey::CurrentUser, kSettingsKeyPath, kGameMode) != 0
                            ? GameMode::Daily
                            : GameMode::Lotto);
    panel_->SetBonusCount(ReadDword(RootKey::CurrentUser, kSettingsKeyPath, kBonusCount));
}

void FrmMain::SaveSettings() {
    // One save for all eight values: a store that cannot be written keeps its old file whole
    // and costs one wait, not one per value.
    StoreBatch batch(RootKey::CurrentUser, kSettingsKeyPath);
    const std::array<OptionList*, 7> lists = panel_->StoredLists();
    for (size_t i = 0; i < lists.size(); ++i) {
        const auto position = static_cast<int16_t>(lists[i]->ListIndex());
        batch.Set(kStoredListValues[i], static_cast<int32_t>(position));
    }
    batch.Set(kGameMode, panel_->IsLotto() ? 0 : 1);
    // Only a store that has known two bonus numbers gets the value: the others keep eight.
    if (panel_->BonusCount() == 2 ||
        ReadDword(RootKey::CurrentUser, kSettingsKeyPath, kBonusCount) != 0) {
        batch.Set(kBonusCount, panel_->BonusCount());
    }
    batch.Commit();
}

// ---- Hints and window handling ----

void FrmMain::SetUpHints() {
    hints_ = {
        {cmdPrint_, QStringLiteral("> Print your tickets")},
        {cmdMode_,
         QStringLiteral(
             "> Change mode (Lotto for 6/49, Powerball etc. or Daily for Pick3, Daily4...)")},
        {cmdStart_, QStringLiteral("> Draw your numbers based on selected options")},
        {cmdHelp_, QStringLiteral("> Get help and how-to information")},
        {cmdAbout_, QStringLiteral("> Program information, support e-mail address and web site")},
        {cmdExit_, QStringLiteral("> Exit program")},
        {lblTickets_, QStringLiteral("> Number of tickets to draw (1 to 50)")},
        {lblNumbers_, QStringLiteral("> How many numbers out of total (for example: 6/49)")},
        {lblBonus_, QStringLiteral("> Select Yes to draw a bonus number, otherwise No")},
        {lblBonusMax_,
         QStringLiteral(
             "> The highest bonus number for a particular lottery (select 42 for PowerBall)")},
        {lblDate_, QStringLiteral("> Draw numbers based on Date, Sign, Name or Randomly")},
        {lblIncludePos_,
         QStringLiteral("> Select a position to include the number in (for Daily lotteries only)")},
        {lblInclude_, QStringLiteral("> Include a specific number on all tickets")},
        {lblExclude_, QStringLiteral("> Exclude a specific number from all tickets")},
        {lblPreferred_,
         QStringLiteral("> Specify the type of numbers to draw from (Low, High or Mixed)")},
    };
}

QString FrmMain::HintFor(QObject* control) const {
    if (control == lblPick_) {
        switch (DrawBasisAt(cboDrawBasedOn_->ListIndex())) {
        case DrawBasis::Date:
            return QStringLiteral("> Draw the numbers based on a date");
        case DrawBasis::Sign:
            return QStringLiteral("> Draw the numbers based on a Zodiac sign");
        case DrawBasis::Name:
            return QStringLiteral(
                "> Draw the numbers based on a name, a word or a number (can also be blank)");
        case DrawBasis::Random:
        case DrawBasis::None:
            break;
        }
    }
    // Every other control leaves the hint in place.
    return hints_.value(control, lblStatus_->text());
}

void FrmMain::ShowHint(const QString& hint) {
    if (lblStatus_->text() == hint) {
        return;
    }
    lblStatus_->setText(hint);
    lblStatus_->adjustSize();
}

bool FrmMain::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ShowToParent &&
        (watched == dtPicker_ || watched == txtName_ || watched == cboSigns_->box())) {
        lblPick_->setBuddy(static_cast<QWidget*>(watched));
    }
    // A text box claims Ctrl+C even with nothing selected; then it goes to the grid's
    // window-wide copy of the tickets instead, and a selection is copied as usual.
    if (event->type() == QEvent::ShortcutOverride &&
        static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy)) {
        const auto* edit = watched == dtPicker_ ? dtPicker_->findChild<QLineEdit*>()
                                                : qobject_cast<QLineEdit*>(watched);
        if (edit && !edit->hasSelectedText()) {
            event->ignore();
            return true;
        }
    }
    if (event->type() == QEvent::MouseMove && qobject_cast<QLabel*>(watched)) {
        ShowHint(HintFor(watched));
        return true; // a label never starts a drag of the window
    }
    if ((event->type() == QEvent::MouseButtonPress ||
         event->type() == QEvent::MouseButtonRelease) &&
        qobject_cast<QLabel*>(watched)) {
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void FrmMain::mousePressEvent(QMouseEvent* event) {
    if (childAt(event->position().toPoint()) == nullptr) {
        drag_->Press(event);
    }
    QWidget::mousePressEvent(event);
}

void FrmMain::mouseMoveEvent(QMouseEvent* event) {
    if (childAt(event->position().toPoint()) != nullptr && !drag_->Dragging()) {
        return;
    }
    ShowHint(QString());
    if (event->buttons() == Qt::LeftButton) {
        drag_->Move(event);
    }
}

void FrmMain::mouseReleaseEvent(QMouseEvent* event) {
    drag_->Release();
    QWidget::mouseReleaseEvent(event);
}

void FrmMain::PrepareBackground(const QScreen* screen) {
    if (screen) {
        SvgPixmap(kBackground, kWindowSize, screen->devicePixelRatio());
    }
}

void FrmMain::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), QColor(224, 224, 224));
    p.drawPixmap(0, 0, SvgPixmap(kBackground, kWindowSize, devicePixelRatioF()));
}

} // namespace kivora
