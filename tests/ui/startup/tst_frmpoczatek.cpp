#include <memory>

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include "common/Fonts.h"
#include "ui/startup/FrmPoczatek.h"

using kivora::FrmPoczatek;

namespace {

// Notes when a window was first painted.
class PaintWatch : public QObject {
public:
    explicit PaintWatch(QWidget* window) {
        window->installEventFilter(this);
        clock.start();
    }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && firstPaint < 0) {
            firstPaint = clock.elapsed();
        }
        return false;
    }
    QElapsedTimer clock;
    qint64 firstPaint = -1;
};

} // namespace

class FrmPoczatekTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QWidget> mainWindow_;

    // The factory the application passes: the main window, loaded and shown.
    void OpenMain() {
        mainWindow_ = std::make_unique<QWidget>();
        mainWindow_->resize(200, 100);
        mainWindow_->show();
    }

private slots:
    void initTestCase() { kivora::InstallFontSubstitutes(); }
    void cleanup() {
        mainWindow_.reset();
        QTest::qWait(0); // lets a start-up window finish deleting itself
    }

    void setStartupTexts_eachLabel_identityOnCommonRightEdge_data() {
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::newRow("title and version") << "lblWersja"
                                           << "Title & version"
                                           << "Lotto Kivora 2.6";
        QTest::newRow("author") << "lblPrzez"
                                << "by Author"
                                << "by Brandell";
        QTest::newRow("tagline") << "lblPowerBall"
                                 << "Supports all major lotteries"
                                 << "Supports all major lotteries";
    }
    void setStartupTexts_eachLabel_identityOnCommonRightEdge() {
        QFETCH(QString, label);
        QFETCH(QString, before);
        QFETCH(QString, after);
        FrmPoczatek window([] {}, 0);
        QCOMPARE(window.objectName(), QStringLiteral("frmPoczatek"));
        auto* shown = window.findChild<QLabel*>(label);
        QCOMPARE(shown->text(), before);
        window.SetStartupTexts();
        QCOMPARE(shown->text(), after);
        QVERIFY(!window.isVisible());
        // The band: 398 pixels of client between one-pixel borders, 100 pixels high in all.
        const QRect client = window.contentsRect();
        QCOMPARE(client, QRect(1, 1, 398, 98));
        QCOMPARE(window.size(), QSize(400, 100));
        // Right-aligned at 5775 twips, and whole in the substitute face.
        QCOMPARE(shown->geometry().right() + 1 - client.left(), 385);
        QVERIFY(shown->alignment() & Qt::AlignRight);
        QVERIFY(shown->fontMetrics().horizontalAdvance(after) <= shown->width());
        QVERIFY(client.contains(shown->geometry()));
    }

    void formLoad_wait_mainWindowShownOverPaintedStartup_data() {
        QTest::addColumn<int>("waitMs");
        QTest::newRow("no wait") << 0;
        QTest::newRow("300 ms") << 300;
    }
    void formLoad_wait_mainWindowShownOverPaintedStartup() {
        QFETCH(int, waitMs);
        QPointer<FrmPoczatek> startup;
        std::unique_ptr<PaintWatch> watch;
        int calls = 0;
        bool shownAndCentred = false;
        qint64 paintedFor = -1;
        startup = new FrmPoczatek(
            [&] {
                ++calls;
                const QPoint centre = startup->screen()->availableGeometry().center();
                shownAndCentred =
                    startup->isVisible() &&
                    (startup->frameGeometry().center() - centre).manhattanLength() <= 2;
                paintedFor =
                    watch->firstPaint < 0 ? -1 : watch->clock.elapsed() - watch->firstPaint;
                OpenMain();
            },
            waitMs);
        watch = std::make_unique<PaintWatch>(startup.data());
        QElapsedTimer load;
        load.start();
        startup->Form_Load();

        QCOMPARE(calls, 1);
        QVERIFY(shownAndCentred);
        // Painted before the blocking wait, and on the screen for all of it.
        QVERIFY2(paintedFor >= waitMs, qPrintable(QString::number(paintedFor)));
        QVERIFY2(load.elapsed() < 2000, "the wait passed in replaces the default");
        QVERIFY(mainWindow_ && mainWindow_->isVisible());
        QTRY_VERIFY(startup.isNull()); // unloaded for good
    }

    void formLoad_inEventLoop_programKeepsRunning() {
        // The program ends with its last window; the start-up window must never be that.
        QVERIFY(QGuiApplication::quitOnLastWindowClosed());
        QSignalSpy lastClosed(qApp, &QGuiApplication::lastWindowClosed);
        QPointer<FrmPoczatek> startup = new FrmPoczatek([this] { OpenMain(); }, 0);
        QTimer::singleShot(0, startup, [startup] { startup->Form_Load(); });
        QTimer::singleShot(500, qApp, [] { QCoreApplication::exit(42); });
        QCOMPARE(QApplication::exec(), 42);
        QCOMPARE(lastClosed.count(), 0);
        QVERIFY(startup.isNull());
        QVERIFY(mainWindow_ && mainWindow_->isVisible());
    }
};

QTEST_MAIN(FrmPoczatekTest)
#include "tst_frmpoczatek.moc"
