#include <functional>
#include <memory>

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include "common/Fonts.h"
#include "common/Shell.h"
#include "ui/about/FrmAbout.h"
#include "ui/controls/ImageBox.h"

using kivora::FrmAbout;
using kivora::ImageBox;

namespace {

const QString kUp = QStringLiteral(":/art/close-up.svg");
const QString kDown = QStringLiteral(":/art/close-down.svg");
const QPoint kDrag(15, 10);
const QPoint kBareBackground(250, 150); // right of the texts, above the link box

class FakeShell : public kivora::Shell {
public:
    int Open(const QString& target) override {
        targets << target;
        return kOpened;
    }
    QStringList targets;
};

template <typename T = QWidget> T* Child(QWidget* window, const QString& name) {
    return window->findChild<T*>(name);
}

// Mouse input goes through the window, as the platform delivers it: the widget under a press
// keeps the mouse until the release, and a window blocked by a modal one gets nothing.
void Mouse(QTest::MouseAction action, QWidget* widget, Qt::MouseButton button, QPoint pos = {}) {
    pos = widget->mapTo(widget->window(), pos.isNull() ? widget->rect().center() : pos);
    QTest::mouseEvent(action, widget->window()->windowHandle(), button, {}, pos);
}

// Plays a script on a widget from `at` (its centre if null): "L+"/"R+" press the left/right
// button, "L-"/"R-" release it there, "L-off" release away from the widget, "move" drag by
// kDrag. Buttons still held are released away from the widget once `check` has looked.
void Play(QWidget* widget, const QString& script, QPoint at = {},
          const std::function<void()>& check = {}) {
    QPoint global = widget->mapToGlobal(at.isNull() ? widget->rect().center() : at);
    const QPoint away = widget->mapFrom(widget->window(), QPoint(150, 150));
    Qt::MouseButtons held;
    for (const QString& step : script.split(QLatin1Char(' '))) {
        const Qt::MouseButton button =
            step[0] == QLatin1Char('L') ? Qt::LeftButton : Qt::RightButton;
        if (step == QLatin1String("move")) {
            global += kDrag; // the window may move under the pointer
            Mouse(QTest::MouseMove, widget, Qt::NoButton, widget->mapFromGlobal(global));
        } else if (step.endsWith(QLatin1Char('+'))) {
            Mouse(QTest::MousePress, widget, button, widget->mapFromGlobal(global));
            held |= button;
        } else {
            const bool off = step.endsWith(QLatin1String("off"));
            Mouse(QTest::MouseRelease, widget, button, off ? away : widget->mapFromGlobal(global));
            held &= ~Qt::MouseButtons(button);
        }
    }
    if (check) {
        check();
    }
    for (const Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton}) {
        if (held & button) { // QTest would keep it down for the next test
            Mouse(QTest::MouseRelease, widget, button, away);
        }
    }
}

// An About window loaded and shown over its owner, without the modal loop.
struct Opened {
    QWidget owner;
    FakeShell shell;
    std::unique_ptr<FrmAbout> about;
    Opened() : about(std::make_unique<FrmAbout>(&owner, shell, kUp, kDown)) {
        about->Form_Load();
        about->show();
        about->activateWindow();
    }
    QWidget* operator()(const QString& name) const { return Child(about.get(), name); }
};

// Opens the window as the main window does, runs whileOpen in it and returns once the window is
// gone, with the instance that was open.
QPointer<FrmAbout> RunModal(QWidget* owner, kivora::Shell& shell,
                            const std::function<void(FrmAbout*)>& whileOpen) {
    QPointer<FrmAbout> seen;
    QTimer::singleShot(0, owner, [&] {
        seen = qobject_cast<FrmAbout*>(QApplication::activeModalWidget());
        if (seen && QTest::qWaitForWindowActive(seen)) {
            whileOpen(seen);
        }
        if (seen && seen->isVisible()) { // whatever the check did, never hang the run
            seen->close();
        }
    });
    FrmAbout::ShowModal(owner, shell, kUp, kDown);
    return seen;
}

} // namespace

class FrmAboutTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { kivora::InstallFontSubstitutes(); }

    void formLoad_opened_textsInCentredWindow_data() {
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("text");
        QTest::newRow("caption") << "lblCaption"
                                 << "About Lotto Kivora";
        QTest::newRow("title") << "lblTitle"
                               << "Lotto Kivora 2.6";
        QTest::newRow("author") << "lblBy"
                                << "Author: Brandell";
        QTest::newRow("date") << "lblDate"
                              << "Date: Apr 29, 2009";
        QTest::newRow("e-mail name") << "lblEmaillbl"
                                     << "E-mail:";
        QTest::newRow("e-mail") << "lblEmail"
                                << "support@kivora.example";
        QTest::newRow("website name") << "lblWebsitelbl"
                                      << "Website:";
        QTest::newRow("website") << "lblWebsite"
                                 << "www.kivora.example/lotto";
    }
    void formLoad_opened_textsInCentredWindow() {
        QFETCH(QString, label);
        QFETCH(QString, text);
        Opened w;
        QCOMPARE(Child<QLabel>(w.about.get(), label)->text(), text);
        QVERIFY(w.about->contentsRect().contains(w(label)->geometry()));
        QCOMPARE(w.about->objectName(), QStringLiteral("frmAbout"));
        QCOMPARE(w.about->contentsRect(), QRect(1, 1, 305, 231)); // inside a one-pixel border
        QCOMPARE(w.about->size(), QSize(307, 233));
        const QPoint centre = w.about->screen()->availableGeometry().center();
        QVERIFY((w.about->frameGeometry().center() - centre).manhattanLength() <= 2);
    }

    void layout_links_insideLightBoxClearOfOthers_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("link");
        QTest::newRow("e-mail") << "lblEmaillbl"
                                << "lblEmail";
        QTest::newRow("website") << "lblWebsitelbl"
                                 << "lblWebsite";
    }
    void layout_links_insideLightBoxClearOfOthers() {
        QFETCH(QString, name);
        QFETCH(QString, link);
        Opened w;
        // Inside the frame line of the background's light box, in window pixels.
        const QRect lightBox(QPoint(70, 182), QPoint(229, 214));
        QVERIFY(lightBox.contains(w(link)->geometry()));
        QVERIFY(!w(link)->geometry().intersects(w(QStringLiteral("cmdClose"))->geometry()));
        QVERIFY(w(name)->geometry().right() < lightBox.left() - 2);
        QVERIFY(w(name)->geometry().left() > 1);
    }

    void links_mouse_opensTargetInShell_data() {
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("script");
        QTest::addColumn<QStringList>("targets");
        const QString mail = QStringLiteral("mailto:support@kivora.example");
        const QString web = QStringLiteral("https://www.kivora.example/lotto");
        QTest::newRow("e-mail clicked") << "lblEmail"
                                        << "L+ L-" << QStringList{mail};
        QTest::newRow("e-mail twice") << "lblEmail"
                                      << "L+ L- L+ L-" << QStringList{mail, mail};
        QTest::newRow("website clicked") << "lblWebsite"
                                         << "L+ L-" << QStringList{web};
        QTest::newRow("right clicked") << "lblEmail"
                                       << "R+ R-" << QStringList{};
        QTest::newRow("released off the link") << "lblWebsite"
                                               << "L+ L-off" << QStringList{};
        QTest::newRow("field name clicked") << "lblEmaillbl"
                                            << "L+ L-" << QStringList{};
    }
    void links_mouse_opensTargetInShell() {
        QFETCH(QString, label);
        QFETCH(QString, script);
        QFETCH(QStringList, targets);
        Opened w;
        const bool link = !label.endsWith(QLatin1String("lbl"));
        QCOMPARE(w(label)->cursor().shape(), link ? Qt::PointingHandCursor : Qt::ArrowCursor);
        Play(w(label), script);
        QCOMPARE(w.shell.targets, targets);
        QVERIFY(w.about->isVisible());
    }

    void imgClose_mouse_showsPicture_data() {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("picture");
        QTest::addColumn<bool>("open");
        QTest::newRow("left pressed") << "L+" << kDown << true;
        QTest::newRow("left released off it") << "L+ L-off" << kUp << true;
        QTest::newRow("left clicked") << "L+ L-" << kUp << false;
        QTest::newRow("right pressed") << "R+" << kUp << true;
        QTest::newRow("right clicked") << "R+ R-" << kUp << true;
        QTest::newRow("right released, left held") << "L+ R+ R-" << kDown << true;
    }
    void imgClose_mouse_showsPicture() {
        QFETCH(QString, script);
        QFETCH(QString, picture);
        QFETCH(bool, open);
        Opened w;
        auto* image = Child<ImageBox>(w.about.get(), QStringLiteral("imgClose"));
        QCOMPARE(image->toolTip(), QStringLiteral("Close"));
        Play(image, script, {}, [&] {
            QCOMPARE(image->Picture(), picture);
            QCOMPARE(w.about->isVisible(), open);
        });
    }

    void focus_opened_onlyCloseButtonTakesIt() {
        Opened w;
        QVERIFY(QTest::qWaitForWindowActive(w.about.get()));
        QWidget* close = w(QStringLiteral("cmdClose"));
        QCOMPARE(QApplication::focusWidget(), close);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), close);
        for (QWidget* child : w.about->findChildren<QWidget*>()) {
            QVERIFY2(child == close || child->focusPolicy() == Qt::NoFocus,
                     qPrintable(child->objectName()));
        }
    }

    void drag_mouse_movesWindowOnlyFromBareBackground_data() {
        QTest::addColumn<QString>("widget");
        QTest::addColumn<QString>("script");
        QTest::addColumn<bool>("moves");
        const QString drag = QStringLiteral("L+ move move L-");
        QTest::newRow("left on background") << "" << drag << true;
        QTest::newRow("right on background") << ""
                                             << "R+ move move R-" << false;
        QTest::newRow("both on background") << ""
                                            << "L+ R+ move move R- L-" << false;
        QTest::newRow("left on title") << "lblTitle" << drag << false;
        QTest::newRow("left on caption") << "lblCaption" << drag << false;
        QTest::newRow("left on logo") << "imgLogo" << drag << false;
        QTest::newRow("left on Close") << "cmdClose" << drag << false;
    }
    void drag_mouse_movesWindowOnlyFromBareBackground() {
        QFETCH(QString, widget);
        QFETCH(QString, script);
        QFETCH(bool, moves);
        Opened w;
        QVERIFY(QTest::qWaitForWindowExposed(w.about.get()));
        QVERIFY(w.about->childAt(kBareBackground) == nullptr);
        const QPoint before = w.about->pos();
        if (widget.isEmpty()) {
            Play(w.about.get(), script, kBareBackground);
        } else {
            Play(w(widget), script);
        }
        QCOMPARE(w.about->pos(), moves ? before + 2 * kDrag : before);
    }

    void showModal_open_ownerTakesNoInput_data() {
        QTest::addColumn<bool>("aboutOpen");
        QTest::newRow("About window closed") << false;
        QTest::newRow("About window open") << true;
    }
    void showModal_open_ownerTakesNoInput() {
        QFETCH(bool, aboutOpen);
        QWidget owner;
        auto* button = new QPushButton(QStringLiteral("Start"), &owner);
        owner.show();
        QVERIFY(QTest::qWaitForWindowExposed(&owner));
        QSignalSpy clicks(button, &QPushButton::clicked);
        FakeShell shell;
        if (aboutOpen) {
            bool clicked = false;
            RunModal(&owner, shell, [&](FrmAbout* about) {
                QCOMPARE(about->parentWidget(), &owner);
                QVERIFY(about->isModal());
                Mouse(QTest::MouseClick, button, Qt::LeftButton);
                clicked = true;
            });
            QVERIFY(clicked);
        } else {
            Mouse(QTest::MouseClick, button, Qt::LeftButton);
        }
        QCOMPARE(clicks.count(), aboutOpen ? 0 : 1);
    }

    void showModal_closeAction_unloadsWindow_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("closes");
        QTest::newRow("Close clicked") << "cmdClose" << true;
        QTest::newRow("close image clicked") << "imgClose" << true;
        QTest::newRow("Alt+C") << "Alt+C" << true;
        QTest::newRow("Enter on Close") << "Return" << true;
        QTest::newRow("Space on Close") << "Space" << true;
        QTest::newRow("Escape") << "Esc" << false;
        QTest::newRow("logo clicked") << "imgLogo" << false;
    }
    void showModal_closeAction_unloadsWindow() {
        QFETCH(QString, action);
        QFETCH(bool, closes);
        QWidget owner;
        FakeShell shell;
        bool ran = false;
        bool closed = false;
        const QPointer<FrmAbout> seen = RunModal(&owner, shell, [&](FrmAbout* about) {
            ran = true;
            if (QWidget* control = Child(about, action)) {
                Mouse(QTest::MouseClick, control, Qt::LeftButton);
            } else {
                QTest::keySequence(QApplication::focusWidget(), QKeySequence::fromString(action));
            }
            QTest::qWait(200); // Enter clicks with a short animation
            closed = !about->isVisible();
        });
        QVERIFY(ran);
        QCOMPARE(closed, closes);
        QVERIFY(seen.isNull()); // however it closed, the window is destroyed
    }

    void showModal_secondOpening_loadsAfresh() {
        QWidget owner;
        FakeShell shell;
        QPoint centred;
        QPoint moved;
        const QPointer<FrmAbout> first = RunModal(&owner, shell, [&](FrmAbout* about) {
            centred = about->pos();
            Play(about, QStringLiteral("L+ move move L-"), kBareBackground);
            moved = about->pos();
        });
        QCOMPARE(moved, centred + 2 * kDrag);
        QVERIFY(first.isNull());
        QPoint reopened;
        RunModal(&owner, shell, [&](FrmAbout* about) { reopened = about->pos(); });
        QCOMPARE(reopened, centred); // nothing of the first opening carries over
    }
};

QTEST_MAIN(FrmAboutTest)
#include "tst_frmabout.moc"
