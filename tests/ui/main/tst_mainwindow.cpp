// The main window driven as a user drives it: picks through the lists' own popups, clicks,
// key presses and pointer moves through the window, on the offscreen platform.
#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFontInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QScrollBar>
#include <QSettings>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <QtTest/qtestspontaneevent.h>

#include <memory>

#include "print/PrintError.h"
#include "print/PrintUnconfirmed.h"
#include "support/Files.h"
#include "support/MainWindowOnFakes.h"
#include "support/RecordingPort.h"
#include "ui/about/FrmAbout.h"
#include "ui/common/MessageBox.h"
#include "ui/controls/FlexGrid.h"
#include "ui/controls/ReadableColor.h"
#include "ui/controls/XPButton.h"
#include "ui/main/FrmMain.h"
#include "ui/main/OptionPanel.h"

using namespace kivora;

namespace {

// A printer that ends the document as told: "prints", "holds", "fails" or "unconfirmed".
struct TellingPort final : RecordingPort {
    explicit TellingPort(QString told) : outcome(std::move(told)) {}
    QString outcome;
    bool Held() const override { return outcome == "holds"; }
    void DoEndDoc() override {
        if (outcome == "fails") {
            throw PrintError("fails");
        }
        if (outcome == "unconfirmed") {
            throw PrintUnconfirmed("no answer in time");
        }
        RecordingPort::DoEndDoc();
    }
};

using Window = test::MainWindowOnFakes;

QList<MessageBox::Message> messages; // shown since the test began

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

// Loads and shows the window and waits until it is active.
bool Shown(FrmMain& w) {
    w.Form_Load();
    w.show();
    w.activateWindow();
    return QTest::qWaitForWindowActive(&w);
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
// onto the control ("@frmMain": the bare background), "~name" turns the wheel a notch over it,
// "^name" presses Ctrl+C with the focus there ("^name*": its text selected) and "kept" on the
// clipboard. Returns the step that failed.
QString Apply(FrmMain& w, const QString& steps) {
    for (const QString& step : steps.split(';', Qt::SkipEmptyParts)) {
        const QString name = step.section('=', 0, 0).remove(QRegularExpression("[@~^*]"));
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
        } else if (step.startsWith('~')) { // as the platform delivers it, not as the program's own
            QWheelEvent wheel(at, c->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                              Qt::NoModifier, Qt::NoScrollPhase, false);
            QSpontaneKeyEvent::setSpontaneous(&wheel);
            qApp->notify(c, &wheel);
        } else if (step.startsWith('^')) {
            c->setFocus(Qt::TabFocusReason);
            auto* edit = qobject_cast<QLineEdit*>(c) ? qobject_cast<QLineEdit*>(c)
                                                     : c->findChild<QLineEdit*>(); // the date's
            if (edit) {
                edit->deselect();
                if (step.endsWith('*')) {
                    edit->selectAll();
                }
            }
            QApplication::clipboard()->setText("kept");
            QTest::keyClick(w.windowHandle(), Qt::Key_C, Qt::ControlModifier);
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

// The window's control that has the focus, or holds the widget that has it (the date's edit).
QString Focused(FrmMain& w) {
    QWidget* focus = QApplication::focusWidget();
    while (focus && focus->parentWidget() != &w) {
        focus = focus->parentWidget();
    }
    return focus ? focus->objectName() : "?";
}

// The controls Tab visits, from cboTickets round to it again.
QString TabPath(FrmMain& w) {
    QWidget* first = Find(w, "cboTickets");
    first->setFocus(Qt::TabFocusReason);
    QStringList path;
    do {
        path << Focused(w);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    } while (QApplication::focusWidget() != first && path.size() < 40);
    path.removeDuplicates(); // Tab also walks the date's parts
    return path.join(' ');
}

// The panel as Start reads it, as "Lotto 1x3/10 bonus 0/2 Random 0 Mixed +none@0 -none".
QString Record(const DrawSettings& s) {
    const auto number = [](std::optional<int32_t> n) {
        return n ? QString::number(*n) : QString("none");
    };
    const char* bases[] = {"None", "Random", "Date", "Sign", "Name"};
    const char* preferences[] = {"Low", "High", "Mixed"};
    return QString::asprintf("%s %dx%d/%d bonus %d/%d %s %d %s +",
                             s.gameMode == GameMode::Lotto ? "Lotto" : "Daily", s.ticketCount,
                             s.numbersPerTicket, s.highestNumber, int(s.bonusPlayed),
                             int(s.highestBonus), bases[int(s.drawBasedOn)], int(s.basisSign),
                             preferences[int(s.preference)]) +
           number(s.includeNumber) + '@' + QString::number(s.includePosition) + " -" +
           number(s.excludeNumber);
}

// The "name=state" that a check "name=...", or the "name" that a check "name", asks for; led
// by "!" when the control is hidden. A list's state is "entry:first..last" (after any
// "Don't ..." entry); the grid's its headings, "?" marking a column not 27 pixels wide and
// right-aligned; the window's its title. "tab" gives the tab path, "tickets" the tickets' count,
// "focus" the control with focus, "message" the last message as "title|icon|modal|text",
// "clipboard" its text ("tickets": the tickets shown) and "record" the panel as Start reads it.
QString Describe(FrmMain& w, const QString& check) {
    const QString name = check.section('=', 0, 0).remove('!');
    QWidget* c = name == "frmMain" ? &w : Find(w, name);
    const FlexGrid& grid = *w.Grid();
    const MessageBox::Message m = messages.value(messages.size() - 1);
    const QString clip = QApplication::clipboard()->text();
    QString state = name == "tab"       ? TabPath(w)
                    : name == "tickets" ? QString::number(grid.Rows() - 1)
                    : name == "focus"   ? Focused(w)
                    : name == "clipboard"
                        ? (grid.HasTickets() && clip == grid.TicketsAsText() ? "tickets" : clip)
                    : name == "message"
                        ? QString("%1|%2|%3|%4").arg(m.title).arg(m.icon).arg(m.modal).arg(m.text)
                    : name == "record" ? Record(w.Panel()->ReadDrawSettings())
                    : !c               ? QString()
                                       : c->property(c == &w ? "windowTitle" : "text").toString();
    if (auto* box = qobject_cast<QComboBox*>(c)) {
        const int first = box->itemText(0).startsWith("Don't") ? 1 : 0;
        state = box->currentText() + ':' + box->itemText(first) + ".." +
                box->itemText(box->count() - 1);
    } else if (c == &grid) {
        QStringList cols;
        for (int col = 0; col < grid.Cols(); ++col) {
            const int width = col ? grid.columnWidth(col - 1) : grid.verticalHeader()->width();
            const bool right = grid.ColAlignmentFlags(col) == (Qt::AlignRight | Qt::AlignVCenter);
            cols << grid.CellText(0, col).trimmed() + (width == 27 && right ? "" : "?");
        }
        state = cols.join(' ').trimmed();
    } else if (auto* date = qobject_cast<QDateEdit*>(c)) {
        state = date->date() == QDate::currentDate() ? "today" : date->date().toString();
    }
    return (!c || c->isVisible() ? "" : "!") + name + (check.contains('=') ? '=' + state : "");
}

// How many pixels of `image` in the 3-pixel band around `inner` have `colour`.
int RingPixels(const QImage& image, const QRect& inner, const QColor& colour) {
    int count = 0;
    for (int y = inner.top() - 3; y <= inner.bottom() + 3; ++y) {
        for (int x = inner.left() - 3; x <= inner.right() + 3; ++x) {
            count += !inner.contains(x, y) && image.valid(x, y) && image.pixelColor(x, y) == colour;
        }
    }
    return count;
}

// How well a text reads: the strongest contrast between a pixel of `part` as drawn and the same
// pixel drawn while `show(false)` has taken the text away.
double Contrast(QWidget* part, const std::function<void(bool)>& show) {
    const QImage with = part->grab().toImage();
    show(false);
    const QImage without = part->grab().toImage();
    show(true);
    double best = 1;
    for (int y = 0; y < with.height(); ++y) {
        for (int x = 0; x < with.width(); ++x) {
            best = std::max(best, ContrastRatio(with.pixelColor(x, y), without.pixelColor(x, y)));
        }
    }
    return best;
}

// Name ("!": hidden at first), then left, top, width and height in twips, as designed: a label
// sized to its text gives only its place, linSlash the box of its ends.
const QString kLayout =
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

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

    FrmMain& w() { return window_->w; }
    FlexGrid& grid() { return *w().Grid(); }

    std::unique_ptr<QTemporaryDir> store_; // every test starts as a first run
    std::unique_ptr<Window> window_;

private slots:
    void initTestCase() { test::SetUpWindowTests(); }

    void init() {
        store_ = std::make_unique<QTemporaryDir>();
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, store_->path());
        qputenv("XDG_DATA_HOME", store_->path().toLocal8Bit()); // the ticket history
        messages.clear();
        MessageBox::SetHandler([](const MessageBox::Message& m) { messages << m; });
        window_ = std::make_unique<Window>();
        QVERIFY(Shown(w()));
    }

    void cleanup() { window_.reset(); }

    // The window as created: frameless at the background picture's size, every control in its
    // place, laid out for Liberation Sans with every two-line label holding its whole text.
    void layout_created_controlsStandAsDesigned() {
        Window created;
        QVERIFY(created.w.windowFlags().testFlag(Qt::FramelessWindowHint));
        QCOMPARE(created.w.minimumSize(), created.w.maximumSize());
        QCOMPARE(created.w.size(), QSize(500, 408));
        QCOMPARE(QFontInfo(Find(created.w, "lblTickets")->font()).family(),
                 QString("Liberation Sans"));
        QCOMPARE(created.w.Grid()->CellText(0, 0), QString(8, ' ')); // the corner heading
        QStringList want, got;
        for (const QString& row : kLayout.split(';')) {
            QStringList px = row.split(' ');
            const QString name = px.takeFirst();
            for (QString& twips : px) {
                twips = QString::number(qRound(twips.toInt() / 15.0));
            }
            want << name + ' ' + px.join(' ');
            const QWidget* c = Find(created.w, QString(name).remove('!'));
            const auto* label = qobject_cast<const QLabel*>(c);
            QRect r = c ? c->geometry() : QRect();
            if (name == "linSlash") {
                r = r.intersected(
                    QRect(px[0].toInt(), px[1].toInt(), px[2].toInt(), px[3].toInt()));
            } else if (label && label->wordWrap() &&
                       label->heightForWidth(label->width()) > label->height()) {
                r = QRect(); // its text cut off
            }
            got << QString("%1%2 %3 %4 %5 %6")
                       .arg(c && c->isVisibleTo(&created.w) ? "" : "!", name.mid(name[0] == '!'))
                       .arg(r.left())
                       .arg(r.top())
                       .arg(r.width())
                       .arg(r.height())
                       .section(' ', 0, int(px.size()));
        }
        QCOMPARE(got, want);
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
               "?lblStatus=;?flxGrid=N1 N2 N3;?record=Lotto 1x3/10 bonus 0/2 Random 0 Mixed "
               "+none@0 -none";
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

        QTest::newRow("grid after Start")
            << "cboN=4;cmdStart;?flxGrid=N1 N2 N3 N4;cboN=7;cboBonus=Yes;cmdStart;"
               "?flxGrid=N1 N2 N3 N4 N5 N6 N7 B;cmdMode;cmdStart;?flxGrid=N1 N2 N3 N4 N5 N6 N7";
        QTest::newRow("refused: include and exclude the same") // the focus leaves the exclude
            << "cboTickets=3;cmdStart;cboInclude=7;cboExclude=7;cboTickets=4;cmdStart;?tickets=3;"
               "?focus=cboExclude;?message=Lotto Kivora|1|1|You're trying to exclude and include "
               "the "
               "same number (7).\r\nIf you want to include a number and exclude one at the same "
               "time, \r\nthen make sure that the numbers are different.";
        // A list takes the wheel only with focus, which a pick gives it and the wheel does not.
        QTest::newRow("wheel")
            << "cboTickets=4;cmdStart;~cboN;?cboN=3:3..7;?tickets=4;?focus=cmdStart;"
               "cboN=3;~cboN;?cboN=4:3..7;?tickets=0";
        // Ctrl+C copies the tickets anywhere in the window but from a text box with a selection.
        QTest::newRow("Ctrl+C")
            << "cboTickets=3;cmdStart;^flxGrid;?clipboard=tickets;?focus=flxGrid;^cmdExit;"
               "?clipboard=tickets;?focus=cmdExit;cboDrawBasedOn=Name;txtName=Ada;^txtName;"
               "?clipboard=tickets;^txtName*;?clipboard=Ada;?focus=txtName;cboDrawBasedOn=Date;"
               "^dtPicker;?clipboard=tickets;?focus=dtPicker";
        QTest::newRow("Ctrl+C without tickets") << "^cboTickets;?clipboard=kept";
        // "@name=text": the pointer onto the control shows that hint.
        QTest::newRow("hints")
            << "@cmdPrint=> Print your tickets;@cmdHelp=> Get help and how-to information;"
               "@cmdMode=> Change mode (Lotto for 6/49, Powerball etc. or Daily for Pick3, Daily4"
               "...);@cmdAbout=> Program information, support e-mail address and web site;"
               "@cmdExit=> Exit program;@lblTickets=> Number of tickets to draw (1 to 50);"
               "@lblNumbers=> How many numbers out of total (for example: 6/49);"
               "@lblBonus=> Select Yes to draw a bonus number, otherwise No;"
               "@lblDate=> Draw numbers based on Date, Sign, Name or Randomly;"
               "@lblInclude=> Include a specific number on all tickets;"
               "@lblExclude=> Exclude a specific number from all tickets;"
               "@lblPreferred=> Specify the type of numbers to draw from (Low, High or Mixed);"
               "@frmMain=";
        QTest::newRow("hints after a choice")
            << "cboBonus=Yes;@lblBonusMax=> The highest bonus number for a particular lottery "
               "(select 42 for PowerBall);cboDrawBasedOn=Date;@cmdExit;"
               "@lblPick=> Draw the numbers based on a date;cboDrawBasedOn=Sign;@cmdExit;"
               "@lblPick=> Draw the numbers based on a Zodiac sign;cboDrawBasedOn=Name;@cmdExit;"
               "@lblPick=> Draw the numbers based on a name, a word or a number (can also be "
               "blank);cmdMode;cboInclude=5;@cmdExit;@lblIncludePos=> Select "
               "a position to include the number in (for Daily lotteries only)";
        // Random leaves lblPick blank; option lists and the rest have no hint of their own.
        QTest::newRow("no hint of their own")
            << "@cmdStart;@lblPick;@cboInclude;@cboN;@flxGrid;@lblType;@lblStatus;"
               "@imgMin=> Draw your numbers based on selected options;cboDrawBasedOn=Name;"
               "@cmdStart;@txtName=> Draw your numbers based on selected options";
        // The panel as Start reads it: numbers from the entries' texts, no include position in
        // Lotto mode.
        QTest::newRow("record")
            << "cboTickets=5;cboN=6;cboTotal=49;cboBonus=Yes;cboBonusMax=42;cboInclude=45;"
               "cboExclude=7;cboPreferred=Low numbers;cboDrawBasedOn=Sign;cboSigns=Leo;"
               "?record=Lotto 5x6/49 bonus 1/42 Sign 4 Low +45@0 -7;cboTotal=99;cboBonusMax=2;"
               "cboBonus=No;cboPreferred=High numbers;cboDrawBasedOn=Name;cboExclude=99;"
               "?record=Lotto 5x6/99 bonus 0/2 Name 4 High +none@0 -99";
    }

    void options_script_windowShowsState() {
        QFETCH(QString, script);
        for (const QString& item : script.split(';')) {
            if (item.startsWith('?')) {
                QCOMPARE(Describe(w(), item.mid(1)), item.mid(1));
            } else {
                QCOMPARE(Apply(w(), item), QString());
            }
            if (item.startsWith('@') && item.contains('=')) {
                QCOMPARE(Describe(w(), "lblStatus="), "lblStatus=" + item.section('=', 1));
            }
        }
    }

    // Printed, held, failed, unanswered, nothing to print: each its own message.
    void cmdPrint_printerOutcome_message() {
        QStringList seen;
        for (const QString outcome : {"prints", "holds", "fails", "unconfirmed", ""}) {
            Window printing([outcome] { return std::make_unique<TellingPort>(outcome); });
            printing.w.Form_Load();
            if (!outcome.isEmpty()) {
                printing.w.cmdStart_Click();
            }
            printing.w.cmdPrint_Click();
            seen << Describe(printing.w, "message=");
        }
        QCOMPARE(seen, QStringList({"message=|0|1|",
                                    "message=Lotto Kivora|1|0|Your tickets are waiting in the "
                                    "print queue: the printer is paused or holds the job.",
                                    "message=Lotto Kivora|3|1|Make sure you have a printer "
                                    "installed and that it is turned on.",
                                    "message=Lotto Kivora|2|1|The printer did not answer in "
                                    "time. Your tickets may still print, so check the printer "
                                    "before printing again.",
                                    "message=Lotto Kivora|3|1|There's nothing to print. \r\nClick "
                                    "Start button to draw numbers and then try printing."}));
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

    // Every entry shows whole, in the closed list and in the open one, and an open list shows
    // at most 13 entries and scrolls the rest instead of running down the screen.
    void lists_opened_entriesWholeAndPopupShort() {
        QStringList faults;
        for (QComboBox* box : w().findChildren<QComboBox*>()) {
            box->show(); // the hidden ones too
            QStyleOptionComboBox option;
            option.initFrom(box);
            const int field = box->style()
                                  ->subControlRect(QStyle::CC_ComboBox, &option,
                                                   QStyle::SC_ComboBoxEditField, box)
                                  .width();
            box->showPopup();
            QAbstractItemView* view = box->view();
            QTRY_VERIFY(view->isVisible());
            for (int i = 0; i < box->count(); ++i) {
                const QString text = box->itemText(i);
                if (box->fontMetrics().horizontalAdvance(text) > field ||
                    view->fontMetrics().horizontalAdvance(text) > view->viewport()->width()) {
                    faults << box->objectName() + ": " + text;
                }
            }
            const int rows = view->viewport()->height() / qMax(view->sizeHintForRow(0), 1);
            if (rows > 13 || view->verticalScrollBar()->isVisible() != (box->count() > rows)) {
                faults << box->objectName() + QString(": %1 rows, a scroll bar?").arg(rows);
            }
            box->hidePopup();
        }
        QCOMPARE(faults.join('\n'), QString());
    }

    // A focused list, and the grid even when empty, wear a ring on the panel around them.
    void focus_listOrEmptyGrid_ringAroundIt() {
        QCOMPARE(grid().Rows(), 1);
        for (const char* name : {"cboN", "flxGrid"}) {
            QWidget* c = Find(w(), name);
            Find(w(), "cmdStart")->setFocus(Qt::TabFocusReason);
            QTRY_VERIFY(!c->hasFocus());
            const int before = RingPixels(w().grab().toImage(), c->geometry(), {255, 255, 128});
            c->setFocus(Qt::TabFocusReason);
            QTRY_VERIFY(c->hasFocus());
            const int after = RingPixels(w().grab().toImage(), c->geometry(), {255, 255, 128});
            QCOMPARE_GE(after - before, 2 * (c->width() + c->height())); // most of 2 pixels round
        }
    }

    // The title strip's images are buttons that assistive tools can press.
    void accessible_titleImage_pressMinimizes() {
        QAccessibleInterface* image = QAccessible::queryAccessibleInterface(Find(w(), "imgMin"));
        QCOMPARE(image->text(QAccessible::Name), QString("Minimize"));
        image->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QTRY_VERIFY(w().windowState() & Qt::WindowMinimized);
    }
    // Under a dark palette every caption and cell text, in this window and in About, reads at
    // 4.5:1 or better.
    void colours_darkPalette_textReadable() {
        const QPalette light = QApplication::palette();
        auto restore = qScopeGuard([&] { QApplication::setPalette(light); });
        QApplication::setPalette(QPalette(QColor(53, 53, 53))); // light text on dark faces
        Window created; // the window as such a desktop creates it
        FrmMain& m = created.w;
        QVERIFY(Shown(m));
        QCOMPARE(Apply(m, "cboTickets=2;cboBonus=Yes;cmdStart"), QString());
        QTest::mouseMove(&m, QPoint(470, 380)); // no button under the pointer
        QStringList faults;
        const auto check = [&](const QString& what, QWidget* part,
                               const std::function<void(bool)>& show) {
            if (const double contrast = Contrast(part, show); contrast < 4.5) {
                faults << QString("%1: %2:1").arg(what).arg(contrast);
            }
        };
        const auto caption = [&](XPButton* b) {
            const QString was = b->Caption();
            b->setIcon(QIcon()); // it moves with the caption's width
            check(b->objectName(), b, [&](bool on) { b->SetCaption(on ? was : ""); });
        };
        for (XPButton* b : m.findChildren<XPButton*>()) {
            caption(b);
        }
        FlexGrid& g = *m.Grid(); // row 0 holds the headings, column 0 the labels
        for (const QPoint cell : {QPoint(4, 1), QPoint(1, 2), QPoint(2, 0), QPoint(0, 2)}) {
            g.SetRow(cell.y());
            g.SetCol(cell.x());
            const std::string was = g.Text();
            check(QString("cell %1 %2").arg(cell.y()).arg(cell.x()), &g,
                  [&](bool on) { g.SetText(on ? was : std::string()); });
        }
        QTimer::singleShot(0, &m, [&] {
            auto* about = qobject_cast<FrmAbout*>(QApplication::activeModalWidget());
            if (about && QTest::qWaitForWindowActive(about)) {
                caption(about->findChild<XPButton*>("cmdClose"));
            }
            QVERIFY(about && about->close());
        });
        m.cmdAbout_Click();
        QCOMPARE(faults.join('\n'), QString());
    }

    // Any stored mode but 0 opens in Daily mode (a stored 5 once opened in Lotto mode); nothing
    // stored opens in Lotto mode.
    void LoadSettings_storedGameMode_anyButZeroIsDaily() {
        QStringList seen;
        for (const QByteArray store : {"", "GameMode=0", "GameMode=1", "GameMode=5"}) {
            QVERIFY(test::PutFile(store_->filePath("Brandell/Kivora.conf"), "[General]\n" + store));
            Window reopened;
            reopened.w.Form_Load();
            seen << qobject_cast<XPButton*>(Find(reopened.w, "cmdMode"))->Caption();
        }
        QCOMPARE(seen, QStringList({"Mode: Lotto", "Mode: Lotto", "Mode: Daily", "Mode: Daily"}));
    }

    // Exit closes every window, the main window last, and a store that cannot be written (a
    // folder where its lock goes) does not hold it up.
    void cmdExit_storeLocked_closesEveryWindowMainLastAtOnce() {
        QApplication::setQuitOnLastWindowClosed(false);
        QVERIFY(QDir().mkpath(store_->filePath("Brandell/Kivora.conf.lock")));
        QWidget other;
        other.setObjectName("other");
        other.show();
        CloseOrder order;
        other.installEventFilter(&order);
        w().installEventFilter(&order);
        QElapsedTimer took;
        took.start();
        QTest::mouseClick(Find(w(), "cmdExit"), Qt::LeftButton);
        QCOMPARE_LT(took.elapsed(), 1500);
        QCOMPARE(order.closed, QStringList({"other", "frmMain"}));
        QVERIFY(!w().isVisible() && !other.isVisible());
    }
};

QTEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
