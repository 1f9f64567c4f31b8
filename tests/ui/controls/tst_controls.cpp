// The controls on their own: the owner-drawn button, the option list, the ticket grid and the
// image, each in a plain host window on the offscreen platform.
#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QSignalSpy>
#include <QTest>

#include "engine/Ticket.h"
#include "engine/TicketGrid.h"
#include "ui/controls/FlexGrid.h"
#include "ui/controls/ImageBox.h"
#include "ui/controls/OptionList.h"
#include "ui/controls/XPButton.h"

using namespace kivora;

Q_DECLARE_METATYPE(Ticket)

namespace {

// The offscreen plugin notes every popup it cannot raise or grab for; nothing to act on.
QtMessageHandler previousHandler = nullptr;
void QuietPopupNotes(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (!text.startsWith(QLatin1String("This plugin does not support"))) {
        previousHandler(type, context, text);
    }
}

const char* const kFormat =
    "<        |>    1 |>    2 |>    3 |>    4 |>    5 |>    6 |>    7 |>     B";

bool ShowActive(QWidget& host) {
    host.resize(320, 240);
    host.show();
    host.activateWindow();
    return QTest::qWaitForWindowActive(&host);
}

// A button of the middle of a strip (both ends slanted), 120 x 33 at (20, 20).
XPButton* StripButton(QWidget& host) {
    auto* button = new XPButton(&host);
    button->setGeometry(20, 20, 120, 33);
    button->SetShape(3);
    button->SetCaption(QStringLiteral("Start"));
    return button;
}

// A grid laid out for 3 numbers and a bonus, holding the given tickets.
void WriteTickets(FlexGrid& grid, const QList<Ticket>& tickets) {
    SetUpTicketGrid(grid, 3, true);
    grid.SetRows(static_cast<int>(tickets.size()) + 1);
    for (int i = 0; i < tickets.size(); ++i) {
        WriteTicketRow(grid, i + 1, tickets[i]);
    }
}

} // namespace

class ControlsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { previousHandler = qInstallMessageHandler(QuietPopupNotes); }

    void xpButton_mouseSequence_clicksOnlyOnCompletedLeftClick_data();
    void xpButton_mouseSequence_clicksOnlyOnCompletedLeftClick();
    void xpButton_keyOnFocusedButton_clicks_data();
    void xpButton_keyOnFocusedButton_clicks();
    void xpButton_pointerMoves_reportsMouseOverWhileOverIt();
    void xpButton_caption_readsBackExactly();

    void optionList_actions_selectionAndHandlerRuns_data();
    void optionList_actions_selectionAndHandlerRuns();

    void flexGrid_formatString_givesDesignColumns();
    void flexGrid_clear_keepsCountsAndEmptiesEveryCell();
    void flexGrid_rowsOne_removesTicketRows();
    void flexGrid_cellBackColor_coloursCurrentCellOnly();
    void flexGrid_text_readsBackAndShowsInItsCell_data();
    void flexGrid_text_readsBackAndShowsInItsCell();
    void flexGrid_ctrlC_copiesOneTabSeparatedLinePerTicket_data();
    void flexGrid_ctrlC_copiesOneTabSeparatedLinePerTicket();

    void imageBox_mouseSequence_reportsButtonsAndLeftClickOnly_data();
    void imageBox_mouseSequence_reportsButtonsAndLeftClickOnly();
};

// ---- XPButton ----

void ControlsTest::xpButton_mouseSequence_clicksOnlyOnCompletedLeftClick_data() {
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<QPoint>("press"); // in the button
    QTest::addColumn<QPoint>("release");
    QTest::addColumn<int>("clicks");

    const QPoint centre(60, 16);
    QTest::newRow("left inside") << Qt::LeftButton << centre << QPoint(70, 20) << 1;
    QTest::newRow("right inside") << Qt::RightButton << centre << centre << 0;
    QTest::newRow("middle inside") << Qt::MiddleButton << centre << centre << 0;
    QTest::newRow("left released outside") << Qt::LeftButton << centre << QPoint(200, 100) << 0;
    QTest::newRow("left in the corner beside the slant")
        << Qt::LeftButton << QPoint(3, 2) << QPoint(3, 2) << 0;
}

void ControlsTest::xpButton_mouseSequence_clicksOnlyOnCompletedLeftClick() {
    QFETCH(Qt::MouseButton, button);
    QFETCH(QPoint, press);
    QFETCH(QPoint, release);
    QFETCH(int, clicks);

    QWidget host;
    XPButton* b = StripButton(host);
    QVERIFY(ShowActive(host));
    QSignalSpy clicked(b, &XPButton::clicked);
    QTest::mousePress(host.windowHandle(), button, {}, b->mapToParent(press));
    QTest::mouseRelease(host.windowHandle(), button, {}, b->mapToParent(release));
    QCOMPARE(clicked.size(), clicks);
}

void ControlsTest::xpButton_keyOnFocusedButton_clicks_data() {
    QTest::addColumn<Qt::Key>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");

    QTest::newRow("space") << Qt::Key_Space << Qt::KeyboardModifiers();
    QTest::newRow("return") << Qt::Key_Return << Qt::KeyboardModifiers();
    QTest::newRow("keypad enter") << Qt::Key_Enter << Qt::KeyboardModifiers(Qt::KeypadModifier);
}

void ControlsTest::xpButton_keyOnFocusedButton_clicks() {
    QFETCH(Qt::Key, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);

    QWidget host;
    XPButton* b = StripButton(host);
    QVERIFY(ShowActive(host));
    b->setFocus(Qt::TabFocusReason);
    QSignalSpy clicked(b, &XPButton::clicked);
    QTest::keyClick(host.windowHandle(), key, modifiers);
    QTRY_COMPARE(clicked.size(), 1);
    QTest::qWait(150); // an animated click ends once
    QCOMPARE(clicked.size(), 1);
}

void ControlsTest::xpButton_pointerMoves_reportsMouseOverWhileOverIt() {
    QWidget host;
    XPButton* b = StripButton(host);
    QVERIFY(ShowActive(host));
    QSignalSpy over(b, &XPButton::MouseOver);
    QTest::mouseMove(&host, QPoint(200, 150));
    QCOMPARE(over.size(), 0);
    QTest::mouseMove(b, QPoint(50, 16));
    QVERIFY(over.size() >= 1);
    QVERIFY(b->IsHovered());
    const qsizetype entered = over.size();
    QTest::mouseMove(b, QPoint(60, 18));
    QCOMPARE(over.size(), entered + 1);
    QTest::mouseMove(&host, QPoint(200, 150));
    QCOMPARE(over.size(), entered + 1);
    QVERIFY(!b->IsHovered());
}

void ControlsTest::xpButton_caption_readsBackExactly() {
    XPButton b;
    for (const char* caption : {"Mode: Lotto", "Mode: Daily", "&Close", ""}) {
        b.SetCaption(QString::fromUtf8(caption));
        QCOMPARE(b.Caption(), QString::fromUtf8(caption));
    }
}

// ---- OptionList ----

void ControlsTest::optionList_actions_selectionAndHandlerRuns_data() {
    QTest::addColumn<QStringList>("actions");
    QTest::addColumn<int>("index");
    QTest::addColumn<QList<int>>("runs"); // the position each handler run saw

    using Runs = QList<int>;
    QTest::newRow("entries added") << QStringList{"add"} << -1 << Runs{};
    QTest::newRow("entries added after a choice")
        << QStringList{"add", "set 1", "add"} << 1 << Runs{1};
    QTest::newRow("position set") << QStringList{"add", "set 2"} << 2 << Runs{2};
    QTest::newRow("same position set again")
        << QStringList{"add", "set 2", "set 2"} << 2 << Runs{2};
    QTest::newRow("user steps down")
        << QStringList{"add", "set 0", "down", "down"} << 2 << Runs{0, 1, 2};
    QTest::newRow("user picks the chosen entry")
        << QStringList{"add", "set 1", "popup enter"} << 1 << Runs{1};
    QTest::newRow("emptied") << QStringList{"add", "set 1", "clear"} << -1 << Runs{1};
}

void ControlsTest::optionList_actions_selectionAndHandlerRuns() {
    QFETCH(QStringList, actions);
    QFETCH(int, index);
    QFETCH(QList<int>, runs);

    QWidget host;
    auto* box = new QComboBox(&host);
    box->setGeometry(10, 10, 100, 21);
    OptionList list(box);
    QList<int> seen;
    list.SetHandler([&] { seen << list.ListIndex(); });
    QVERIFY(ShowActive(host));
    box->setFocus();
    for (const QString& action : actions) {
        if (action == QLatin1String("add")) {
            list.AddItems({QStringLiteral("No"), QStringLiteral("Yes"), QStringLiteral("Maybe")});
        } else if (action.startsWith(QLatin1String("set "))) {
            list.SetListIndex(action.mid(4).toInt());
        } else if (action == QLatin1String("down")) {
            QTest::keyClick(box, Qt::Key_Down);
        } else if (action == QLatin1String("popup enter")) {
            QTest::keyClick(box, Qt::Key_Down, Qt::AltModifier);
            QVERIFY(box->view()->isVisible());
            QTest::keyClick(box->view(), Qt::Key_Return);
        } else if (action == QLatin1String("clear")) {
            list.Clear();
        }
    }
    QCOMPARE(list.ListIndex(), index);
    QCOMPARE(box->currentIndex(), index);
    QCOMPARE(list.Text(), list.ItemText(index));
    QCOMPARE(seen, runs);
}

// ---- FlexGrid ----

void ControlsTest::flexGrid_formatString_givesDesignColumns() {
    FlexGrid grid{QLatin1String(kFormat)};
    QCOMPARE(grid.Rows(), 1);
    QCOMPARE(grid.Cols(), 9);
    QCOMPARE(grid.CellText(0, 0), QStringLiteral("        "));
    QCOMPARE(grid.CellText(0, 1), QStringLiteral("    1 "));
    QCOMPARE(grid.CellText(0, 8), QStringLiteral("     B"));
    QCOMPARE(grid.ColAlignmentFlags(0) & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
    QCOMPARE(grid.ColAlignmentFlags(8) & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    for (int c = 1; c < grid.Cols(); ++c) { // each column fits its heading, blanks included
        QVERIFY(grid.columnWidth(c - 1) >=
                grid.fontMetrics().horizontalAdvance(grid.CellText(0, c)));
    }
}

void ControlsTest::flexGrid_clear_keepsCountsAndEmptiesEveryCell() {
    FlexGrid grid{QLatin1String(kFormat)};
    WriteTickets(grid, {Ticket{{1, 5, 9}, 2}, Ticket{{3, 4, 8}, 1}});
    grid.Clear();
    QCOMPARE(grid.Rows(), 3);
    QCOMPARE(grid.Cols(), 5);
    for (int r = 0; r < grid.Rows(); ++r) {
        for (int c = 0; c < grid.Cols(); ++c) {
            QCOMPARE(grid.CellText(r, c), QString());
            QVERIFY(!grid.CellColor(r, c).isValid());
        }
    }
}

void ControlsTest::flexGrid_rowsOne_removesTicketRows() {
    FlexGrid grid{QLatin1String(kFormat)};
    WriteTickets(grid, {Ticket{{1, 5, 9}, 2}, Ticket{{3, 4, 8}, 1}});
    grid.SetRows(1);
    QCOMPARE(grid.Rows(), 1);
    QCOMPARE(grid.model()->rowCount(), 0);
    QCOMPARE(grid.CellText(0, 4), QStringLiteral("B"));
    grid.SetRows(3);
    QCOMPARE(grid.CellText(1, 1), QString());
    QVERIFY(!grid.CellColor(1, 4).isValid());
}

void ControlsTest::flexGrid_cellBackColor_coloursCurrentCellOnly() {
    FlexGrid grid{QLatin1String(kFormat)};
    SetUpTicketGrid(grid, 3, true);
    grid.SetRows(3);
    grid.SetRow(2);
    grid.SetCol(4);
    grid.SetCellBackColor(kBonusCellColor);
    const QColor orange(255, 192, 128);
    for (int r = 0; r < grid.Rows(); ++r) {
        for (int c = 0; c < grid.Cols(); ++c) {
            QCOMPARE(grid.CellColor(r, c).isValid(), r == 2 && c == 4);
        }
    }
    QCOMPARE(grid.CellColor(2, 4), orange);
    QCOMPARE(grid.model()->data(grid.model()->index(1, 3), Qt::BackgroundRole).value<QColor>(),
             orange);
}

void ControlsTest::flexGrid_text_readsBackAndShowsInItsCell_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("col");

    QTest::newRow("heading") << 0 << 2;
    QTest::newRow("label") << 3 << 0;
    QTest::newRow("number") << 2 << 3;
    QTest::newRow("last cell") << 3 << 4;
}

void ControlsTest::flexGrid_text_readsBackAndShowsInItsCell() {
    QFETCH(int, row);
    QFETCH(int, col);

    FlexGrid grid{QLatin1String(kFormat)};
    SetUpTicketGrid(grid, 3, true);
    grid.SetRows(4);
    grid.SetRow(row);
    grid.SetCol(col);
    QCOMPARE(grid.Text(), row == 0 ? "N2" : std::string());
    grid.SetText("42");
    grid.SetRow(1);
    grid.SetCol(1);
    grid.SetRow(row);
    grid.SetCol(col);
    QCOMPARE(grid.Text(), std::string("42"));
    const QAbstractItemModel* m = grid.model();
    const QVariant shown = row == 0   ? m->headerData(col - 1, Qt::Horizontal)
                           : col == 0 ? m->headerData(row - 1, Qt::Vertical)
                                      : m->data(m->index(row - 1, col - 1));
    QCOMPARE(shown.toString(), QStringLiteral("42"));
}

void ControlsTest::flexGrid_ctrlC_copiesOneTabSeparatedLinePerTicket_data() {
    QTest::addColumn<QList<Ticket>>("tickets");
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("two tickets") << QList<Ticket>{Ticket{{1, 5, 9}, 2}, Ticket{{3, 14, 28}, 11}}
                                 << QStringList{"1\t5\t9\t2", "3\t14\t28\t11"};
    QTest::newRow("no tickets") << QList<Ticket>{} << QStringList{};
}

void ControlsTest::flexGrid_ctrlC_copiesOneTabSeparatedLinePerTicket() {
    QFETCH(QList<Ticket>, tickets);
    QFETCH(QStringList, lines);

    QWidget host;
    auto* grid = new FlexGrid(QLatin1String(kFormat), &host);
    grid->setGeometry(10, 10, 273, 129);
    WriteTickets(*grid, tickets);
    QVERIFY(ShowActive(host));
    QApplication::clipboard()->setText(QStringLiteral("before"));
    grid->setFocus();
    QTest::keyClick(host.windowHandle(), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text().split(QLatin1Char('\n'), Qt::SkipEmptyParts), lines);
}

// ---- ImageBox ----

void ControlsTest::imageBox_mouseSequence_reportsButtonsAndLeftClickOnly_data() {
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<QPoint>("release"); // in the image
    QTest::addColumn<int>("clicks");

    QTest::newRow("left inside") << Qt::LeftButton << QPoint(10, 10) << 1;
    QTest::newRow("right inside") << Qt::RightButton << QPoint(10, 10) << 0;
    QTest::newRow("left released outside") << Qt::LeftButton << QPoint(60, 60) << 0;
}

void ControlsTest::imageBox_mouseSequence_reportsButtonsAndLeftClickOnly() {
    QFETCH(Qt::MouseButton, button);
    QFETCH(QPoint, release);
    QFETCH(int, clicks);

    QWidget host;
    auto* image = new ImageBox(&host);
    image->setGeometry(100, 20, 21, 20);
    QVERIFY(ShowActive(host));
    QSignalSpy down(image, &ImageBox::MouseDown);
    QSignalSpy up(image, &ImageBox::MouseUp);
    QSignalSpy click(image, &ImageBox::Click);
    QTest::mousePress(host.windowHandle(), button, {}, image->mapToParent(QPoint(8, 8)));
    QCOMPARE(down.size(), 1);
    QCOMPARE(down[0][0].value<Qt::MouseButton>(), button);
    QCOMPARE(up.size(), 0);
    QTest::mouseRelease(host.windowHandle(), button, {}, image->mapToParent(release));
    QCOMPARE(up.size(), 1);
    QCOMPARE(up[0][0].value<Qt::MouseButton>(), button);
    QCOMPARE(click.size(), clicks);
}

QTEST_MAIN(ControlsTest)
#include "tst_controls.moc"
