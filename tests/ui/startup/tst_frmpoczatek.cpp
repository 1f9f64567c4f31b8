#include <QLabel>
#include <QPointer>
#include <QTest>

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
};

QTEST_MAIN(FrmPoczatekTest)
#include "tst_frmpoczatek.moc"
