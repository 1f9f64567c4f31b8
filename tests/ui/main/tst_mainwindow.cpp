// The main window driven as a user drives it: picks through the lists' own popups, clicks and
// pointer moves through the window, on the offscreen platform.
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include "common/Fonts.h"
#include "common/MessageBox.h"
#include "engine/Clock.h"
#include "engine/Generator.h"
#include "engine/SeedLocale.h"
#include "ui/controls/FlexGrid.h"
#include "ui/controls/ImageBox.h"
#include "ui/controls/OptionList.h"
#include "ui/controls/XPButton.h"
#include "ui/main/FrmMain.h"

using namespace kivora;

namespace {

class FakeClock final : public Clock {
public:
    float TimeOfDaySeconds() const override { return 36000.5f; }
};

// The offscreen plugin notes every popup it cannot raise or grab for; nothing to act on.
QtMessageHandler previousHandler = nullptr;
void QuietPopupNotes(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (!text.startsWith(QLatin1String("This plugin does not support"))) {
        previousHandler(type, context, text);
    }
}

struct Window {
    Generator generator = Generator::FromSeed(1);
    FakeClock clock;
    PlainSeedLocale locale;
    FrmMain w{MainWindowServices{generator, clock, locale, {}, nullptr}};
};

const QString kStartHint = QStringLiteral("> Draw your numbers based on selected options");
const QColor kBonusColor(255, 192, 128);

template <typename T = QWidget> T* Find(const FrmMain& w, const QString& name) {
    return w.findChild<T*>(name);
}

// A user's pick: focus the list, open its popup with Alt+Down, walk to the entry, press Enter.
bool Pick(QComboBox* box, const QString& text) {
    const int target = box ? box->findText(text, Qt::MatchExactly) : -1;
    if (target < 0 || !box->isVisible()) {
        return false;
    }
    box->setFocus(Qt::MouseFocusReason);
    QTest::keyClick(box, Qt::Key_Down, Qt::AltModifier);
    QAbstractItemView* view = box->view();
    for (int row = view->currentIndex().row(); row != target; row += row < target ? 1 : -1) {
        QTest::keyClick(view, row < target ? Qt::Key_Down : Qt::Key_Up);
    }
    QTest::keyClick(view, Qt::Key_Return);
    // A window manager gives the window back its activation when the popup closes; offscreen
    // leaves the hidden popup active.
    box->window()->activateWindow();
    return QTest::qWaitForWindowActive(box->window()) && box->currentText() == text;
}

// Steps separated by ";": "cboX=entry" picks an entry, "txtName=text" types into the name box,
// a bare name clicks that button through the window. Returns the step that failed.
QString Apply(FrmMain& w, const QString& steps) {
    for (const QString& step : steps.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString name = step.section(QLatin1Char('='), 0, 0);
        const QString value = step.section(QLatin1Char('='), 1);
        auto* edit = Find<QLineEdit>(w, name);
        auto* button = Find<XPButton>(w, name);
        if (edit && edit->isVisible()) {
            QTest::keyClicks(edit, value);
        } else if (button && button->isVisible()) {
            QTest::mouseClick(w.windowHandle(), Qt::LeftButton, {}, button->geometry().center());
        } else if (!Pick(Find<QComboBox>(w, name), value)) {
            return step;
        }
    }
    return {};
}

// The pointer moves onto the widget: the platform sends the enter and move events.
void Hover(QWidget* widget, QPoint pos) {
    if (QCursor::pos() == widget->mapToGlobal(pos)) {
        QTest::mouseMove(widget, pos + QPoint(1, 0));
    }
    QTest::mouseMove(widget, pos);
}

// Every row as the view shows it, cells joined by blanks: "N1 N2 N3", "1 4 7 9", ... The
// corner cell has no view of its own.
QStringList Rows(const FlexGrid& g) {
    const QAbstractItemModel* m = g.model();
    QStringList rows;
    for (int r = 0; r <= m->rowCount(); ++r) {
        QStringList cells;
        for (int c = r == 0 ? 1 : 0; c <= m->columnCount(); ++c) {
            cells << (r == 0   ? m->headerData(c - 1, Qt::Horizontal)
                      : c == 0 ? m->headerData(r - 1, Qt::Vertical)
                               : m->data(m->index(r - 1, c - 1)))
                         .toString();
        }
        rows << cells.join(QLatin1Char(' '));
    }
    return rows;
}

int BonusColoured(const FlexGrid& g) {
    int coloured = 0;
    for (int r = 0; r < g.model()->rowCount(); ++r) {
        for (int c = 0; c < g.model()->columnCount(); ++c) {
            coloured += g.model()->data(g.model()->index(r, c), Qt::BackgroundRole) == kBonusColor;
        }
    }
    return coloured;
}

// The whole text shows: a wrapping label is tall enough, an auto-size one wide enough and inside
// the window.
bool FitsText(const QLabel* label) {
    if (label->wordWrap()) {
        return label->heightForWidth(label->width()) <= label->height();
    }
    return label->width() >= label->fontMetrics().horizontalAdvance(label->text()) &&
           label->geometry().right() < label->window()->width();
}

// What a Start of 50 tickets must show.
struct Expected {
    int numbers;
    int low, high;     // the candidate range
    int include;       // -1: none
    int includeColumn; // Daily only
    int exclude;       // -1: none
    int bonusMax;      // 0: no bonus column
    QString exact;     // every ticket, when the options leave one choice
};

} // namespace

Q_DECLARE_METATYPE(Expected)

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void layout_created_controlsStandAsDesigned_data();
    void layout_created_controlsStandAsDesigned();
    void layout_window_framelessAndExactlyItsPictureSize();
    void tabOrder_visibleControls_followPanelOrder_data();
    void tabOrder_visibleControls_followPanelOrder();

    void formLoad_firstRun_listsStandAtFirstEntries_data();
    void formLoad_firstRun_listsStandAtFirstEntries();
    void formLoad_firstRun_showsLottoWindowWithEmptyGrid();

    void cboTotal_pickAfterIncludeAndExclude_resetsBothLists();
    void cboInclude_pick_showsPositionOnlyInDailyWithNumber_data();
    void cboInclude_pick_showsPositionOnlyInDailyWithNumber();
    void cboDrawBasedOn_pick_showsOnlyMatchingInput_data();
    void cboDrawBasedOn_pick_showsOnlyMatchingInput();

    void cmdMode_lottoToDaily_offersDigitsAndHidesLottoLists();
    void cmdMode_roundTrip_restoresLottoChoices_data();
    void cmdMode_roundTrip_restoresLottoChoices();

    void grid_numbersBonusAndMode_laidOutAsTicketGrid_data();
    void grid_numbersBonusAndMode_laidOutAsTicketGrid();
    void optionChange_afterStart_removesTicketsOnlyOnRelayout_data();
    void optionChange_afterStart_removesTicketsOnlyOnRelayout();

    void cmdStart_includeAndExclude_refusesOnlySameNumber_data();
    void cmdStart_includeAndExclude_refusesOnlySameNumber();
    void cmdStart_fiftyTickets_everyRowFollowsTheOptions_data();
    void cmdStart_fiftyTickets_everyRowFollowsTheOptions();
    void cmdStart_withoutBonusAfterBonus_leavesNoColour();
    void cmdStart_basisInput_seedsTheDraw_data();
    void cmdStart_basisInput_seedsTheDraw();

    void buttons_clickInSlantedOverlap_goesToButtonDrawnThere_data();
    void buttons_clickInSlantedOverlap_goesToButtonDrawnThere();
    void hint_pointerOverControl_writesItsHintOrLeavesIt_data();
    void hint_pointerOverControl_writesItsHintOrLeavesIt();
    void captionImages_mouseButtons_pressedPictureAndAction_data();
    void captionImages_mouseButtons_pressedPictureAndAction();

private:
    FrmMain& w() { return window_->w; }
    FlexGrid& grid() { return *w().Grid(); }

    std::unique_ptr<QTemporaryDir> store_; // every test starts as a first run
    std::unique_ptr<Window> window_;
    QList<MessageBox::Message> messages_;
};

void MainWindowTest::initTestCase() {
    InstallFontSubstitutes();
    previousHandler = qInstallMessageHandler(QuietPopupNotes);
}

void MainWindowTest::init() {
    store_ = std::make_unique<QTemporaryDir>();
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, store_->path());
    messages_.clear();
    MessageBox::SetHandler([this](const MessageBox::Message& m) { messages_ << m; });
    window_ = std::make_unique<Window>();
    w().Form_Load();
    w().show();
    w().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w()));
}

void MainWindowTest::cleanup() {
    window_.reset();
    MessageBox::ClearHandler();
}

// ---- Layout ----

void MainWindowTest::layout_created_controlsStandAsDesigned_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("text"); // tooltip for the images; null: not checked
    QTest::addColumn<QRect>("twips");  // auto-size labels: only the position counts
    QTest::addColumn<bool>("autoSize");
    QTest::addColumn<bool>("shown");

    struct Row {
        const char *name, *kind, *text;
        int left, top, width, height;
        bool autoSize, shown;
    };
    const char* lotto = "Lotto Mode: unique numbers (as in 6/49)";
    const Row rows[] = {
        {"lblCaption", "QLabel", "Kivora", 120, 75, 885, 195, true, true},
        {"imgMin", "kivora::ImageBox", "Minimize", 6800, 60, 315, 300, false, true},
        {"imgClose", "kivora::ImageBox", "Close", 7120, 60, 315, 315, false, true},
        {"imgMinUp", "kivora::ImageBox", "", 6720, 600, 315, 300, false, false},
        {"imgMinDn", "kivora::ImageBox", "", 6720, 960, 315, 300, false, false},
        {"imgCloseUp", "kivora::ImageBox", "", 7080, 600, 315, 315, false, false},
        {"imgCloseDn", "kivora::ImageBox", "", 7080, 960, 315, 315, false, false},
        {"lblType", "QLabel", lotto, 240, 720, 4875, 300, true, true},
        {"lblTickets", "QLabel", "How many tickets?", 240, 1200, 975, 435, false, true},
        {"cboTickets", "QComboBox", "", 1320, 1200, 615, 315, false, true},
        {"lblNumbers", "QLabel", "How many numbers?", 240, 1680, 975, 435, false, true},
        {"cboN", "QComboBox", "", 1320, 1680, 615, 315, false, true},
        // The line's box, from its end (2160, 1680) to its end (2040, 2040).
        {"linSlash", "kivora::LineControl", nullptr, 2040, 1680, 120, 360, false, true},
        {"cboTotal", "QComboBox", "", 2280, 1680, 615, 315, false, true},
        {"lblBonus", "QLabel", "Draw bonus number?", 240, 2160, 1080, 435, false, true},
        {"cboBonus", "QComboBox", "", 1320, 2160, 615, 315, false, true},
        {"lblBonusMax", "QLabel", "Max bonus number?", 240, 2640, 975, 435, false, false},
        {"cboBonusMax", "QComboBox", "", 1320, 2640, 615, 315, false, false},
        {"flxGrid", "kivora::FlexGrid", nullptr, 3120, 1200, 4095, 1935, false, true},
        {"cmdPrint", "kivora::XPButton", "Print", 240, 3240, 1215, 495, false, true},
        {"cmdMode", "kivora::XPButton", "Mode: Lotto", 960, 3240, 1935, 495, false, true},
        {"cmdStart", "kivora::XPButton", "Start", 2400, 3240, 1695, 495, false, true},
        {"cmdHelp", "kivora::XPButton", "Help", 3600, 3240, 1695, 495, false, true},
        {"cmdAbout", "kivora::XPButton", "About", 4800, 3240, 1695, 495, false, true},
        {"cmdExit", "kivora::XPButton", "Exit", 6000, 3240, 1215, 495, false, true},
        {"lblStatus", "QLabel", "", 240, 3750, 75, 195, true, true},
        {"lblDate", "QLabel", "Draw based on:", 240, 4080, 1350, 195, true, true},
        {"cboDrawBasedOn", "QComboBox", "", 2160, 4080, 1335, 315, false, true},
        {"lblPick", "QLabel", "-> Pick...", 3720, 4080, 795, 195, true, true},
        {"dtPicker", "QDateEdit", nullptr, 5400, 4080, 1335, 315, false, false},
        {"cboSigns", "QComboBox", "", 5400, 4080, 1335, 315, false, false},
        {"txtName", "QLineEdit", "", 5400, 4080, 1335, 315, false, false},
        {"lblInclude", "QLabel", "Include this number on all tickets:", 240, 4560, 1815, 435, false,
         true},
        {"cboInclude", "QComboBox", "", 2160, 4560, 1335, 315, false, true},
        {"lblIncludePos", "QLabel", "-> Pick position:", 3720, 4560, 1395, 195, true, false},
        {"cboIncludePos", "QComboBox", "", 5400, 4560, 615, 315, false, false},
        {"lblExclude", "QLabel", "Exclude this number from all tickets:", 240, 5040, 1815, 435,
         false, true},
        {"cboExclude", "QComboBox", "", 2160, 5040, 1335, 315, false, true},
        {"lblPreferred", "QLabel", "Preferred numbers:", 240, 5520, 1620, 195, true, true},
        {"cboPreferred", "QComboBox", "", 2160, 5520, 1335, 315, false, true},
    };
    for (const Row& r : rows) {
        QTest::newRow(r.name) << QString::fromLatin1(r.kind)
                              << (r.text ? QString::fromUtf8(r.text) : QString())
                              << QRect(r.left, r.top, r.width, r.height) << r.autoSize << r.shown;
    }
}

void MainWindowTest::layout_created_controlsStandAsDesigned() {
    QFETCH(QString, kind);
    QFETCH(QString, text);
    QFETCH(QRect, twips);
    QFETCH(bool, autoSize);
    QFETCH(bool, shown);

    Window created; // not loaded: the window as it is created
    auto* control = Find(created.w, QString::fromLatin1(QTest::currentDataTag()));
    QVERIFY(control && control->inherits(kind.toLatin1().constData()));
    QCOMPARE(control->isVisibleTo(&created.w), shown);
    auto px = [](int t) { return qRound(t / 15.0); };
    const QRect expected(px(twips.left()), px(twips.top()), px(twips.width()), px(twips.height()));
    if (kind == QLatin1String("kivora::LineControl")) {
        QVERIFY(control->geometry().contains(expected));
    } else if (autoSize) {
        QCOMPARE(control->pos(), expected.topLeft());
        QVERIFY(FitsText(qobject_cast<QLabel*>(control)));
    } else {
        QCOMPARE(control->geometry(), expected);
        QVERIFY(!qobject_cast<QLabel*>(control) || FitsText(qobject_cast<QLabel*>(control)));
    }
    if (auto* box = qobject_cast<QComboBox*>(control)) {
        QCOMPARE(box->count(), 0); // filled at load
    } else if (!text.isNull()) {
        QCOMPARE(kind == QLatin1String("kivora::ImageBox") ? control->toolTip()
                                                           : control->property("text").toString(),
                 text);
    }
}

void MainWindowTest::layout_window_framelessAndExactlyItsPictureSize() {
    Window created;
    QVERIFY(created.w.windowFlags().testFlag(Qt::FramelessWindowHint));
    QCOMPARE(created.w.windowTitle(), QStringLiteral("Title & version"));
    QCOMPARE(w().minimumSize(), QSize(500, 408));
    QCOMPARE(w().maximumSize(), QSize(500, 408));
    QCOMPARE(w().windowHandle()->geometry().size(), QSize(500, 408));
}

void MainWindowTest::tabOrder_visibleControls_followPanelOrder_data() {
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("order");

    const QString buttons = QStringLiteral(" flxGrid cmdPrint cmdMode cmdStart cmdHelp cmdAbout"
                                           " cmdExit cboDrawBasedOn ");
    QTest::newRow("lotto, bonus, name")
        << "cboBonus=Yes;cboDrawBasedOn=Name"
        << "cboTickets cboN cboTotal cboBonus cboBonusMax" + buttons +
               "txtName cboInclude cboExclude cboPreferred";
    QTest::newRow("daily, include, date")
        << "cmdMode;cboInclude=5;cboDrawBasedOn=Date"
        << "cboTickets cboN" + buttons +
               "cboInclude cboIncludePos cboExclude cboPreferred dtPicker";
    QTest::newRow("lotto, sign") << "cboDrawBasedOn=Sign"
                                 << "cboTickets cboN cboTotal cboBonus" + buttons +
                                        "cboInclude cboExclude cboPreferred cboSigns";
}

void MainWindowTest::tabOrder_visibleControls_followPanelOrder() {
    QFETCH(QString, steps);
    QFETCH(QString, order);

    QCOMPARE(Apply(w(), steps), QString());
    Find(w(), QStringLiteral("cboTickets"))->setFocus(Qt::TabFocusReason);
    const QStringList expected = order.split(QLatin1Char(' '));
    QStringList visited;
    while (visited.size() < expected.size()) {
        QWidget* focus = QApplication::focusWidget();
        while (focus && focus->parentWidget() != &w()) { // the date picker's inner edit
            focus = focus->parentWidget();
        }
        visited << (focus ? focus->objectName() : QString());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QCOMPARE(visited, expected);
}

// ---- The first start ----

void MainWindowTest::formLoad_firstRun_listsStandAtFirstEntries_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("last");
    QTest::addColumn<bool>("shown");

    auto row = [](const char* list, const char* text, int count, const char* last, bool shown) {
        QTest::newRow(list) << QString::fromUtf8(text) << count << QString::fromUtf8(last) << shown;
    };
    row("cboTickets", "1", 50, "50", true);
    row("cboN", "3", 5, "7", true);
    row("cboTotal", "10", 90, "99", true);
    row("cboBonus", "No", 2, "Yes", true);
    row("cboBonusMax", "2", 98, "99", false);
    row("cboDrawBasedOn", "Random", 4, "Name", true);
    row("cboSigns", "Aries", 12, "Pisces", false);
    row("cboInclude", "Don't Include", 11, "10", true);
    row("cboIncludePos", "1", 3, "3", false);
    row("cboExclude", "Don't Exclude", 11, "10", true);
    row("cboPreferred", "Mixed numbers", 3, "High numbers", true);
}

void MainWindowTest::formLoad_firstRun_listsStandAtFirstEntries() {
    QFETCH(QString, text);
    QFETCH(int, count);
    QFETCH(QString, last);
    QFETCH(bool, shown);

    const QString name = QString::fromLatin1(QTest::currentDataTag());
    auto* box = Find<QComboBox>(w(), name);
    QCOMPARE(box->currentIndex(), 0);
    QCOMPARE(box->currentText(), text);
    QCOMPARE(box->count(), count);
    QCOMPARE(box->itemText(count - 1), last);
    QCOMPARE(box->isVisible(), shown);
    QCOMPARE(w().List(name)->ListIndex(), 0);
    QCOMPARE(w().List(name)->Text(), text);
}

void MainWindowTest::formLoad_firstRun_showsLottoWindowWithEmptyGrid() {
    QCOMPARE(w().windowTitle(), QStringLiteral("Lotto Kivora 2.6"));
    QCOMPARE(Find<QLabel>(w(), "lblCaption")->text(), QStringLiteral("Lotto Kivora 2.6"));
    QVERIFY(FitsText(Find<QLabel>(w(), "lblCaption")));
    QCOMPARE(Find<XPButton>(w(), "cmdMode")->Caption(), QStringLiteral("Mode: Lotto"));
    QCOMPARE(Find<QLabel>(w(), "lblType")->text(),
             QStringLiteral("Lotto Mode: unique numbers (as in 6/49)"));
    QCOMPARE(Find<QLabel>(w(), "lblPick")->text(), QString());
    QCOMPARE(Find<QLabel>(w(), "lblStatus")->text(), QString());
    QCOMPARE(Find<QDateEdit>(w(), "dtPicker")->date(), QDate::currentDate());
    for (const char* hidden : {"lblBonusMax", "lblIncludePos", "dtPicker", "txtName"}) {
        QVERIFY2(!Find(w(), hidden)->isVisible(), hidden);
    }
    QCOMPARE(Find<ImageBox>(w(), "imgMin")->Picture(), QStringLiteral(":/art/min-up.svg"));
    QCOMPARE(Find<ImageBox>(w(), "imgClose")->Picture(), QStringLiteral(":/art/close-up.svg"));
    QCOMPARE(Rows(grid()), QStringList{QStringLiteral("N1 N2 N3")});
    QCOMPARE(grid().CellText(0, 0), QString(8, QLatin1Char(' '))); // the design-time heading
}

// ---- Option lists and their dependencies ----

void MainWindowTest::cboTotal_pickAfterIncludeAndExclude_resetsBothLists() {
    QCOMPARE(Apply(w(), "cboTotal=49;cboInclude=35;cboExclude=7;cboTotal=20"), QString());
    for (const char* name : {"cboInclude", "cboExclude"}) {
        auto* box = Find<QComboBox>(w(), name);
        QCOMPARE(box->count(), 21);
        QCOMPARE(box->currentIndex(), 0);
        QCOMPARE(box->itemText(20), QStringLiteral("20"));
        QCOMPARE(w().List(name)->ListIndex(), 0);
    }
}

void MainWindowTest::cboInclude_pick_showsPositionOnlyInDailyWithNumber_data() {
    QTest::addColumn<QString>("steps");
    QTest::addColumn<bool>("shown");
    QTest::addColumn<int>("positions");

    QTest::newRow("lotto, include 7") << "cboInclude=7" << false << 3;
    QTest::newRow("daily, include 5") << "cmdMode;cboInclude=5" << true << 3;
    QTest::newRow("daily, include 5 then none")
        << "cmdMode;cboInclude=5;cboInclude=Don't Include" << false << 3;
    QTest::newRow("daily, position 3, other include")
        << "cmdMode;cboInclude=5;cboIncludePos=3;cboInclude=2" << true << 3;
    QTest::newRow("daily, include 5, numbers 3 to 5")
        << "cmdMode;cboInclude=5;cboIncludePos=2;cboN=5" << true << 5;
    QTest::newRow("daily, include 5, back to lotto")
        << "cmdMode;cboInclude=5;cmdMode" << false << 3;
}

void MainWindowTest::cboInclude_pick_showsPositionOnlyInDailyWithNumber() {
    QFETCH(QString, steps);
    QFETCH(bool, shown);
    QFETCH(int, positions);

    QCOMPARE(Apply(w(), steps), QString());
    auto* box = Find<QComboBox>(w(), "cboIncludePos");
    QCOMPARE(box->isVisible(), shown);
    auto* label = Find<QLabel>(w(), "lblIncludePos");
    QCOMPARE(label->isVisible(), shown);
    QVERIFY(FitsText(label) && label->geometry().right() < box->x());
    QCOMPARE(box->count(), positions);
    QCOMPARE(box->itemText(positions - 1), QString::number(positions));
    QCOMPARE(box->currentText(), QStringLiteral("1"));
}

void MainWindowTest::cboDrawBasedOn_pick_showsOnlyMatchingInput_data() {
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("value"); // null: not checked

    auto row = [](const char* tag, const char* steps, const char* caption, const char* input,
                  const char* value) {
        QTest::newRow(tag) << QString::fromUtf8(steps) << QString::fromUtf8(caption)
                           << QString::fromUtf8(input) << QString::fromUtf8(value);
    };
    row("date", "cboDrawBasedOn=Date", "-> Pick a date:", "dtPicker", nullptr);
    row("sign", "cboDrawBasedOn=Sign", "-> Pick a sign:", "cboSigns", "Aries");
    row("name", "cboDrawBasedOn=Name", "-> Enter name:", "txtName", "");
    row("name then random", "cboDrawBasedOn=Name;cboDrawBasedOn=Random", "", "", nullptr);
    row("date, daily", "cboDrawBasedOn=Date;cmdMode", "-> Pick a date:", "dtPicker", nullptr);
    row("name, random, name",
        "cboDrawBasedOn=Name;txtName=Ada 7;cboDrawBasedOn=Random;cboDrawBasedOn=Name",
        "-> Enter name:", "txtName", "Ada 7");
    row("sign, random, sign",
        "cboDrawBasedOn=Sign;cboSigns=Leo;cboDrawBasedOn=Random;cboDrawBasedOn=Sign",
        "-> Pick a sign:", "cboSigns", "Leo");
}

void MainWindowTest::cboDrawBasedOn_pick_showsOnlyMatchingInput() {
    QFETCH(QString, steps);
    QFETCH(QString, caption);
    QFETCH(QString, input);
    QFETCH(QString, value);

    QCOMPARE(Apply(w(), steps), QString());
    auto* pick = Find<QLabel>(w(), "lblPick");
    QCOMPARE(pick->text(), caption);
    QVERIFY(FitsText(pick) && pick->geometry().right() < Find(w(), "txtName")->x());
    for (const char* name : {"dtPicker", "cboSigns", "txtName"}) {
        QCOMPARE(Find(w(), name)->isVisible(), input == QLatin1String(name));
    }
    if (!value.isNull()) {
        auto* box = Find<QComboBox>(w(), input);
        QCOMPARE(box ? box->currentText() : Find<QLineEdit>(w(), input)->text(), value);
    }
}

// ---- Game modes ----

void MainWindowTest::cmdMode_lottoToDaily_offersDigitsAndHidesLottoLists() {
    QMap<QString, QRect> buttons;
    for (XPButton* b : w().findChildren<XPButton*>()) {
        buttons[b->objectName()] = b->geometry();
    }
    QCOMPARE(Apply(w(), "cboTotal=49;cboBonus=Yes;cboInclude=12;cboExclude=40;cmdMode"), QString());
    QCOMPARE(Find<XPButton>(w(), "cmdMode")->Caption(), QStringLiteral("Mode: Daily"));
    auto* type = Find<QLabel>(w(), "lblType");
    QCOMPARE(type->text(), QStringLiteral("Daily Mode: allows repeating numbers (as in Pick 3)"));
    QVERIFY(FitsText(type));
    for (const char* hidden : {"linSlash", "cboTotal", "lblBonus", "cboBonus", "lblBonusMax",
                               "cboBonusMax", "lblIncludePos", "cboIncludePos"}) {
        QVERIFY2(!Find(w(), hidden)->isVisible(), hidden);
    }
    for (const char* name : {"cboInclude", "cboExclude"}) {
        auto* box = Find<QComboBox>(w(), name);
        QCOMPARE(box->count(), 11);
        QCOMPARE(box->itemText(1), QStringLiteral("0"));
        QCOMPARE(box->itemText(10), QStringLiteral("9"));
        QCOMPARE(box->currentIndex(), 0);
    }
    QCOMPARE(Rows(grid()), QStringList{QStringLiteral("N1 N2 N3")});
    for (XPButton* b : w().findChildren<XPButton*>()) {
        QCOMPARE(b->geometry(), buttons[b->objectName()]);
    }
}

void MainWindowTest::cmdMode_roundTrip_restoresLottoChoices_data() {
    QTest::addColumn<QString>("bonus");
    QTest::addColumn<QString>("bonusMax");

    QTest::newRow("bonus no") << QStringLiteral("No") << QStringLiteral("2");
    QTest::newRow("bonus yes, 26") << QStringLiteral("Yes") << QStringLiteral("26");
}

void MainWindowTest::cmdMode_roundTrip_restoresLottoChoices() {
    QFETCH(QString, bonus);
    QFETCH(QString, bonusMax);

    const bool yes = bonus == QLatin1String("Yes");
    const QString steps = "cboTotal=42;cboBonus=" + bonus + (yes ? ";cboBonusMax=" + bonusMax : "");
    QCOMPARE(Apply(w(), steps + ";cboInclude=12;cboExclude=40;cmdMode;cboInclude=3;cmdMode"),
             QString());
    QCOMPARE(Find<XPButton>(w(), "cmdMode")->Caption(), QStringLiteral("Mode: Lotto"));
    QCOMPARE(Find<QComboBox>(w(), "cboTotal")->currentText(), QStringLiteral("42"));
    QCOMPARE(Find<QComboBox>(w(), "cboBonus")->currentText(), bonus);
    QCOMPARE(Find<QComboBox>(w(), "cboBonusMax")->currentText(), bonusMax);
    QCOMPARE(Find(w(), "cboBonusMax")->isVisible(), yes);
    for (const char* shown : {"linSlash", "cboTotal", "lblBonus", "cboBonus"}) {
        QVERIFY2(Find(w(), shown)->isVisible(), shown);
    }
    QVERIFY(!Find(w(), "cboIncludePos")->isVisible());
    for (const char* name : {"cboInclude", "cboExclude"}) {
        auto* box = Find<QComboBox>(w(), name);
        QCOMPARE(box->count(), 43);
        QCOMPARE(box->itemText(1), QStringLiteral("1"));
        QCOMPARE(box->currentIndex(), 0);
    }
    QCOMPARE(Rows(grid()).constFirst(), yes ? QStringLiteral("N1 N2 N3 B") : "N1 N2 N3");
}

// ---- The ticket grid ----

void MainWindowTest::grid_numbersBonusAndMode_laidOutAsTicketGrid_data() {
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("headings");

    QString headings = QStringLiteral("N1 N2");
    for (int n = 3; n <= 7; ++n) {
        headings += QStringLiteral(" N%1").arg(n);
        const QString numbers = QStringLiteral("cboN=%1").arg(n);
        QTest::addRow("lotto %d", n) << numbers << headings;
        QTest::addRow("lotto %d bonus", n) << numbers + ";cboBonus=Yes" << headings + " B";
        QTest::addRow("daily %d bonus yes", n) << numbers + ";cboBonus=Yes;cmdMode" << headings;
    }
    QTest::newRow("lotto bonus yes then no")
        << QStringLiteral("cboBonus=Yes;cboBonus=No") << QStringLiteral("N1 N2 N3");
}

// Laid out by the options, then again by a Start with one ticket.
void MainWindowTest::grid_numbersBonusAndMode_laidOutAsTicketGrid() {
    QFETCH(QString, steps);
    QFETCH(QString, headings);

    QCOMPARE(Apply(w(), steps), QString());
    const bool bonus = headings.endsWith(QLatin1String(" B"));
    QCOMPARE(Find(w(), "cboBonusMax")->isVisible(), bonus);
    QCOMPARE(Find(w(), "lblBonusMax")->isVisible(), bonus);
    const int cols = static_cast<int>(headings.count(QLatin1Char(' '))) + 2;
    for (int tickets : {0, 1}) {
        QCOMPARE(grid().Rows(), tickets + 1);
        QCOMPARE(grid().Cols(), cols);
        QCOMPARE(grid().model()->columnCount(), cols - 1);
        QCOMPARE(Rows(grid()).constFirst(), headings);
        QCOMPARE(grid().verticalHeader()->width(), 27);
        for (int c = 0; c < cols; ++c) {
            QCOMPARE(grid().ColAlignmentFlags(c), Qt::AlignRight | Qt::AlignVCenter);
            QCOMPARE(c == 0 ? 27 : grid().columnWidth(c - 1), 27);
        }
        QCOMPARE(BonusColoured(grid()), bonus ? tickets : 0);
        QCOMPARE(Apply(w(), "cmdStart"), QString());
    }
}

void MainWindowTest::optionChange_afterStart_removesTicketsOnlyOnRelayout_data() {
    QTest::addColumn<QString>("step");
    QTest::addColumn<bool>("keeps");

    QTest::newRow("tickets") << "cboTickets=9" << true;
    QTest::newRow("highest number") << "cboTotal=20" << true;
    QTest::newRow("include") << "cboInclude=4" << true;
    QTest::newRow("exclude") << "cboExclude=6" << true;
    QTest::newRow("preference") << "cboPreferred=High numbers" << true;
    QTest::newRow("basis") << "cboDrawBasedOn=Sign" << true;
    QTest::newRow("numbers per ticket") << "cboN=5" << false;
    QTest::newRow("bonus") << "cboBonus=Yes" << false;
    QTest::newRow("mode") << "cmdMode" << false;
}

void MainWindowTest::optionChange_afterStart_removesTicketsOnlyOnRelayout() {
    QFETCH(QString, step);
    QFETCH(bool, keeps);

    QCOMPARE(Apply(w(), "cboTickets=5;cmdStart"), QString());
    const QStringList drawn = Rows(grid());
    QCOMPARE(drawn.size(), 6);
    QCOMPARE(Apply(w(), step), QString());
    if (keeps) {
        QCOMPARE(Rows(grid()), drawn);
    }
    QCOMPARE(Rows(grid()).size(), keeps ? 6 : 1);
    QCOMPARE(grid().Rows(), keeps ? 6 : 1);
}

// ---- The Start action ----

void MainWindowTest::cmdStart_includeAndExclude_refusesOnlySameNumber_data() {
    QTest::addColumn<QString>("include");
    QTest::addColumn<QString>("exclude");

    QTest::newRow("7 and 7") << QStringLiteral("7") << QStringLiteral("7");
    QTest::newRow("7 and none") << QStringLiteral("7") << QStringLiteral("Don't Exclude");
    QTest::newRow("none and 7") << QStringLiteral("Don't Include") << QStringLiteral("7");
    QTest::newRow("7 and 8") << QStringLiteral("7") << QStringLiteral("8");
}

void MainWindowTest::cmdStart_includeAndExclude_refusesOnlySameNumber() {
    QFETCH(QString, include);
    QFETCH(QString, exclude);

    QCOMPARE(Apply(w(), "cboTickets=3;cmdStart"), QString());
    const QStringList earlier = Rows(grid());
    QCOMPARE(
        Apply(w(), "cboInclude=" + include + ";cboExclude=" + exclude + ";cboTickets=3;cmdStart"),
        QString()); // the focus leaves the exclude list on the way
    if (include == exclude) {
        QCOMPARE(messages_.size(), 1);
        QCOMPARE(messages_[0].title, QStringLiteral("Lotto Kivora"));
        QCOMPARE(messages_[0].icon, QMessageBox::Information);
        QCOMPARE(messages_[0].text,
                 QStringLiteral("You're trying to exclude and include the same number (7).\r\n"
                                "If you want to include a number and exclude one at the same "
                                "time, \r\nthen make sure that the numbers are different."));
        QCOMPARE(QApplication::focusWidget(), Find(w(), "cboExclude"));
        QCOMPARE(Rows(grid()), earlier);
        return;
    }
    QVERIFY(messages_.isEmpty());
    QCOMPARE(grid().Rows(), 4);
    for (int r = 1; r <= 3; ++r) {
        const QStringList numbers = Rows(grid())[r].split(QLatin1Char(' ')).mid(1);
        QCOMPARE(numbers.contains(include), include == QLatin1String("7"));
        QVERIFY(!numbers.contains(exclude));
    }
}

void MainWindowTest::cmdStart_fiftyTickets_everyRowFollowsTheOptions_data() {
    QTest::addColumn<QString>("steps");
    QTest::addColumn<Expected>("expected");

    QTest::newRow("lotto 6/49") << QStringLiteral("cboN=6;cboTotal=49")
                                << Expected{6, 1, 49, -1, 0, -1, 0, {}};
    QTest::newRow("lotto 7/49, bonus 42, exclude 13")
        << QStringLiteral("cboN=7;cboTotal=49;cboBonus=Yes;cboBonusMax=42;cboExclude=13")
        << Expected{7, 1, 49, -1, 0, 13, 42, {}};
    QTest::newRow("lotto 7/10 low, exclude 5")
        << QStringLiteral("cboN=7;cboPreferred=Low numbers;cboExclude=5")
        << Expected{7, 1, 8, -1, 0, 5, 0, "1 2 3 4 6 7 8"};
    QTest::newRow("lotto 7/10 high, include 10, exclude 3")
        << QStringLiteral("cboN=7;cboPreferred=High numbers;cboInclude=10;cboExclude=3")
        << Expected{7, 3, 10, 10, 0, 3, 0, "4 5 6 7 8 9 10"};
    QTest::newRow("lotto 6/49 low, include 45")
        << QStringLiteral("cboN=6;cboTotal=49;cboPreferred=Low numbers;cboInclude=45")
        << Expected{6, 1, 39, 45, 0, -1, 0, {}};
    QTest::newRow("daily 3 low, include 8 at 2")
        << QStringLiteral("cmdMode;cboPreferred=Low numbers;cboInclude=8;cboIncludePos=2")
        << Expected{3, 0, 6, 8, 2, -1, 0, {}};
    QTest::newRow("daily 4 high, exclude 9")
        << QStringLiteral("cmdMode;cboN=4;cboPreferred=High numbers;cboExclude=9")
        << Expected{4, 3, 9, -1, 0, 9, 0, {}};
    QTest::newRow("daily 5, bonus list yes")
        << QStringLiteral("cboBonus=Yes;cmdMode;cboN=5") << Expected{5, 0, 9, -1, 0, -1, 0, {}};
}

void MainWindowTest::cmdStart_fiftyTickets_everyRowFollowsTheOptions() {
    QFETCH(QString, steps);
    QFETCH(Expected, expected);
    const Expected& e = expected;

    QCOMPARE(Apply(w(), "cboTickets=50;" + steps + ";cmdStart"), QString());
    QVERIFY(messages_.isEmpty());
    QCOMPARE(w().cursor().shape(), Qt::ArrowCursor); // the hourglass is gone
    const QStringList rows = Rows(grid());
    QCOMPARE(rows.size(), 51);
    QCOMPARE(grid().Cols(), e.numbers + (e.bonusMax > 0 ? 2 : 1));
    for (int r = 1; r <= 50; ++r) {
        const QStringList cells = rows[r].split(QLatin1Char(' '));
        QCOMPARE(cells[0], QString::number(r));
        QVERIFY(e.exact.isEmpty() || cells.mid(1).join(QLatin1Char(' ')) == e.exact);
        QList<int> drawn;
        for (int c = 1; c <= e.numbers; ++c) {
            const int v = cells[c].toInt();
            QCOMPARE(cells[c], QString::number(v)); // plain decimal, no leading zero
            const bool fits = v != e.exclude && ((v >= e.low && v <= e.high) || v == e.include);
            const bool placed = w().IsLotto() || c != e.includeColumn || v == e.include;
            const bool ascending = !w().IsLotto() || drawn.isEmpty() || drawn.last() < v;
            QVERIFY2(fits && placed && ascending, qPrintable(rows[r]));
            drawn << v;
        }
        QVERIFY(e.include < 0 || drawn.contains(e.include));
        if (e.bonusMax > 0) {
            const int bonus = cells[e.numbers + 1].toInt();
            QVERIFY(bonus >= 1 && bonus <= e.bonusMax);
            QCOMPARE(grid().CellColor(r, e.numbers + 1), kBonusColor);
        }
    }
    QCOMPARE(BonusColoured(grid()), e.bonusMax > 0 ? 50 : 0);
}

void MainWindowTest::cmdStart_withoutBonusAfterBonus_leavesNoColour() {
    QCOMPARE(Apply(w(), "cboTickets=5;cboBonus=Yes;cmdStart"), QString());
    QCOMPARE(BonusColoured(grid()), 5);
    QCOMPARE(Apply(w(), "cboBonus=No;cboN=4;cmdStart"), QString());
    QCOMPARE(grid().Rows(), 6);
    for (int r = 0; r < grid().Rows(); ++r) {
        for (int c = 0; c < grid().Cols(); ++c) {
            QVERIFY(!grid().CellColor(r, c).isValid());
        }
    }
    QCOMPARE(BonusColoured(grid()), 0);
}

void MainWindowTest::cmdStart_basisInput_seedsTheDraw_data() {
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::addColumn<bool>("same"); // the seeds agree: only a name's length counts

    const QString name = QStringLiteral("cboDrawBasedOn=Name;");
    const QString sign = QStringLiteral("cboDrawBasedOn=Sign;");
    QTest::newRow("names of one length") << name + "txtName=Ada" << name + "txtName=Bob" << true;
    QTest::newRow("names of two lengths") << name + "txtName=Ada" << name + "txtName=Adam" << false;
    QTest::newRow("aries and leo") << sign << sign + "cboSigns=Leo" << false;
    QTest::newRow("empty name and aries") << name << sign << true;
    QTest::newRow("random and aries") << QString() << sign << false;
}

// Two windows with the same generator state and clock draw alike exactly when their seeds agree.
void MainWindowTest::cmdStart_basisInput_seedsTheDraw() {
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(bool, same);

    Window other;
    other.w.Form_Load();
    other.w.show();
    QCOMPARE(Apply(w(), "cboTickets=8;" + first + ";cmdStart"), QString());
    QCOMPARE(Apply(other.w, "cboTickets=8;" + second + ";cmdStart"), QString());
    QCOMPARE(Rows(grid()).size(), 9);
    QCOMPARE(Rows(grid()) == Rows(*other.w.Grid()), same);
}

// ---- Buttons, hints and window handling ----

void MainWindowTest::buttons_clickInSlantedOverlap_goesToButtonDrawnThere_data() {
    QTest::addColumn<QPoint>("pos"); // in the window
    QTest::addColumn<QString>("button");

    // Mode lies on Print, Start on Help; their slanted ends meet at x 88 (top) and 72.5 (bottom),
    // and at x 264.5 on the top row.
    QTest::newRow("left of Mode's top end") << QPoint(86, 217) << "cmdPrint";
    QTest::newRow("right of Mode's top end") << QPoint(90, 217) << "cmdMode";
    QTest::newRow("left of Mode's bottom end") << QPoint(70, 247) << "cmdPrint";
    QTest::newRow("right of Mode's bottom end") << QPoint(76, 247) << "cmdMode";
    QTest::newRow("left of Start's top end") << QPoint(261, 217) << "cmdStart";
    QTest::newRow("right of Start's top end") << QPoint(268, 217) << "cmdHelp";
}

void MainWindowTest::buttons_clickInSlantedOverlap_goesToButtonDrawnThere() {
    QFETCH(QPoint, pos);
    QFETCH(QString, button);

    QMap<QString, int> clicks;
    for (XPButton* b : w().findChildren<XPButton*>()) {
        connect(b, &XPButton::clicked, this, [&clicks, b] { ++clicks[b->objectName()]; });
    }
    QTest::mouseClick(w().windowHandle(), Qt::LeftButton, {}, pos);
    QCOMPARE(clicks, (QMap<QString, int>{{button, 1}}));
}

void MainWindowTest::hint_pointerOverControl_writesItsHintOrLeavesIt_data() {
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("hint"); // "> ..." means any hint starting so

    auto row = [](const char* tag, const char* steps, const char* control, const QString& hint) {
        QTest::newRow(tag) << QString::fromUtf8(steps) << QString::fromUtf8(control) << hint;
    };
    auto hint = [](const char* control, const char* text, const char* steps = "") {
        QTest::newRow(control) << QString::fromUtf8(steps) << QString::fromUtf8(control)
                               << QString::fromUtf8(text);
    };
    hint("cmdPrint", "> Print your tickets");
    hint("cmdMode", "> Change mode (Lotto for 6/49, Powerball etc. or Daily for Pick3, Daily4...)");
    hint("cmdHelp", "> Get help and how-to information");
    hint("cmdAbout", "> ...");
    hint("cmdExit", "> Exit program");
    hint("lblTickets", "> Number of tickets to draw (1 to 50)");
    hint("lblNumbers", "> How many numbers out of total (for example: 6/49)");
    hint("lblBonus", "> Select Yes to draw a bonus number, otherwise No");
    hint("lblBonusMax",
         "> The highest bonus number for a particular lottery (select 42 for PowerBall)",
         "cboBonus=Yes");
    hint("lblDate", "> Draw numbers based on Date, Sign, Name or Randomly");
    hint("lblIncludePos", "> Select a position to include the number in (for Daily lotteries only)",
         "cmdMode;cboInclude=5");
    hint("lblInclude", "> Include a specific number on all tickets");
    hint("lblExclude", "> Exclude a specific number from all tickets");
    hint("lblPreferred", "> Specify the type of numbers to draw from (Low, High or Mixed)");
    row("lblPick, date", "cboDrawBasedOn=Date", "lblPick", "> Draw the numbers based on a date");
    row("lblPick, sign", "cboDrawBasedOn=Sign", "lblPick",
        "> Draw the numbers based on a Zodiac sign");
    row("lblPick, name", "cboDrawBasedOn=Name", "lblPick",
        "> Draw the numbers based on a name, a word or a number (can also be blank)");
    row("lblPick, random", "", "lblPick", kStartHint);
    for (const char* keeps :
         {"cboInclude", "cboN", "flxGrid", "lblType", "lblCaption", "lblStatus", "imgMin"}) {
        QTest::addRow("%s keeps", keeps) << QString() << keeps << kStartHint;
    }
    row("txtName keeps", "cboDrawBasedOn=Name", "txtName", kStartHint);
    row("dtPicker keeps", "cboDrawBasedOn=Date", "dtPicker", kStartHint);
    row("background clears", "", "frmMain", QString());
}

// The pointer comes from cmdStart, whose hint is showing, onto the control.
void MainWindowTest::hint_pointerOverControl_writesItsHintOrLeavesIt() {
    QFETCH(QString, steps);
    QFETCH(QString, control);
    QFETCH(QString, hint);

    QCOMPARE(Apply(w(), steps), QString());
    auto* status = Find<QLabel>(w(), "lblStatus");
    Hover(Find(w(), "cmdStart"), QPoint(56, 16));
    QCOMPARE(status->text(), kStartHint);

    QWidget* target = control == QLatin1String("frmMain") ? &w() : Find(w(), control);
    QVERIFY(target->isVisible());
    if (target->width() == 0) {
        // lblPick without a caption has no area to point at: the move event is sent to it.
        QMouseEvent move(QEvent::MouseMove, QPointF(0, 5), target->mapToGlobal(QPointF(0, 5)),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(target, &move);
    } else {
        const QPoint pos = target == &w() ? QPoint(470, 380) : target->rect().center();
        QVERIFY(target != &w() || w().childAt(pos) == nullptr);
        Hover(target, pos);
    }
    if (hint == QLatin1String("> ...")) {
        QVERIFY(status->text().startsWith(QLatin1String("> ")) && status->text().size() > 10);
    } else {
        QCOMPARE(status->text(), hint);
    }
    QVERIFY(FitsText(status));
}

void MainWindowTest::captionImages_mouseButtons_pressedPictureAndAction_data() {
    QTest::addColumn<QString>("image");
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<QString>("pressed"); // the picture while the button is held

    QTest::newRow("imgMin, left") << "imgMin" << Qt::LeftButton << ":/art/min-down.svg";
    QTest::newRow("imgMin, right") << "imgMin" << Qt::RightButton << ":/art/min-up.svg";
    QTest::newRow("imgClose, left") << "imgClose" << Qt::LeftButton << ":/art/close-down.svg";
    QTest::newRow("imgClose, right") << "imgClose" << Qt::RightButton << ":/art/close-up.svg";
}

// Minimised or closed by the click, never by the press.
void MainWindowTest::captionImages_mouseButtons_pressedPictureAndAction() {
    QFETCH(QString, image);
    QFETCH(Qt::MouseButton, button);
    QFETCH(QString, pressed);

    auto* img = Find<ImageBox>(w(), image);
    const QString released = img->Picture();
    const QPoint at = img->geometry().center();
    QTest::mousePress(w().windowHandle(), button, {}, at);
    QCOMPARE(img->Picture(), pressed);
    QVERIFY(w().isVisible() && !w().isMinimized());
    QTest::mouseRelease(w().windowHandle(), button, {}, at);
    const bool left = button == Qt::LeftButton;
    if (image == QLatin1String("imgMin")) {
        QCOMPARE(img->Picture(), released);
        QCOMPARE(w().isMinimized(), left);
    } else {
        QCOMPARE(w().isVisible(), !left); // the Exit action closes the window
    }
}

QTEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
