// The history window and the main window's side of it, on the offscreen platform. Each case
// has its own data and settings folders.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QScopeGuard>
#include <QSettings>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include "history/HistoryStore.h"
#include "support/MainWindowOnFakes.h"
#include "ui/check/FrmKeptCheck.h"
#include "ui/common/MessageBox.h"
#include "ui/controls/FlexGrid.h"
#include "ui/controls/OptionList.h"
#include "ui/history/FrmHistory.h"
#include "ui/history/HistoryKeeper.h"
#include "ui/main/FrmMain.h"

using namespace kivora;

namespace {

// Batch d is drawn on 1 + 2d December; batch 1 is a preset's, the others 6/49.
HistoryBatch Batch(int d) {
    HistoryBatch b;
    b.drawnUtc = QDateTime(QDate(2026, 12, 1 + 2 * d), QTime(12, 0)).toUTC();
    b.presetId = d == 1 ? QStringLiteral("powerball") : QString();
    b.settings.numbersPerTicket = 6;
    b.settings.highestNumber = 49;
    b.settings.ticketCount = 2;
    b.tickets = {{{1, 2, 3, 4, 5, 10 + d}, std::nullopt}, {{6, 7, 8, 9, 10, 20 + d}, std::nullopt}};
    return b;
}

QStringList Games(const FrmHistory& w) {
    QStringList games;
    for (int r = 0; r < w.List()->model()->rowCount(); ++r) {
        games << w.List()->model()->index(r, 1).data().toString();
    }
    return games;
}

} // namespace

class TestFrmHistory : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<HistoryStore> store_;
    std::unique_ptr<FrmHistory> window_;
    QList<MessageBox::Message> messages_;

    FrmHistory& w() { return *window_; }
    void Select(std::initializer_list<int> rows) {
        w().List()->clearSelection();
        for (const int row : rows) {
            w().List()->selectionModel()->select(w().List()->model()->index(row, 0),
                                                 QItemSelectionModel::Select |
                                                     QItemSelectionModel::Rows);
        }
    }

private slots:
    void initTestCase() { test::SetUpWindowTests(); }

    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir_->path());
        qputenv("XDG_DATA_HOME", dir_->path().toLocal8Bit());
        messages_.clear();
        MessageBox::SetHandler([this](const MessageBox::Message& m) { messages_ << m; });
        store_ = std::make_unique<HistoryStore>(dir_->path());
        for (int d = 0; d < 3; ++d) {
            QVERIFY(store_->Add(Batch(d)).ok);
        }
        window_ = std::make_unique<FrmHistory>(*store_);
        window_->show();
        window_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    }

    void cleanup() {
        window_.reset();
        store_.reset();
        MessageBox::ClearHandler();
    }

    void list_opened_newestFirstAndSelectionShowsTickets() {
        QCOMPARE(Games(w()), (QStringList{"Lotto 6/49", "powerball", "Lotto 6/49"}));
        QCOMPARE(w().Tickets()->CellText(1, 6), QStringLiteral("12"));
        w().List()->setCurrentIndex(w().List()->model()->index(2, 0));
        QCOMPARE(w().Tickets()->CellText(2, 6), QStringLiteral("20"));
        QCOMPARE(w().Tickets()->TicketsAsText(), QStringLiteral("1\t2\t3\t4\t5\t10\n"
                                                                "6\t7\t8\t9\t10\t20\n"));
        // Until a day shows that day's batches as well.
        w().findChild<QDateEdit*>(QStringLiteral("dtUntil"))->setDate(QDate(2026, 12, 3));
        w().findChild<QCheckBox*>(QStringLiteral("chkUntil"))->setChecked(true);
        QCOMPARE(Games(w()), (QStringList{"powerball", "Lotto 6/49"}));
        auto* game = w().findChild<QComboBox*>(QStringLiteral("cboGame"));
        game->setCurrentIndex(game->findText(QStringLiteral("powerball")));
        QCOMPARE(Games(w()), QStringList{"powerball"});
        QCOMPARE(w().Tickets()->CellText(1, 6), QStringLiteral("11"));
    }

    void DeleteSelected_answer_deletesOnlyWhenConfirmed_data() {
        QTest::addColumn<bool>("yes");
        QTest::newRow("confirmed") << true;
        QTest::newRow("refused") << false;
    }
    void DeleteSelected_answer_deletesOnlyWhenConfirmed() {
        QFETCH(bool, yes);
        QString asked;
        w().SetAsk([&](QWidget*, const QString& question) {
            asked = question;
            return yes;
        });
        Select({0, 2});
        QTest::keyClick(w().List(), Qt::Key_Delete);
        QVERIFY(asked.contains(QStringLiteral("the 2 selected batches")));
        const QStringList all{"Lotto 6/49", "powerball", "Lotto 6/49"};
        QCOMPARE(Games(w()), yes ? QStringList{"powerball"} : all);
        QCOMPARE(store_->Read({}, false).batches.size(), yes ? size_t{1} : size_t{3});
    }

    void DeleteOlder_day_deletesBatchesDrawnBefore() {
        w().SetAskDate([](QWidget*) { return QDate(2026, 12, 5); }); // the day itself stays
        w().SetAsk([](QWidget*, const QString&) { return true; });
        w().DeleteOlder();
        QCOMPARE(Games(w()), (QStringList{"Lotto 6/49"}));
        QCOMPARE(store_->Read({}, false).batches.size(), size_t{1});
    }

    void CheckSelected_twoBatches_handsThemOverWithTickets() {
        QSignalSpy check(&w(), &FrmHistory::checkRequested);
        Select({1, 2});
        QTest::keyClick(&w(), Qt::Key_K, Qt::ControlModifier);
        QCOMPARE(check.size(), 1);
        const auto batches = check.at(0).at(0).value<std::vector<HistoryBatch>>();
        QCOMPARE(batches.size(), size_t{2});
        QCOMPARE(batches[0].presetId, QStringLiteral("powerball"));
        QCOMPARE(batches[1].tickets[1].numbers.back(), 20);

        // Checked in a grid of their own: the first batch's game, its tickets marked as typed.
        auto* kept = new FrmKeptCheck(
            batches,
            [](const HistoryBatch& b) { return GameRules::ForSettings(b.settings, nullptr); },
            nullptr);
        const auto close = qScopeGuard([kept] { kept->close(); });
        FlexGrid& grid = *kept->Grid();
        QCOMPARE(grid.Rows(), 5); // both are 6/49 games
        kept->findChild<QLineEdit*>("txtDraw")->setText("1 2 3 4 5 11");
        QVERIFY(grid.Marked(1, 1));
        QCOMPARE(grid.MatchText(1), QStringLiteral("6"));
    }

    // The main window: a Start is kept once the grid is painted, never inside the handler;
    // a history that cannot be written says so once per run.
    void Start_keepHistory_keptAfterTheHandler_data() {
        QTest::addColumn<bool>("keep");
        QTest::addColumn<bool>("broken");
        QTest::newRow("kept") << true << false;
        QTest::newRow("not kept") << false << false;
        QTest::newRow("cannot be written") << true << true;
    }
    void Start_keepHistory_keptAfterTheHandler() {
        QFETCH(bool, keep);
        QFETCH(bool, broken);
        window_.reset();
        store_.reset();
        QTemporaryDir data;
        qputenv("XDG_DATA_HOME", data.path().toLocal8Bit());
        const QString folder = data.filePath(QStringLiteral("Brandell/Kivora"));
        const QString file = folder + QStringLiteral("/history.sqlite");
        QVERIFY(!broken || QDir().mkpath(file)); // a folder where the file should be
        QCoreApplication::setOrganizationName(QStringLiteral("Brandell"));
        QCoreApplication::setApplicationName(QStringLiteral("Kivora"));
        test::MainWindowOnFakes fakes;
        FrmMain& main = fakes.w;
        main.Form_Load();
        main.List(QStringLiteral("cboTickets"))->SetListIndex(4);
        main.History()->SetAsk([](QWidget*, const QString&) { return false; });
        if (!keep) {
            main.History()->KeepAction()->trigger();
        }
        for (int start = 0; start < 2; ++start) {
            main.cmdStart_Click();
            QVERIFY(start > 0 || broken || !QFile::exists(file));
            QCoreApplication::processEvents();
        }
        const HistoryStore::ReadResult read = HistoryStore(folder).Read({}, true);
        QCOMPARE(read.batches.size(), keep && !broken ? size_t{2} : size_t{0});
        if (keep && !broken) {
            QCOMPARE(read.batches[0].tickets.size(), size_t{5});
            QCOMPARE(QString::number(read.batches[0].tickets[4].numbers[0]),
                     main.Grid()->CellText(5, 1));
        }
        QCOMPARE(messages_.size(), broken ? 1 : 0);
        if (broken) {
            QVERIFY(!messages_[0].modal);
            QCOMPARE(main.History()->Store().PendingCount(), size_t{2});
            // Exit writes what is still waiting, once it can.
            QVERIFY(QDir(file).removeRecursively());
            main.cmdExit_Click();
            QCOMPARE(HistoryStore(folder).Read({}, false).batches.size(), size_t{2});
        }
        QCOMPARE(QSettings(QSettings::NativeFormat, QSettings::UserScope,
                           QStringLiteral("Brandell"), QStringLiteral("Kivora"))
                     .contains(QStringLiteral("HistoryOff")),
                 !keep);
    }
};

QTEST_MAIN(TestFrmHistory)
#include "tst_frmhistory.moc"
