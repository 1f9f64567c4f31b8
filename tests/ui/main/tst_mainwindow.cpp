// The main window driven as a user drives it: picks through the lists' own popups, clicks,
// key presses and pointer moves through the window, on the offscreen platform.
#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLineEdit>
#include <QPointer>
#include <QScopeGuard>
#include <QScrollBar>
#include <QSettings>
#include <QStyle>
#include <QStyleFactory>
#include <QStyleOptionComboBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <QtTest/qtestspontaneevent.h>

#include <memory>

#include "common/Fonts.h"
#include "common/MessageBox.h"
#include "common/Shell.h"
#include "engine/Clock.h"
#include "engine/Generator.h"
#include "engine/SeedLocale.h"
#include "print/RecordingPort.h"
#include "ui/controls/FlexGrid.h"
#include "ui/controls/OptionList.h"
#include "ui/controls/ReadableColor.h"
#include "ui/controls/XPButton.h"
#include "ui/main/FrmMain.h"

using namespace kivora;

namespace {

class FakeClock final : public Clock {
public:
    float TimeOfDaySeconds() const override { return 36000.5f; }
};

// Finds no help file (so Help shows its message) and opens nothing.
struct FakeShell final : Shell {
    int Open(const QString&) override { return kFileNotFound; }
};

struct Window {
    Generator generator = Generator::FromSeed(1);
    FakeClock clock;
    PlainSeedLocale locale;
    FakeShell shell;
    FrmMain w{MainWindowServices{generator, clock, locale, {}, &shell}};
};

// A printer that takes the document and, when told, keeps it waiting.
class HoldingPort : public RecordingPort {
public:
    explicit HoldingPort(bool held) : held_(held) {}
    bool Held() const override { return held_; }

private:
    bool held_;
};

QtMessageHandler previousHandler = nullptr;

// Records the windows that are told to close, in order.
class CloseOrder : public QObject {
public:
    QStringList closed;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Close) {
            closed << watched->objectName();
        }
        return false;
    }
};

QWidget* Find(const FrmMain& w, const QString& name) {
    return w.findChild<QWidget*>(name);
}

// A user's pick: focus the list, open its popup with Alt+Down, walk to the entry, press Enter.
bool Pick(QComboBox* box, const QString& text) {
    const int target = box ? box->findText(text, Qt::MatchExactly) : -1;
    if (target < 0) {
        return false;
    }
    box->setFocus(Qt::MouseFocusReason);
    QTest::keyClick(box, Qt::Key_Down, Qt::AltModifier);
    QAbstractItemView* view = box->view();
    for (int row = view->currentIndex().row(); row != target; row += row < target ? 1 : -1) {
        QTest::keyClick(view, row < target ? Qt::Key_Down : Qt::Key_Up);
    }
    QTest::keyClick(view, Qt::Key_Return);
    // Offscreen leaves the closed popup active where a window manager would not.
    box->window()->activateWindow();
    return QTest::qWaitForWindowActive(box->window()) && box->currentText() == text;
}

// Steps separated by ";" on visible controls: "cboX=entry" picks an entry, "txtName=text" types
// into the name box, a bare button name clicks it through the window, "@name" moves the pointer
// onto the control ("@frmMain": the bare background). Returns the step that failed.
QString Apply(FrmMain& w, const QString& steps) {
    for (const QString& step : steps.split(';', Qt::SkipEmptyParts)) {
        const QString name = step.section('=', 0, 0).remove('@');
        QWidget* c = name == "frmMain" ? &w : Find(w, name);
        const QPoint at = c == &w ? QPoint(470, 380) : c ? c->rect().center() : QPoint();
        if (!c || !c->isVisible() || (c == &w && w.childAt(at))) {
            return step;
        } else if (step.startsWith('@') && c->width() == 0) { // lblPick without a caption
            QMouseEvent move(QEvent::MouseMove, QPointF(0, 5), c->mapToGlobal(QPointF(0, 5)),
                             Qt::NoButton, Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(c, &move);
        } else if (step.startsWith('@')) { // the platform sends the enter and move events
            QTest::mouseMove(c, at + QPoint(1, 0));
            QTest::mouseMove(c, at);
        } else if (qobject_cast<QLineEdit*>(c)) {
            QTest::keyClicks(c, step.section('=', 1));
        } else if (qobject_cast<XPButton*>(c)) {
            QTest::mouseClick(w.windowHandle(), Qt::LeftButton, {}, c->geometry().center());
        } else if (!Pick(qobject_cast<QComboBox*>(c), step.section('=', 1))) {
            return step;
        }
    }
    return {};
}

// The controls Tab visits, from cboTickets round to it again.
QString TabPath(FrmMain& w) {
    QWidget* first = Find(w, "cboTickets");
    first->setFocus(Qt::TabFocusReason);
    QStringList path;
    do {
        QWidget* focus = QApplication::focusWidget();
        while (focus && focus->parentWidget() != &w) { // the date picker's inner edit
            focus = focus->parentWidget();
        }
        path << (focus ? focus->objectName() : "?");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    } while (QApplication::focusWidget() != first && path.size() < 40);
    path.removeDuplicates(); // Tab also walks the date's parts
    return path.join(' ');
}

// The "name=state" that a check "name=...", or the "name" that a check "name", asks for; led
// by "!" when the control is hidden. A list's state is "entry:first..last" (after any
// "Don't ..." entry); the grid's its headings, "?" marking a column not 27 pixels wide and
// right-aligned; the window's its title. "tab" gives the tab path, "tickets" the tickets' count.
QString Describe(FrmMain& w, const QString& check) {
    const QString name = check.section('=', 0, 0).remove('!');
    QWidget* c = name == "frmMain" ? &w : Find(w, name);
    QString state = name == "tab"       ? TabPath(w)
                    : name == "tickets" ? QString::number(w.Grid()->Rows() - 1)
                    : c                 ? c->property(c == &w ? "windowTitle" : "text").toString()
                                        : "no such control";
    if (auto* box = qobject_cast<QComboBox*>(c)) {
        const int first = box->itemText(0).startsWith("Don't") ? 1 : 0;
        state = box->currentText() + ':' + box->itemText(first) + ".." +
                box->itemText(box->count() - 1);
    } else if (auto* g = qobject_cast<FlexGrid*>(c)) {
        QStringList cols;
        for (int col = 0; col < g->Cols(); ++col) {
            const int width = col ? g->columnWidth(col - 1) : g->verticalHeader()->width();
            const bool right = g->ColAlignmentFlags(col) == (Qt::AlignRight | Qt::AlignVCenter);
            cols << g->CellText(0, col).trimmed() + (width == 27 && right ? "" : "?");
        }
        state = cols.join(' ').trimmed();
    } else if (auto* date = qobject_cast<QDateEdit*>(c)) {
        state = date->date() == QDate::currentDate() ? "today" : date->date().toString();
    }
    return (!c || c->isVisible() ? "" : "!") + name + (check.contains('=') ? '=' + state : "");
}

const QStringList kListNames = {"cboTickets",    "cboN",           "cboTotal",    "cboBonus",
                                "cboBonusMax",   "cboDrawBasedOn", "cboSigns",    "cboInclude",
                                "cboIncludePos", "cboExclude",     "cboPreferred"};

// One notch of the wheel over the middle of `c`, as the platform delivers it.
void Wheel(QWidget* c, int notches) {
    const QPointF at = QRectF(c->rect()).center();
    QWheelEvent wheel(at, c->mapToGlobal(at), QPoint(), QPoint(0, -120 * notches), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QSpontaneKeyEvent::setSpontaneous(&wheel);
    qApp->notify(c, &wheel); // sendEvent would mark it as the program's own
}

// How many pixels of `image` in the band `outside` pixels wide around `inner` have `colour`.
int RingPixels(const QImage& image, const QRect& inner, int outside, const QColor& colour) {
    int count = 0;
    const QRect outer = inner.adjusted(-outside, -outside, outside, outside);
    for (int y = outer.top(); y <= outer.bottom(); ++y) {
        for (int x = outer.left(); x <= outer.right(); ++x) {
            if (!inner.contains(x, y) && image.rect().contains(x, y) &&
                image.pixelColor(x, y) == colour) {
                ++count;
            }
        }
    }
    return count;
}

// Switches the application's style for as long as it lives.
class StyleScope {
public:
    explicit StyleScope(const QString& name) : previous_(QApplication::style()->name()) {
        if (!name.isEmpty()) {
            QApplication::setStyle(QStyleFactory::create(name));
        }
    }
    ~StyleScope() { QApplication::setStyle(QStyleFactory::create(previous_)); }
    StyleScope(const StyleScope&) = delete;
    StyleScope& operator=(const StyleScope&) = delete;

private:
    QString previous_;
};

// A dark desktop theme: light text on dark faces.
QPalette DarkPalette() {
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(53, 53, 53));
    dark.setColor(QPalette::WindowText, QColor(230, 230, 230));
    dark.setColor(QPalette::Base, QColor(35, 35, 35));
    dark.setColor(QPalette::AlternateBase, QColor(53, 53, 53));
    dark.setColor(QPalette::Text, QColor(230, 230, 230));
    dark.setColor(QPalette::Button, QColor(53, 53, 53));
    dark.setColor(QPalette::ButtonText, QColor(230, 230, 230));
    dark.setColor(QPalette::Highlight, QColor(42, 130, 218));
    dark.setColor(QPalette::HighlightedText, QColor(Qt::white));
    return dark;
}

// The text drawn in a render, as the pixel that stands out most from the background behind
// it; the background comes from a render without the text, or from the area's left edge.
struct Painted {
    QColor text;
    QColor back;
    double contrast = 1;
};
Painted Strongest(const QImage& with, const QImage& without, QRect area) {
    Painted best;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const QColor back = without.isNull()
                                ? QColor(with.pixel(area.left() + 2, area.center().y()))
                                : QColor(without.pixel(area.left(), y));
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor behind = without.isNull() ? back : QColor(without.pixel(x, y));
            const QColor pixel(with.pixel(x, y));
            if (const double c = ContrastRatio(pixel, behind); c > best.contrast) {
                best = {pixel, behind, c};
            }
        }
    }
    return best;
}

// Where a control's text is drawn: a button's caption against the button drawn without it, a
// grid cell's text against the cell's edge ("cell r c", row 0 the headings, column 0 labels).
Painted Text(FrmMain& w, const QString& what) {
    if (auto* button = w.findChild<XPButton*>(what)) {
        // Without its icon, which moves with the caption's width.
        const QString caption = button->Caption();
        const QIcon icon = button->icon();
        button->setIcon(QIcon());
        const QImage with = button->grab().toImage();
        button->SetCaption(QString());
        const QImage without = button->grab().toImage();
        button->SetCaption(caption);
        button->setIcon(icon);
        const int band = button->height() / 4; // the slanted ends stay out of it
        return Strongest(with, without, button->rect().adjusted(band * 2, band, -band * 2, -band));
    }
    FlexGrid& g = *w.Grid();
    const int row = what.section(' ', 1, 1).toInt();
    const int col = what.section(' ', 2, 2).toInt();
    QWidget* part = row == 0   ? static_cast<QWidget*>(g.horizontalHeader())
                    : col == 0 ? static_cast<QWidget*>(g.verticalHeader())
                               : g.viewport();
    QRect cell;
    if (row == 0) {
        cell = QRect(g.horizontalHeader()->sectionViewportPosition(col - 1), 0,
                     g.columnWidth(col - 1), part->height());
    } else if (col == 0) {
        cell = QRect(0, g.verticalHeader()->sectionViewportPosition(row - 1), part->width(),
                     g.rowHeight(row - 1));
    } else {
        cell = g.visualRect(g.model()->index(row - 1, col - 1));
    }
    return Strongest(part->grab().toImage(), QImage(), cell.adjusted(1, 1, -2, -2));
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

    FrmMain& w() { return window_->w; }
    FlexGrid& grid() { return *w().Grid(); }

    std::unique_ptr<QTemporaryDir> store_; // every test starts as a first run
    std::unique_ptr<Window> window_;
    QList<MessageBox::Message> messages_;

private slots:
    void initTestCase() {
        InstallFontSubstitutes();
        // The offscreen plugin notes every popup it cannot raise or grab for.
        previousHandler = qInstallMessageHandler(
            [](QtMsgType type, const QMessageLogContext& at, const QString& text) {
                if (!text.startsWith("This plugin does not support")) {
                    previousHandler(type, at, text);
                }
            });
    }

    void init() {
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

    void cleanup() { window_.reset(); }

    void layout_created_controlsStandAsDesigned_data() {
        QTest::addColumn<QString>("row");
        // Name ("!": hidden at creation), then left, top, width and height in twips: a label
        // sized to its text gives only its place, linSlash the box of its ends.
        const QString rows =
            "lblCaption 120 75;imgMin 6800 60 315 300;imgClose 7120 60 315 315;"
            "!imgMinUp 6720 600 315 300;!imgMinDn 6720 960 315 300;lblType 240 720;"
            "!imgCloseUp 7080 600 315 315;!imgCloseDn 7080 960 315 315;"
            "lblTickets 240 1200 975 435;cboTickets 1320 1200 615 315;"
            "lblNumbers 240 1680 975 435;cboN 1320 1680 615 315;linSlash 2040 1680 120 360;"
            "cboTotal 2280 1680 615 315;lblBonus 240 2160 1080 435;cboBonus 1320 2160 615 315;"
            "!lblBonusMax 240 2640 975 435;!cboBonusMax 1320 2640 615 315;"
            "flxGrid 3120 1200 4095 1935;cmdPrint 240 3240 1215 495;cmdMode 960 3240 1935 495;"
            "cmdStart 2400 3240 1695 495;cmdHelp 3600 3240 1695 495;cmdAbout 4800 3240 1695 495;"
            "cmdExit 6000 3240 1215 495;lblStatus 240 3750;lblDate 240 4080;lblPick 3720 4080;"
            "cboDrawBasedOn 2160 4080 1335 315;!dtPicker 5400 4080 1335 315;"
            "!cboSigns 5400 4080 1335 315;!txtName 5400 4080 1335 315;"
            "lblInclude 240 4560 1815 435;cboInclude 2160 4560 1335 315;!lblIncludePos 3720 4560;"
            "!cboIncludePos 5400 4560 615 315;lblExclude 240 5040 1815 435;"
            "cboExclude 2160 5040 1335 315;lblPreferred 240 5520;cboPreferred 2160 5520 1335 315";
        for (const QString& row : rows.split(';')) {
            QTest::newRow(qPrintable(row.section(' ', 0, 0).remove('!'))) << row;
        }
    }

    void layout_created_controlsStandAsDesigned() {
        QFETCH(QString, row);
        const QMap<QString, const char*> kinds{
            {"lbl", "QLabel"},           {"cbo", "QComboBox"},          {"txt", "QLineEdit"},
            {"dtP", "QDateEdit"},        {"img", "kivora::ImageBox"},   {"cmd", "kivora::XPButton"},
            {"flx", "kivora::FlexGrid"}, {"lin", "kivora::LineControl"}};
        const QString name = QTest::currentDataTag();
        Window created; // not loaded: the window as it is created
        QWidget* c = Find(created.w, name);
        QVERIFY(c && c->inherits(kinds.value(name.left(3))));
        QCOMPARE(c->isVisibleTo(&created.w), !row.startsWith('!'));
        QList<int> px;
        for (const QString& twips : row.split(' ').mid(1)) {
            px << qRound(twips.toInt() / 15.0);
        }
        const QRect want(px[0], px[1], px.value(2, c->width()), px.value(3, c->height()));
        QCOMPARE(name == "linSlash" ? c->geometry().intersected(want) : c->geometry(), want);
    }

    void layout_window_framelessAtPictureSize() {
        QVERIFY(w().windowFlags().testFlag(Qt::FramelessWindowHint));
        QCOMPARE(w().minimumSize(), w().maximumSize());
        QCOMPARE(w().windowHandle()->geometry().size(), QSize(500, 408));
        QCOMPARE(grid().CellText(0, 0), QString(8, ' ')); // the design-time corner heading
    }

    void options_script_windowShowsState_data() {
        // Steps for Apply, and checks led by "?" that Describe must give back.
        QTest::addColumn<QString>("script");
        QTest::newRow("first run")
            << "?frmMain=Lotto Kivora 2.6;?lblCaption=Lotto Kivora 2.6;?cboTickets=1:1..50;"
               "?cboN=3:3..7;?cboTotal=10:10..99;?cboBonus=No:No..Yes;?!lblBonusMax;"
               "?!cboBonusMax=2:2..99;?cboDrawBasedOn=Random:Random..Name;?lblPick=;"
               "?!dtPicker=today;?!cboSigns=Aries:Aries..Pisces;?!txtName=;"
               "?cboPreferred=Mixed numbers:Mixed numbers..High numbers;?cmdMode=Mode: Lotto;"
               "?lblType=Lotto Mode: unique numbers (as in 6/49);?cboInclude=Don't Include:1..10;"
               "?cboExclude=Don't Exclude:1..10;?!lblIncludePos;?!cboIncludePos=1:1..3;"
               "?lblStatus=;?flxGrid=N1 N2 N3";
        QTest::newRow("highest 49 to 20 resets include and exclude")
            << "cboTotal=49;cboInclude=35;cboExclude=7;cboTotal=20;"
               "?cboInclude=Don't Include:1..20;?cboExclude=Don't Exclude:1..20";
        QTest::newRow("include position only in daily with a number")
            << "cboInclude=7;?!cboIncludePos;cmdMode;cboInclude=5;?cboIncludePos=1:1..3;"
               "?lblIncludePos=-> Pick position:;cboIncludePos=2;cboN=5;?cboIncludePos=1:1..5;"
               "?lblIncludePos;cboInclude=Don't Include;?!lblIncludePos;?!cboIncludePos";
        QTest::newRow("bonus yes then no")
            << "cboBonus=Yes;?lblBonusMax;?cboBonusMax=2:2..99;?flxGrid=N1 N2 N3 B;cboBonus=No;"
               "?!lblBonusMax;?!cboBonusMax;?flxGrid=N1 N2 N3";
        QTest::newRow("basis input by basis")
            << "cboDrawBasedOn=Date;?lblPick=-> Pick a date:;?dtPicker=today;?!cboSigns;?!txtName;"
               "cboDrawBasedOn=Sign;?lblPick=-> Pick a sign:;?!dtPicker;?cboSigns;?!txtName;"
               "cboDrawBasedOn=Name;?lblPick=-> Enter name:;?!dtPicker;?!cboSigns;?txtName=;"
               "txtName=Ada 7;cboDrawBasedOn=Random;?lblPick=;?!dtPicker;?!cboSigns;?!txtName;"
               "cboDrawBasedOn=Name;?txtName=Ada 7";
        QTest::newRow("lotto to daily and back")
            << "cboTotal=42;cboBonus=Yes;cboBonusMax=26;cboInclude=12;cboExclude=40;cmdMode;"
               "?cmdMode=Mode: Daily;?lblType=Daily Mode: allows repeating numbers (as in Pick 3);"
               "?!linSlash;?!cboTotal;?!lblBonus;?!cboBonus;?!lblBonusMax;?!cboBonusMax;"
               "?cboInclude=Don't Include:0..9;?cboExclude=Don't Exclude:0..9;?flxGrid=N1 N2 N3;"
               "cboInclude=3;?cboIncludePos;cmdMode;?cmdMode=Mode: Lotto;?cboTotal=42:10..99;"
               "?linSlash;?lblBonus;?cboBonus=Yes:No..Yes;?cboBonusMax=26:2..99;?!cboIncludePos;"
               "?cboInclude=Don't Include:1..42;?cboExclude=Don't Exclude:1..42;"
               "?flxGrid=N1 N2 N3 B;cboBonus=No;cmdMode;cmdMode;?cboBonus=No:No..Yes;?!cboBonusMax";
        QTest::newRow("tickets stay until numbers, bonus or mode change")
            << "cboTickets=5;cmdStart;?tickets=5;cboTickets=9;?tickets=5;cboTotal=20;?tickets=5;"
               "cboInclude=4;?tickets=5;cboExclude=6;?tickets=5;cboPreferred=High numbers;"
               "?tickets=5;cboDrawBasedOn=Sign;?tickets=5;cboN=5;?tickets=0;cmdStart;?tickets=9;"
               "cboBonus=Yes;?tickets=0;cmdStart;cmdMode;?tickets=0";
        QTest::newRow("tab order")
            << QString("cboBonus=Yes;cboDrawBasedOn=Name;?tab=cboTickets cboN cboTotal cboBonus "
                       "cboBonusMax%1txtName cboInclude cboExclude cboPreferred;cboBonus=No;"
                       "cboDrawBasedOn=Sign;?tab=cboTickets cboN cboTotal cboBonus%1cboInclude "
                       "cboExclude cboPreferred cboSigns;cmdMode;cboInclude=5;cboDrawBasedOn=Date;"
                       "?tab=cboTickets cboN%1cboInclude cboIncludePos cboExclude cboPreferred "
                       "dtPicker")
                   .arg(" flxGrid cmdPrint cmdMode cmdStart cmdHelp cmdAbout cmdExit "
                        "cboDrawBasedOn ");

        QString headings = "N1 N2"; // laid out by the options, then again by a Start
        for (int n = 3; n <= 7; ++n) {
            headings += QString(" N%1").arg(n);
            const QString steps = QString("cboN=%1;cboBonus=").arg(n);
            QTest::addRow("grid lotto %d", n) << steps + "No;cmdStart;?flxGrid=" + headings;
            QTest::addRow("grid lotto %d bonus", n)
                << steps + "Yes;cmdStart;?flxGrid=" + headings + " B";
            QTest::addRow("grid daily %d", n)
                << steps + "Yes;cmdMode;cmdStart;?flxGrid=" + headings;
        }

        // The pointer comes from cmdStart, whose hint then shows, onto the control.
        auto hint = [](const char* control, const QString& text, const QString& steps = "") {
            QTest::addRow("hint %s %s", control, qPrintable(steps))
                << steps + ";@cmdStart;@" + control + ";?lblStatus=" + text;
        };
        hint("cmdPrint", "> Print your tickets");
        hint("cmdMode",
             "> Change mode (Lotto for 6/49, Powerball etc. or Daily for Pick3, Daily4...)");
        hint("cmdHelp", "> Get help and how-to information");
        hint("cmdAbout", "> Program information, support e-mail address and web site");
        hint("cmdExit", "> Exit program");
        hint("lblTickets", "> Number of tickets to draw (1 to 50)");
        hint("lblNumbers", "> How many numbers out of total (for example: 6/49)");
        hint("lblBonus", "> Select Yes to draw a bonus number, otherwise No");
        hint("lblBonusMax",
             "> The highest bonus number for a particular lottery (select 42 for PowerBall)",
             "cboBonus=Yes");
        hint("lblDate", "> Draw numbers based on Date, Sign, Name or Randomly");
        hint("lblIncludePos",
             "> Select a position to include the number in (for Daily lotteries only)",
             "cmdMode;cboInclude=5");
        hint("lblInclude", "> Include a specific number on all tickets");
        hint("lblExclude", "> Exclude a specific number from all tickets");
        hint("lblPreferred", "> Specify the type of numbers to draw from (Low, High or Mixed)");
        hint("lblPick", "> Draw the numbers based on a date", "cboDrawBasedOn=Date");
        hint("lblPick", "> Draw the numbers based on a Zodiac sign", "cboDrawBasedOn=Sign");
        hint("lblPick",
             "> Draw the numbers based on a name, a word or a number (can also be blank)",
             "cboDrawBasedOn=Name");
        // Random leaves lblPick blank; option lists and the rest have no hint of their own.
        for (const char* keeps :
             {"lblPick", "cboInclude", "cboN", "flxGrid", "lblType", "lblStatus", "imgMin"}) {
            hint(keeps, "> Draw your numbers based on selected options");
        }
        hint("txtName", "> Draw your numbers based on selected options", "cboDrawBasedOn=Name");
        hint("frmMain", "");
    }

    void options_script_windowShowsState() {
        QFETCH(QString, script);
        for (const QString& item : script.split(';')) {
            if (item.startsWith('?')) {
                QCOMPARE(Describe(w(), item.mid(1)), item.mid(1));
            } else {
                QCOMPARE(Apply(w(), item), QString());
            }
        }
    }

    void cmdStart_sameIncludeAndExclude_refusesAndKeepsTickets() {
        QCOMPARE(Apply(w(), "cboTickets=3;cmdStart"), QString());
        const QString earlier = grid().TicketsAsText();
        // The focus leaves the exclude list on the way.
        QCOMPARE(Apply(w(), "cboInclude=7;cboExclude=7;cboTickets=4;cmdStart"), QString());
        QCOMPARE(messages_.size(), 1);
        QCOMPARE(messages_[0].title, QStringLiteral("Lotto Kivora"));
        QCOMPARE(messages_[0].icon, QMessageBox::Information);
        QCOMPARE(messages_[0].text,
                 QStringLiteral("You're trying to exclude and include the same number (7).\r\n"
                                "If you want to include a number and exclude one at the same "
                                "time, \r\nthen make sure that the numbers are different."));
        QCOMPARE(QApplication::focusWidget(), Find(w(), "cboExclude"));
        QCOMPARE(grid().TicketsAsText(), earlier);
    }

    void cmdPrint_printerHoldsJob_nonBlockingNotice_data() {
        QTest::addColumn<bool>("held");
        QTest::newRow("printed") << false;
        QTest::newRow("held") << true;
    }
    void cmdPrint_printerHoldsJob_nonBlockingNotice() {
        QFETCH(bool, held);
        Window printing;
        FrmMain frm{MainWindowServices{printing.generator, printing.clock, printing.locale,
                                       [held] { return std::make_unique<HoldingPort>(held); },
                                       nullptr}};
        frm.Form_Load();
        frm.cmdStart_Click();
        frm.cmdPrint_Click();
        QCOMPARE(messages_.size(), held ? 1 : 0);
        if (held) {
            QCOMPARE(messages_[0].text,
                     QStringLiteral("Your tickets are waiting in the print queue: the printer is "
                                    "paused or holds the job."));
            QCOMPARE(messages_[0].icon, QMessageBox::Information);
            QVERIFY(!messages_[0].modal);
        }
    }

    void cmdStart_bonusThenOthers_colourClearedAndIncludePlaced() {
        QCOMPARE(Apply(w(), "cboTickets=3;cboBonus=Yes;cmdStart"), QString());
        for (int r = 1; r <= 3; ++r) {
            QCOMPARE(grid().CellColor(r, 4), QColor(255, 192, 128));
        }
        QCOMPARE(Apply(w(), "cboBonus=No;cmdStart"), QString());
        for (int cell = 0; cell < 16; ++cell) { // 4 rows of 4 columns
            QVERIFY(!grid().CellColor(cell / 4, cell % 4).isValid());
        }
        QCOMPARE(Apply(w(), "cmdMode;cboTickets=50;cboInclude=8;cboIncludePos=2;cmdStart"),
                 QString());
        QVERIFY(messages_.isEmpty());
        QCOMPARE(grid().Rows(), 51);
        for (int r = 1; r <= 50; ++r) {
            QCOMPARE(grid().CellText(r, 2), QStringLiteral("8"));
        }
    }

    // The panel as the Start action reads it: numbers from the entries' texts, the preference
    // from its text, the include position only in Daily mode with an include number.
    void ReadDrawSettings_panel_givesTheRecord_data() {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("record");
        QTest::newRow("first run") << ""
                                   << "Lotto 1x3/10 bonus 0/2 Random 0 Mixed +20000@0 -10000";
        QTest::newRow("lotto")
            << "cboTickets=5;cboN=6;cboTotal=49;cboBonus=Yes;cboBonusMax=42;cboInclude=45;"
               "cboExclude=7;cboPreferred=Low numbers;cboDrawBasedOn=Sign;cboSigns=Leo"
            << "Lotto 5x6/49 bonus 1/42 Sign 4 Low +45@0 -7";
        QTest::newRow("lotto high, bonus off")
            << "cboTotal=99;cboBonus=Yes;cboBonusMax=2;cboBonus=No;cboPreferred=High numbers;"
               "cboDrawBasedOn=Name;cboExclude=99"
            << "Lotto 1x3/99 bonus 0/2 Name 0 High +20000@0 -99";
        QTest::newRow("daily keeps the hidden lotto lists out")
            << "cboTotal=49;cboBonus=Yes;cboBonusMax=42;cboN=5;cmdMode;cboInclude=0;"
               "cboIncludePos=4;cboExclude=9;cboPreferred=High numbers;cboDrawBasedOn=Date"
            << "Daily 1x5/10 bonus 1/2 Date 0 High +0@4 -9";
        QTest::newRow("daily without include")
            << "cmdMode;cboInclude=3;cboIncludePos=2;cboInclude=Don't Include;cboExclude=0"
            << "Daily 1x3/10 bonus 0/2 Random 0 Mixed +20000@0 -0";
    }
    void ReadDrawSettings_panel_givesTheRecord() {
        QFETCH(QString, steps);
        QFETCH(QString, record);
        QCOMPARE(Apply(w(), steps), QString());
        const DrawSettings s = w().ReadDrawSettings();
        const char* bases[] = {"None", "Random", "Date", "Sign", "Name"};
        const char* preferences[] = {"Low", "High", "Mixed"};
        QCOMPARE(QString("%1 %2x%3/%4 bonus %5/%6 %7 %8 %9 +%10@%11 -%12")
                     .arg(s.gameMode == GameMode::Lotto ? "Lotto" : "Daily")
                     .arg(s.ticketCount)
                     .arg(s.numbersPerTicket)
                     .arg(s.highestNumber)
                     .arg(int(s.bonusPlayed))
                     .arg(s.highestBonus)
                     .arg(bases[int(s.drawBasedOn)])
                     .arg(s.basisSign)
                     .arg(preferences[int(s.preference)])
                     .arg(s.includeNumber)
                     .arg(s.includePosition)
                     .arg(s.excludeNumber),
                 record);
    }

    // A key press acts at once: a click soon after it finds the first window open, and no
    // window ever opens over another (the About window, the help message).
    void buttons_returnThenClick_neverTwoModalWindows_data() {
        QTest::addColumn<QString>("pressed");
        QTest::addColumn<QString>("clicked");
        QTest::newRow("About, About") << "cmdAbout"
                                      << "cmdAbout";
        QTest::newRow("Help, About") << "cmdHelp"
                                     << "cmdAbout";
        QTest::newRow("About, Help") << "cmdAbout"
                                     << "cmdHelp";
    }
    void buttons_returnThenClick_neverTwoModalWindows() {
        QFETCH(QString, pressed);
        QFETCH(QString, clicked);
        int mostOpen = 0; // About windows and messages at one time
        int opened = 0;
        MessageBox::SetHandler([&](const MessageBox::Message&) {
            ++opened;
            mostOpen = std::max(mostOpen, QApplication::activeModalWidget() ? 2 : 1);
        });
        // Looks at the open windows now and then, and closes one that has had its time.
        QTimer watch;
        QPointer<QWidget> seen;
        connect(&watch, &QTimer::timeout, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            int open = 0;
            for (QWidget* top : QApplication::topLevelWidgets()) {
                open += top->isVisible() && top->objectName() == "frmAbout";
            }
            mostOpen = std::max(mostOpen, open);
            if (modal && modal == seen) {
                modal->close();
            } else if (modal) {
                ++opened;
            }
            seen = modal;
        });
        watch.start(120);
        Find(w(), pressed)->setFocus(Qt::TabFocusReason);
        QElapsedTimer since;
        since.start();
        QTest::keyClick(Find(w(), pressed), Qt::Key_Return);
        QTest::mouseClick(w().windowHandle(), Qt::LeftButton, {},
                          Find(w(), clicked)->geometry().center());
        QTRY_COMPARE(opened, 2);
        QTRY_VERIFY(!QApplication::activeModalWidget());
        QTest::qWait(300);
        QCOMPARE(mostOpen, 1);
        QCOMPARE(opened, 2);
    }

    // A click that arrives while a modal window is open (here from a timer) does nothing.
    void buttons_clickWhileModalWindowOpen_isDropped() {
        QDialog modal(&w());
        QTimer::singleShot(0, &modal, [&] {
            qobject_cast<XPButton*>(Find(w(), "cmdStart"))->click();
            modal.close();
        });
        modal.exec();
        QCOMPARE(Describe(w(), "tickets="), QString("tickets=0"));
    }

    // The store cannot be written (a folder where the lock goes): the save still waits once.
    void exit_lockNeverFrees_endsWithinOneWait() {
        QApplication::setQuitOnLastWindowClosed(false);
        QVERIFY(QDir().mkpath(store_->filePath("Brandell/Kivora.conf.lock")));
        QElapsedTimer took;
        took.start();
        QTest::mouseClick(w().windowHandle(), Qt::LeftButton, {},
                          Find(w(), "cmdExit")->geometry().center());
        QCOMPARE_LT(took.elapsed(), 1500);
        QVERIFY(!w().isVisible());
    }

    // Every entry of every list shows whole, closed and open, and an open list shows at most
    // a dozen entries and scrolls the rest.
    void lists_everyStyle_entriesWholeAndPopupShort_data() {
        QTest::addColumn<QString>("style");
        QTest::newRow("default") << QString();
        QTest::newRow("Fusion") << "Fusion";
        QTest::newRow("Windows") << "Windows";
    }
    void lists_everyStyle_entriesWholeAndPopupShort() {
        QFETCH(QString, style);
        const StyleScope scope(style);
        QStringList faults;
        for (const QString& name : kListNames) {
            auto* box = qobject_cast<QComboBox*>(Find(w(), name));
            QVERIFY(box && box->count() > 0);
            box->show(); // the hidden ones too
            const QFontMetrics metrics(box->font());
            QStyleOptionComboBox option;
            option.initFrom(box);
            const QRect field = box->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                             QStyle::SC_ComboBoxEditField, box);
            box->showPopup();
            QAbstractItemView* view = box->view();
            QTRY_VERIFY(view->isVisible());
            const int margin =
                box->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1;
            const QFontMetrics viewMetrics(view->font());
            for (int i = 0; i < box->count(); ++i) {
                const QString text = box->itemText(i);
                const int closed = metrics.horizontalAdvance(text);
                if (closed > field.width()) {
                    faults << QString("%1 closed %2: %3 > %4")
                                  .arg(name, text)
                                  .arg(closed)
                                  .arg(field.width());
                }
                const int open = viewMetrics.horizontalAdvance(text) + 2 * margin;
                const int room = qMin(view->visualRect(box->model()->index(i, 0)).width(),
                                      view->viewport()->width());
                if (open > room) {
                    faults << QString("%1 open %2: %3 > %4").arg(name, text).arg(open).arg(room);
                }
            }
            const int rows = view->viewport()->height() / qMax(view->sizeHintForRow(0), 1);
            if (rows > 13) {
                faults << QString("%1: %2 rows").arg(name).arg(rows);
            }
            if (view->verticalScrollBar()->isVisible() != (box->count() > rows)) {
                faults << QString("%1: scroll bar %2")
                              .arg(name)
                              .arg(view->verticalScrollBar()->isVisible());
            }
            box->hidePopup();
            QTRY_VERIFY(!view->isVisible());
        }
        QCOMPARE(faults.join('\n'), QString());
    }

    // The wheel over a list that lacks focus leaves it, and the tickets, alone.
    void wheel_overNumbersList_changesItOnlyWithFocus_data() {
        QTest::addColumn<bool>("focused");
        QTest::addColumn<QString>("numbers");
        QTest::addColumn<int>("tickets");
        QTest::newRow("without focus") << false << "3" << 4;
        QTest::newRow("with focus") << true << "4" << 0;
    }
    void wheel_overNumbersList_changesItOnlyWithFocus() {
        QFETCH(bool, focused);
        QFETCH(QString, numbers);
        QFETCH(int, tickets);
        QCOMPARE(Apply(w(), "cboTickets=4;cmdStart"), QString());
        auto* box = qobject_cast<QComboBox*>(Find(w(), "cboN"));
        (focused ? static_cast<QWidget*>(box) : &grid())->setFocus(Qt::OtherFocusReason);
        Wheel(box, 1);
        QCOMPARE(box->currentText(), numbers);
        QCOMPARE(w().List("cboN")->Text(), numbers);
        QCOMPARE(grid().Rows() - 1, tickets);
        QCOMPARE(box->hasFocus(), focused);
    }

    // A focused list, and the grid even when empty, wear a ring on the panel around them.
    void focus_listOrEmptyGrid_ringAroundIt_data() {
        QTest::addColumn<QString>("control");
        QTest::newRow("numbers list") << "cboN";
        QTest::newRow("preferred list") << "cboPreferred";
        QTest::newRow("empty grid") << "flxGrid";
    }
    void focus_listOrEmptyGrid_ringAroundIt() {
        QFETCH(QString, control);
        QWidget* c = Find(w(), control);
        QCOMPARE(grid().Rows(), 1);
        const QColor ring(255, 255, 128);
        Find(w(), "cmdStart")->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(!c->hasFocus());
        const int before = RingPixels(w().grab().toImage(), c->geometry(), 3, ring);
        c->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(c->hasFocus());
        const int after = RingPixels(w().grab().toImage(), c->geometry(), 3, ring);
        // Most of a 2-pixel ring round the control.
        QVERIFY2(after - before >= 2 * (c->width() + c->height()),
                 qPrintable(QString("%1 ring pixels, %2 before").arg(after).arg(before)));
    }

    void colours_palette_textReadableAndDesignKept_data() {
        QTest::addColumn<bool>("dark");
        QTest::addColumn<QString>("what");
        QTest::addColumn<QColor>("designed"); // the colour kept under the light palette
        const QColor caption(192, 64, 0);
        for (const bool dark : {false, true}) {
            const char* palette = dark ? "dark" : "light";
            for (const char* button :
                 {"cmdPrint", "cmdMode", "cmdStart", "cmdHelp", "cmdAbout", "cmdExit"}) {
                QTest::addRow("%s %s", palette, button) << dark << button << caption;
            }
            const QColor text = QApplication::palette().color(QPalette::Text);
            QTest::addRow("%s bonus cell", palette) << dark << "cell 1 4" << text;
            QTest::addRow("%s number cell", palette) << dark << "cell 2 1" << text;
            QTest::addRow("%s heading", palette) << dark << "cell 0 2" << QColor();
            QTest::addRow("%s label", palette) << dark << "cell 2 0" << QColor();
        }
    }
    void colours_palette_textReadableAndDesignKept() {
        QFETCH(bool, dark);
        QFETCH(QString, what);
        QFETCH(QColor, designed);
        const QPalette light = QApplication::palette();
        if (dark) {
            QApplication::setPalette(DarkPalette());
        }
        auto restore = qScopeGuard([&] { QApplication::setPalette(light); });
        Window created; // the window as a dark desktop creates it
        created.w.Form_Load();
        created.w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&created.w));
        QCOMPARE(Apply(created.w, "cboTickets=2;cboBonus=Yes;cmdStart"), QString());
        QTest::mouseMove(&created.w, QPoint(470, 380)); // no button under the pointer
        const Painted painted = Text(created.w, what);
        const QString seen = QString("%1 on %2, %3:1")
                                 .arg(painted.text.name(), painted.back.name())
                                 .arg(painted.contrast);
        if (dark) {
            QVERIFY2(painted.contrast >= 4.5, qPrintable(seen));
        } else if (designed.isValid()) { // as designed, up to anti-aliasing
            const int off = qMax(qMax(qAbs(painted.text.red() - designed.red()),
                                      qAbs(painted.text.green() - designed.green())),
                                 qAbs(painted.text.blue() - designed.blue()));
            QVERIFY2(off <= 24, qPrintable(seen));
        }
    }

    // Ctrl+C copies the tickets wherever the focus is in the window, except from a name box
    // with selected text, which copies that text.
    void copy_ctrlCInWindow_copiesTicketsUnlessNameSelected_data() {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("focus");
        QTest::addColumn<bool>("select");
        QTest::addColumn<QString>("copied"); // "tickets", or the text expected
        QTest::newRow("grid") << "cmdStart"
                              << "flxGrid" << false << "tickets";
        QTest::newRow("list") << "cmdStart"
                              << "cboTickets" << false << "tickets";
        QTest::newRow("button") << "cmdStart"
                                << "cmdExit" << false << "tickets";
        QTest::newRow("name, nothing selected") << "cboDrawBasedOn=Name;txtName=Ada;cmdStart"
                                                << "txtName" << false << "tickets";
        QTest::newRow("name, selected") << "cboDrawBasedOn=Name;txtName=Ada;cmdStart"
                                        << "txtName" << true << "Ada";
        QTest::newRow("date, nothing selected") << "cboDrawBasedOn=Date;cmdStart"
                                                << "dtPicker" << false << "tickets";
        QTest::newRow("no tickets") << ""
                                    << "cboTickets" << false << "kept";
    }
    void copy_ctrlCInWindow_copiesTicketsUnlessNameSelected() {
        QFETCH(QString, steps);
        QFETCH(QString, focus);
        QFETCH(bool, select);
        QFETCH(QString, copied);
        QCOMPARE(Apply(w(), "cboTickets=3;" + steps), QString());
        QWidget* target = Find(w(), focus);
        target->setFocus(Qt::TabFocusReason);
        auto* edit = qobject_cast<QLineEdit*>(target);
        if (!edit) { // the date picker's inner text
            edit = target->findChild<QLineEdit*>();
        }
        if (edit) {
            edit->deselect();
            if (select) {
                edit->selectAll();
            }
        }
        QApplication::clipboard()->setText("kept");
        QTest::keyClick(w().windowHandle(), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(),
                 copied == "tickets" ? grid().TicketsAsText() : copied);
        QVERIFY(QApplication::focusWidget() == target ||
                target->isAncestorOf(QApplication::focusWidget()));
    }

    // Both ways out store the choices first, then close every window, the main window last.
    void exit_route_savesAndClosesEveryWindowMainLast_data() {
        QTest::addColumn<QString>("route");
        QTest::newRow("Exit button") << "cmdExit";
        QTest::newRow("close image") << "imgClose";
    }
    void exit_route_savesAndClosesEveryWindowMainLast() {
        QFETCH(QString, route);
        QApplication::setQuitOnLastWindowClosed(false);
        QCOMPARE(Apply(w(), "cboN=6;cboTotal=49;cmdMode"), QString());
        QWidget other;
        other.setObjectName("other");
        other.show();
        CloseOrder order;
        other.installEventFilter(&order);
        w().installEventFilter(&order);
        QTest::mouseClick(Find(w(), route), Qt::LeftButton);
        QCOMPARE(order.closed, QStringList({"other", "frmMain"}));
        QVERIFY(!w().isVisible() && !other.isVisible());
        const QSettings stored(QSettings::NativeFormat, QSettings::UserScope, "Brandell", "Kivora");
        QCOMPARE(stored.allKeys().size(), 8);
        QCOMPARE(stored.value("NumbersDrawn").toInt(), 3);
        QCOMPARE(stored.value("NumbersTotal").toInt(), 39);
        QCOMPARE(stored.value("GameMode").toInt(), 1);
    }
};

QTEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
