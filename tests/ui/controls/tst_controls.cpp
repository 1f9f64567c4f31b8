// The controls on their own, in one host window on the offscreen platform.
#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDir>
#include <QMenu>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "engine/Ticket.h"
#include "engine/TicketGrid.h"
#include "support/Files.h"
#include "ui/common/MessageBox.h"
#include "ui/controls/FlexGrid.h"
#include "ui/controls/ImageBox.h"
#include "ui/controls/ReadableColor.h"
#include "ui/controls/XPButton.h"

using namespace kivora;

namespace {

const QByteArray kOld = "old tickets\n";

} // namespace

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

    // Key events as "P30r" (a press at 30 ms flagged as a repeat), "R60" (a release) or "F" (the
    // focus leaves and comes back). A press clicks at once, so that a modal window it opens is
    // there before the next click, and a held key is one click, also when its repeats were held
    // back and come unflagged.
    void xpButton_keys_clickOncePerPress_data() {
        QTest::addColumn<QKeyCombination>("key");
        QTest::addColumn<QString>("events");
        QTest::addColumn<int>("clicks");
        const QKeyCombination enter(Qt::KeypadModifier, Qt::Key_Enter), back(Qt::Key_Return),
            space(Qt::Key_Space);
        QTest::newRow("space") << space << "P0 R10" << 1;
        QTest::newRow("keypad enter") << enter << "P0 R10" << 1;
        QTest::newRow("repeats flagged") << enter << "P0 P30r P60r R90" << 1;
        QTest::newRow("held back: presses unflagged") << back << "P0 P30 P60 P90 R120" << 1;
        QTest::newRow("held back: release and press pairs unflagged")
            << space << "P0 R30 P30 R60 P60 R200" << 1;
        QTest::newRow("two presses") << space << "P0 R50 P120 R170" << 2;
        QTest::newRow("focus lost while held") << back << "P0 F P200 R250" << 2;
    }
    void xpButton_keys_clickOncePerPress() {
        QFETCH(QKeyCombination, key);
        QFETCH(QString, events);
        left_->setFocus();
        QSignalSpy clicked(left_, &XPButton::clicked);
        for (const QString& e : events.split(' ')) {
            if (e == "F") {
                right_->setFocus();
                left_->setFocus();
                continue;
            }
            QKeyEvent event(e[0] == 'P' ? QEvent::KeyPress : QEvent::KeyRelease, key.key(),
                            key.keyboardModifiers(), {}, e.endsWith('r'));
            event.setTimestamp(e.mid(1).remove('r').toULongLong());
            QCoreApplication::sendEvent(left_, &event);
        }
        QTEST(int(clicked.size()), "clicks");
        QTest::qWait(150); // and no late one
        QTEST(int(clicked.size()), "clicks");
    }

    // The bonus cells, and no others, are painted in the colour the engine gives them.
    void flexGrid_bonusCells_paintedInTheirColour() {
        grid_.resize(300, 120);
        const QImage shot = grid_.viewport()->grab().toImage();
        QStringList colours;
        for (int col = 0; col < 4; ++col) {
            const QRect cell = grid_.visualRect(grid_.model()->index(1, col));
            colours << shot.pixelColor(cell.topLeft() + QPoint(2, 2)).name();
        }
        QCOMPARE(colours.join(' '), "#ffffff #ffffff #ffffff #ffc080");
    }

    // The menu by the mouse and by Shift+F10 on the focused grid, with tickets and with the
    // headings only; "-" marks a disabled entry.
    void flexGrid_contextMenu_offersCopyAndSaveWhileTicketsShow() {
        QStringList seen;
        for (const auto& [rows, keyboard] : {std::pair(3, false), {3, true}, {1, false}}) {
            grid_.SetRows(rows);
            QTimer::singleShot(0, this, [&seen] {
                if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
                    QStringList entries;
                    for (QAction* action : menu->actions()) {
                        entries << (action->isEnabled() ? "" : "-") + action->text();
                    }
                    seen << entries.join('|');
                    menu->close();
                }
            });
            if (keyboard) {
                QTest::keyClick(&grid_, Qt::Key_F10, Qt::ShiftModifier);
            } else {
                QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(20, 10),
                                        grid_.viewport()->mapToGlobal(QPoint(20, 10)));
                QApplication::sendEvent(grid_.viewport(), &event);
            }
        }
        const QString entries = QStringLiteral("&Copy tickets|&Save tickets as\u2026");
        QCOMPARE(seen, QStringList({entries, entries, "-&Copy tickets|-&Save tickets as\u2026"}));
    }

    // Each save goes over an older file, in the format of the name's ending, else the filter's;
    // a cancelled or failed one leaves what was there, and a failure is reported, naming the file.
    // The whole-file writer's failures by kind are the store's tests'; here the rename's.
    void flexGrid_saveAs_writesChosenFormatOrKeepsOldFile() {
        const QByteArray text = "1\t5\t9\t2\n3\t14\t28\t11\n";
        const QByteArray csv = "Ticket,N1,N2,N3,B\r\n1,1,5,9,2\r\n2,3,14,28,11\r\n";
        QTemporaryDir dir;
        QString name;           // empty: the dialog is cancelled
        bool csvFilter = false; // "|csv": the CSV filter is chosen
        grid_.SetSaveDialog([&](QWidget*) -> std::optional<FlexGrid::SaveTarget> {
            const QString path = dir.filePath(name);
            return name.isEmpty() ? std::nullopt
                                  : std::optional(FlexGrid::SaveTarget{
                                        path, FlexGrid::FormatFor(path, csvFilter)});
        });
        QStringList shown;
        MessageBox::SetHandler([&](const MessageBox::Message& m) {
            shown << QString("%1|%2|%3").arg(m.title).arg(m.icon).arg(m.text.contains(name));
        });
        QList<QByteArray> saved;
        for (const QString save : {"a.txt", "b.csv|csv", "c.CSV", "d.txt|csv", "e|csv", ""}) {
            std::tie(name, csvFilter) = std::pair(save.section('|', 0, 0), save.endsWith("|csv"));
            const QString old = dir.filePath(name.isEmpty() ? "f" : name);
            QVERIFY(test::PutFile(old, kOld));
            grid_.SaveAction()->trigger();
            saved << test::FileBytes(old);
        }
        // The copy is written whole, but a folder of that name takes no file's place.
        name = QStringLiteral("folder.txt");
        QVERIFY(QDir(dir.path()).mkdir(name));
        grid_.SaveAction()->trigger();
        MessageBox::ClearHandler();
        QCOMPARE(saved, (QList<QByteArray>{text, csv, csv, text, csv, kOld}));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 6); // no copies
        QCOMPARE(shown, QStringList{"Lotto Kivora|3|1"}); // critical, naming the file
    }

    // The tests' own measure, on WCAG's pairs and the bonus cell behind the caption colour.
    void contrastRatio_knownPairs_matchWcag() {
        QCOMPARE(
            QList<int>({qRound(ContrastRatio(Qt::black, Qt::white) * 10),
                        qRound(ContrastRatio(Qt::white, Qt::black) * 10),
                        qRound(ContrastRatio(QColor(192, 64, 0), QColor(255, 192, 128)) * 10)}),
            QList<int>({210, 210, 33}));
    }
};

QTEST_MAIN(ControlsTest)
#include "tst_controls.moc"
