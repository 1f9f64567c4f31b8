// The Game menu and the check window, driven through the real main window.
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "settings/Registry.h"
#include "settings/StoredSettings.h"
#include "support/MainWindowOnFakes.h"
#include "ui/common/MessageBox.h"
#include "ui/controls/FlexGrid.h"
#include "ui/controls/FlexGridModel.h"
#include "ui/controls/OptionList.h"
#include "ui/controls/ReadableColor.h"
#include "ui/main/FrmMain.h"

using namespace kivora;

namespace {

QString Headings(const FlexGrid& grid) {
    QStringList h;
    for (int c = 1; c < grid.Cols(); ++c) {
        h << grid.CellText(0, c);
    }
    return h.join(' ');
}

} // namespace

class CheckTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> store_;
    std::unique_ptr<test::MainWindowOnFakes> window_;
    FrmMain& w() { return window_->w; }
    FlexGrid& grid() { return *w().Grid(); }

    // The game's entry of the grid's own Game submenu, as a user picks it.
    void Choose(const QString& id) {
        QMenu* games = w().findChild<QMenu*>("mnuGame");
        QVERIFY(games);
        emit games->aboutToShow();
        QAction* game = games->findChild<QAction*>(id);
        QVERIFY2(game, qPrintable(id));
        game->trigger();
    }

private slots:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        test::SetUpWindowTests();
    }

    void init() {
        store_ = std::make_unique<QTemporaryDir>();
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, store_->path());
        MessageBox::SetHandler([](const MessageBox::Message&) {});
        window_ = std::make_unique<test::MainWindowOnFakes>(nullptr, uint64_t{3});
        w().Form_Load();
        w().show();
        w().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w()));
    }
    void cleanup() { window_.reset(); }

    // A game sets the lists as picks would; two bonus numbers give B1 and B2 until a list is
    // changed by hand. Only then is the count stored, under a key of its own.
    void gameMenu_twoBonusGame_setsListsAndColumnsUntilChangedByHand() {
        Choose("euromillions");
        QStringList lists;
        for (const char* name : {"cboN", "cboTotal", "cboBonus", "cboBonusMax"}) {
            lists << w().List(name)->Text();
        }
        QCOMPARE(lists.join(' ') + ": " + Headings(grid()), "5 50 Yes 12: N1 N2 N3 N4 N5 B1 B2");
        w().SaveSettings();
        QCOMPARE(ReadDword(RootKey::CurrentUser, kSettingsKeyPath, kBonusCount), 2);

        w().List("cboBonusMax")->box()->activated(3); // a pick by hand
        QCOMPARE(Headings(grid()), "N1 N2 N3 N4 N5 B");
        Choose("pick4");
        QCOMPARE(Headings(grid()), "N1 N2 N3 N4");
        QCOMPARE(w().List("cboN")->Text(), "4");
    }

    // Typing a draw marks the matched cells and fills the Match column; what is copied and
    // printed stays the tickets alone; a new Start takes marks and column away.
    void checkWindow_typedDraw_marksCellsAndMatchColumn() {
        Choose("powerball");
        QTest::mouseClick(w().findChild<QWidget*>("cmdStart"), Qt::LeftButton);
        const QString copied = grid().TicketsAsText();
        const int other = grid().CellText(1, 6).toInt() % 26 + 1; // not ticket 1's bonus
        QTest::keyClick(&w(), Qt::Key_K, Qt::ControlModifier);
        QLineEdit* draw = w().findChild<QLineEdit*>("txtDraw");
        QVERIFY(draw);
        QTest::keyClicks(draw, "70 1 2 3 4 + 1");
        QVERIFY(w().findChild<QLabel*>("lblMessage")->text().endsWith("from 1 to 69, not 70."));
        QVERIFY(grid().MatchText(1).isEmpty());

        draw->setText(QString("%1 %2 %3 68 69 + %4")
                          .arg(grid().CellText(1, 1), grid().CellText(1, 2), grid().CellText(1, 3))
                          .arg(other));
        QVERIFY(grid().Marked(1, 1) && grid().Marked(1, 3) && !grid().Marked(1, 6));
        QVERIFY(grid().MatchText(1).contains(QRegularExpression("^[345]")));
        const QAbstractItemModel* model = grid().model();
        QCOMPARE(model->headerData(6, Qt::Horizontal).toString(), "Match");
        QCOMPARE(model->index(0, 6).data().toString(), grid().MatchText(1));
        QCOMPARE(model->index(0, 0).data(Qt::FontRole).value<QFont>().bold(), true);
        QCOMPARE_GE(ContrastRatio(FlexGridModel::MarkText(), FlexGridModel::MarkBack()), 4.5);
        QVERIFY(w().findChild<QLabel*>("lblTiers")->text().contains("ticket"));
        QCOMPARE(grid().TicketsAsText(), copied);
        QCOMPARE(grid().Cols(), 7);

        QTest::mouseClick(w().findChild<QWidget*>("cmdStart"), Qt::LeftButton);
        QVERIFY(grid().MatchText(1).isEmpty());
        QCOMPARE(model->columnCount(), 6);
        draw->setText(draw->text() + " "); // checked again
        QVERIFY(!grid().MatchText(1).isEmpty());
        draw->window()->close();
        QVERIFY(grid().MatchText(1).isEmpty());
        QVERIFY(!grid().Marked(1, 1));
    }
};

QTEST_MAIN(CheckTest)
#include "tst_check.moc"
