#include <QElapsedTimer>
#include <QLabel>
#include <QPointer>
#include <QTest>
#include <QThread>

#include "ui/startup/FrmPoczatek.h"

using kivora::FrmPoczatek;

// Its size and the length of its pause are measured end to end, on the real program.
class FrmPoczatekTest : public QObject {
    Q_OBJECT

private slots:
    void formLoad_noWait_showsTextsThenHandsOverToMainWindow() {
        QWidget mainWindow;
        QStringList seen;
        QPointer<FrmPoczatek> startup = new FrmPoczatek(
            [&] { // stands for the main window's loading; sees the start-up window as it is then
                for (const char* name : {"lblWersja", "lblPrzez"}) {
                    seen << startup->findChild<QLabel*>(QLatin1String(name))->text();
                }
                seen << (startup->isVisible() ? "shown" : "hidden");
                mainWindow.show();
            },
            0);
        startup->Form_Load();
        QCOMPARE(seen, QStringList({"Lotto Kivora 2.6", "by Brandell", "shown"}));
        QTRY_VERIFY(startup.isNull()); // closed and deleted
    }

    // Work for the wait runs while the window shows, and the wait ends on time all the same.
    void formLoad_waitWork_doneWithinTheWait() {
        bool shown = false;
        auto* startup = new FrmPoczatek([] {}, 600);
        startup->SetWaitWork([&] {
            shown = startup->isVisible();
            QThread::msleep(500);
        });
        QElapsedTimer took;
        took.start();
        startup->Form_Load();
        QVERIFY(shown);
        QCOMPARE_LT(took.elapsed(), 900); // not the wait and the work one after the other
    }
};

QTEST_MAIN(FrmPoczatekTest)
#include "tst_frmpoczatek.moc"
