#include <functional>

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include "support/FakeShell.h"
#include "ui/about/FrmAbout.h"
#include "ui/common/Fonts.h"
#include "ui/common/MessageBox.h"
#include "ui/controls/ImageBox.h"

using kivora::FrmAbout;

const QString kUp = QStringLiteral(":/art/close-up.svg");
const QString kDown = QStringLiteral(":/art/close-down.svg");
const QPoint kDrag(15, 10);

using kivora::test::FakeShell;

// Mouse input goes through the window, as the platform delivers it: the widget under a press
// keeps the mouse until the release, and a window blocked by a modal one gets nothing.
static void Mouse(QTest::MouseAction action, QWidget* widget, Qt::MouseButton button,
                  QPoint pos = {}) {
    pos = widget->mapTo(widget->window(), pos.isNull() ? widget->rect().center() : pos);
    QTest::mouseEvent(action, widget->window()->windowHandle(), button, {}, pos);
}

class FrmAboutTest : public QObject {
    Q_OBJECT

    QWidget owner_; // the main window
    FakeShell shell_;

    // Opens the window as the main window does and runs whileOpen in it. True when whileOpen
    // ran and the window is destroyed again.
    bool RunModal(const std::function<void(FrmAbout*)>& whileOpen) {
        QPointer<FrmAbout> seen;
        bool ran = false;
        QTimer::singleShot(0, &owner_, [&] {
            seen = qobject_cast<FrmAbout*>(QApplication::activeModalWidget());
            if (seen && QTest::qWaitForWindowActive(seen)) {
                ran = true;
                whileOpen(seen);
            }
            if (seen && seen->isVisible()) { // whatever the check did, never hang the run
                seen->close();
            }
        });
        FrmAbout::ShowModal(&owner_, shell_, kUp, kDown);
        return ran && seen.isNull();
    }

private slots:
    void initTestCase() { kivora::InstallFontSubstitutes(); }

    // The texts as it opens, and the light box behind the links with its highlight line inside
    // it: right of the box the panel's stripes run on as above it. The close image shows its
    // pressed picture while the left button is down, and closes the window. (Close, Alt+C and
    // Return close it end to end; that the right button does nothing is the image control's own
    // rule.)
    void formLoad_opened_showsTextsAndClosesByItsImage() {
        QStringList seen;
        QVERIFY(RunModal([&](FrmAbout* about) {
            for (const char* name : {"lblCaption", "lblTitle", "lblBy", "lblDate", "lblEmaillbl",
                                     "lblEmail", "lblWebsitelbl", "lblWebsite"}) {
                seen << about->findChild<QLabel*>(QLatin1String(name))->text();
            }
            const QImage shot = about->grab().toImage();
            for (int x = 214; x <= 230; ++x) {
                const QColor line(shot.pixel(x, 181)), above(shot.pixel(x, 178));
                QCOMPARE_LE(qAbs(line.lightness() - above.lightness()), 4);
            }
            auto* image = about->findChild<kivora::ImageBox*>(QStringLiteral("imgClose"));
            Mouse(QTest::MousePress, image, Qt::LeftButton);
            seen << image->Picture();
            Mouse(QTest::MouseRelease, image, Qt::LeftButton);
            seen << image->Picture() << (about->isVisible() ? "open" : "closed");
        }));
        QCOMPARE(seen, QStringList({"About Lotto Kivora", "Lotto Kivora 2.6", "Author: Brandell",
                                    "Date: Apr 29, 2009", "E-mail:", "support@kivora.example",
                                    "Website:", "www.kivora.example/lotto", kDown, kUp, "closed"}));
    }

    // A click on a link, or Return or Space on it after Tab from Close, opens it, and so does an
    // assistive tool's press; the window stays open, and a desktop that opens nothing goes
    // unreported.
    void links_mouseKeysAndAssistiveTools_open() {
        shell_.result = kivora::Shell::kNoAssociation;
        QStringList path;
        kivora::MessageBox::SetHandler(
            [&](const kivora::MessageBox::Message& m) { path << m.text; });
        QVERIFY(RunModal([&](FrmAbout* about) {
            for (const char* name : {"lblEmail", "lblWebsite"}) {
                Mouse(QTest::MouseClick, about->findChild<QLabel*>(name), Qt::LeftButton);
            }
            about->findChild<QWidget*>("cmdClose")->setFocus();
            for (const Qt::Key key :
                 {Qt::Key_Tab, Qt::Key_Return, Qt::Key_Tab, Qt::Key_Space, Qt::Key_Tab}) {
                QTest::keyClick(QApplication::focusWidget(), key);
                path << QApplication::focusWidget()->objectName();
            }
            for (const char* name : {"lblEmail", "lblWebsite"}) {
                QAccessibleInterface* link =
                    QAccessible::queryAccessibleInterface(about->findChild<QLabel*>(name));
                link->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
            }
            QVERIFY(about->isVisible());
        }));
        QCOMPARE(path.join(' '), "lblEmail lblEmail lblWebsite lblWebsite cmdClose");
        const QStringList both{"mailto:support@kivora.example", "https://www.kivora.example/lotto"};
        QCOMPARE(shell_.targets, both + both + both);
        kivora::MessageBox::ClearHandler();
    }

    // Dragged by its bare background (not by a label) the window moves; the next opening starts
    // afresh, centred, wherever the last one was dragged.
    void drag_leftButton_movesWindowOnlyFromBareBackground() {
        QPoint centred;
        for (const QString label : {"", "lblTitle"}) { // "": the background right of the texts
            QVERIFY(RunModal([&](FrmAbout* about) {
                centred = about->pos();
                QWidget* under = label.isEmpty() ? nullptr : about->findChild<QWidget*>(label);
                const QPoint at = under ? under->geometry().center() : QPoint(250, 150);
                QCOMPARE(about->childAt(at), under);
                const QPoint end = about->mapToGlobal(at) + kDrag; // the window moves under it
                Mouse(QTest::MousePress, about, Qt::LeftButton, at);
                Mouse(QTest::MouseMove, about, Qt::NoButton, about->mapFromGlobal(end));
                Mouse(QTest::MouseRelease, about, Qt::LeftButton, about->mapFromGlobal(end));
                QCOMPARE(about->pos() - centred, under ? QPoint() : kDrag);
            }));
        }
        QVERIFY(RunModal([&](FrmAbout* about) { QCOMPARE(about->pos(), centred); }));
    }
};

QTEST_MAIN(FrmAboutTest)
#include "tst_frmabout.moc"
