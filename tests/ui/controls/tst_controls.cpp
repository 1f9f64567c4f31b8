// The controls on their own, in one host window on the offscreen platform.
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>
#include <QtTest/qtestspontaneevent.h>

#include "engine/Ticket.h"
#include "engine/TicketGrid.h"
#include "ui/controls/FlexGrid.h"
#include "ui/controls/FocusRing.h"
#include "ui/controls/ImageBox.h"
#include "ui/controls/OptionList.h"
#include "ui/controls/XPButton.h"

using namespace kivora;

class ControlsTest : public QObject {
    Q_OBJECT
    QWidget host_;
    XPButton* left_ = new XPButton(&host_);
    // The end of a strip, on top of the left button and overlapping it by its height.
    XPButton* right_ = new XPButton(&host_);
    ImageBox* image_ = new ImageBox(&host_);
    FlexGrid grid_{QStringLiteral("<|>N1")};

private slots:
    void initTestCase() {
        left_->setGeometry(20, 20, 120, 33);
        right_->setGeometry(107, 20, 120, 33);
        right_->SetShape(1);
        image_->setGeometry(20, 80, 21, 20);
        host_.show();
        QVERIFY(QTest::qWaitForWindowActive(&host_));
    }
    void init() { // two tickets of 3 numbers and a coloured bonus
        SetUpTicketGrid(grid_, 3, true);
        grid_.SetRows(3);
        WriteTicketRow(grid_, 1, Ticket{{1, 5, 9}, 2});
        WriteTicketRow(grid_, 2, Ticket{{3, 14, 28}, 11});
    }

    void mouse_pressAndRelease_clickOnlyForLeftInShape_data() {
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<QLine>("path");        // from press to release, in the host
        QTest::addColumn<QList<int>>("clicks"); // of the left button, the right one, the image
        using C = QList<int>;
        const QPoint button(60, 36), image(30, 90), out(5, 60), overlap(110, 22);
        QTest::newRow("button, left") << Qt::LeftButton << QLine(button, button) << C{1, 0, 0};
        QTest::newRow("button, right") << Qt::RightButton << QLine(button, button) << C{0, 0, 0};
        QTest::newRow("button, released out") << Qt::LeftButton << QLine(button, out) << C{0, 0, 0};
        // Inside the right button's rectangle, but left of its slanted end: the left one shows.
        QTest::newRow("overlap") << Qt::LeftButton << QLine(overlap, overlap) << C{1, 0, 0};
        QTest::newRow("image, left") << Qt::LeftButton << QLine(image, image) << C{0, 0, 1};
        QTest::newRow("image, right") << Qt::RightButton << QLine(image, image) << C{0, 0, 0};
        QTest::newRow("image, released out") << Qt::LeftButton << QLine(image, out) << C{0, 0, 0};
    }
    void mouse_pressAndRelease_clickOnlyForLeftInShape() {
        QFETCH(Qt::MouseButton, button);
        QFETCH(QLine, path);
        QSignalSpy left(left_, &XPButton::clicked), right(right_, &XPButton::clicked),
            image(image_, &ImageBox::Click);
        QTest::mousePress(host_.windowHandle(), button, {}, path.p1());
        QTest::mouseRelease(host_.windowHandle(), button, {}, path.p2());
        QTEST((QList<int>{int(left.size()), int(right.size()), int(image.size())}), "clicks");
    }

    void xpButton_enterOrSpaceWhenFocused_clicksOnce_data() {
        QTest::addColumn<QKeyCombination>("key");
        QTest::newRow("space") << QKeyCombination(Qt::Key_Space);
        QTest::newRow("return") << QKeyCombination(Qt::Key_Return);
        QTest::newRow("keypad enter") << QKeyCombination(Qt::KeypadModifier, Qt::Key_Enter);
    }
    void xpButton_enterOrSpaceWhenFocused_clicksOnce() {
        QFETCH(QKeyCombination, key);
        left_->setFocus();
        QSignalSpy clicked(left_, &XPButton::clicked);
        QTest::keyClick(host_.windowHandle(), key.key(), key.keyboardModifiers());
        QTest::qWait(200); // the click is animated, and comes once
        QCOMPARE(clicked.size(), 1);
    }

    void xpButton_pointerMovesOver_mouseOverOnEachMove() {
        QSignalSpy over(left_, &XPButton::MouseOver);
        QTest::mouseMove(left_, QPoint(30, 10));
        QTest::mouseMove(left_, QPoint(50, 16));
        QVERIFY(over.size() >= 2); // entering may add one
    }

    void xpButton_caption_readsBackExactly() {
        left_->SetCaption(QStringLiteral("&Close"));
        QCOMPARE(left_->Caption(), QStringLiteral("&Close"));
    }

    void optionList_addThenSetTwice_noSelectionThenOneImmediateRun() {
        OptionList list(new QComboBox(&host_));
        QList<int> runs;
        list.SetHandler([&] { runs << list.ListIndex(); });
        list.AddItems({QStringLiteral("No"), QStringLiteral("Yes")});
        QCOMPARE(list.ListIndex(), -1);
        list.SetListIndex(1);
        list.SetListIndex(1);
        QCOMPARE(runs, QList<int>{1}); // at once: no event was processed
    }

    // Over a list without focus the wheel goes on to the window, as over the panel.
    void optionList_wheelWithoutFocus_windowTakesIt() {
        OptionList list(new QComboBox(&host_));
        list.box()->setGeometry(20, 120, 60, 21);
        list.box()->show();
        list.AddItems({QStringLiteral("No"), QStringLiteral("Yes")});
        list.SetListIndex(0);
        struct Counter : QObject {
            int wheels = 0;
            bool eventFilter(QObject*, QEvent* event) override {
                wheels += event->type() == QEvent::Wheel;
                return false;
            }
        } counter;
        host_.installEventFilter(&counter);

        const QPointF at(10, 10);
        QWheelEvent wheel(at, list.box()->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QSpontaneKeyEvent::setSpontaneous(&wheel);
        qApp->notify(list.box(), &wheel); // as the platform delivers it: sendEvent would not
                                          // pass it on to the window
        host_.removeEventFilter(&counter);
        QCOMPARE(counter.wheels, 1);
        QCOMPARE(list.ListIndex(), 0);
        QVERIFY(!list.box()->hasFocus());
    }

    // The ring follows focus among its controls and leaves for any other widget.
    void focusRing_focusMoves_ringsOnlyItsControls() {
        FocusRing ring(&host_, Qt::yellow);
        ring.Add(image_);
        image_->setFocusPolicy(Qt::StrongFocus);
        left_->setFocus();
        QCOMPARE(ring.Target(), nullptr);
        image_->setFocus();
        QCOMPARE(ring.Target(), image_);
        QCOMPARE(ring.geometry(), image_->geometry().adjusted(-3, -3, 3, 3));
        image_->move(30, 80);
        QCOMPARE(ring.geometry(), image_->geometry().adjusted(-3, -3, 3, 3));
        image_->move(20, 80);
        left_->setFocus();
        QCOMPARE(ring.Target(), nullptr);
        image_->setFocusPolicy(Qt::NoFocus);
    }

    void flexGrid_clear_keepsCountsEmptiesCellsAndColours() {
        grid_.Clear();
        QCOMPARE((QList<int>{grid_.Rows(), grid_.Cols()}), (QList<int>{3, 5}));
        QVERIFY(grid_.CellText(2, 3).isEmpty() && !grid_.CellColor(2, 4).isValid());
    }

    void flexGrid_rowsOne_removesTicketRows() {
        grid_.SetRows(1);
        grid_.SetRows(3); // new, empty rows: not the old ones shown again
        QVERIFY(grid_.CellText(2, 3).isEmpty() && !grid_.CellColor(2, 4).isValid());
    }

    void flexGrid_cellBackColor_coloursCurrentCellOnly() {
        grid_.SetRow(1);
        grid_.SetCol(2);
        grid_.SetCellBackColor(0x0000FF); // red, as 0x00BBGGRR
        QCOMPARE(grid_.CellColor(1, 2), QColor(Qt::red));
        QVERIFY(!grid_.CellColor(1, 1).isValid() && !grid_.CellColor(2, 2).isValid());
    }

    void flexGrid_text_readsBack() {
        grid_.SetRow(2);
        grid_.SetCol(3);
        QCOMPARE(grid_.Text(), std::string("28"));
    }

    void flexGrid_ctrlC_copiesOneTabSeparatedLinePerTicket() {
        QTest::keyClick(&grid_, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("1\t5\t9\t2\n3\t14\t28\t11\n"));
    }
};

QTEST_MAIN(ControlsTest)
#include "tst_controls.moc"
