#include <QElapsedTimer>
#include <QLabel>
#include <QPointer>
#include <QTest>

#include "ui/startup/FrmPoczatek.h"

using kivora::FrmPoczatek;

class FrmPoczatekTest : public QObject {
    Q_OBJECT

private slots:
    // The default wait is 2000 ms; the one passed in replaces it.
    void formLoad_wait_showsTextsThenHandsOverToMainWindow_data() {
        QTest::addColumn<int>("waitMs");
        QTest::newRow("no wait") << 0;
        QTest::newRow("300 ms") << 300;
    }
    void formLoad_wait_showsTextsThenHandsOverToMainWindow() {
        QFETCH(int, waitMs);
        QWidget mainWindow;
        QElapsedTimer clock;
        qint64 waited = -1;
        QStringList texts;
        QSize size;
        QPointer<FrmPoczatek> startup = new FrmPoczatek(
            [&] { // stands for the main window's loading; sees the start-up window as it is then
                waited = clock.elapsed();
                for (const char* name : {"lblWersja", "lblPrzez"}) {
                    texts << startup->findChild<QLabel*>(QLatin1String(name))->text();
                }
                size = startup->isVisible() ? startup->size() : QSize();
                mainWindow.show();
            },
            waitMs);
        clock.start();
        startup->Form_Load();
        QVERIFY2(waited >= waitMs && waited < waitMs + 1500, qPrintable(QString::number(waited)));
        QCOMPARE(texts, QStringList({"Lotto Kivora 2.6", "by Brandell"}));
        QCOMPARE(size, QSize(400, 100));
        QVERIFY(mainWindow.isVisible());
        QTRY_VERIFY(startup.isNull()); // closed and deleted
    }
};

QTEST_MAIN(FrmPoczatekTest)
#include "tst_frmpoczatek.moc"
