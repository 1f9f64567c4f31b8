// The main window driven as a user drives it: picks through the lists' own popups, clicks,
// key presses and pointer moves through the window, on the offscreen platform.
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QHeaderView>
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
#include "print/RecordingPort.h"
#include "ui/controls/FlexGrid.h"
#include "ui/controls/XPButton.h"
#include "ui/main/FrmMain.h"

using namespace kivora;

namespace {

class FakeClock final : public Clock {
public:
    float TimeOfDaySeconds() const override { return 36000.5f; }
};

struct Window {
    Generator generator = Generator::FromSeed(1);
    FakeClock clock;
    PlainSeedLocale locale;
    FrmMain w{MainWindowServices{generator, clock, locale, {}, nullptr}};
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
