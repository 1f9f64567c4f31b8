#include <memory>

#include <QFile>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include "common/Fonts.h"
#include "common/MessageBox.h"
#include "engine/MemoryGrid.h"
#include "engine/Ticket.h"
#include "engine/TicketGrid.h"
#include "print/PrintError.h"
#include "print/Printout.h"
#include "print/QPrinterPort.h"

using namespace kivora;

namespace {

MemoryGrid TicketGrid(int tickets) {
    MemoryGrid grid;
    SetUpTicketGrid(grid, 6, true);
    grid.SetRows(tickets + 1);
    for (int i = 1; i <= tickets; ++i) {
        WriteTicketRow(grid, i, Ticket{{1, 2, 3, 4, 5, 6}, 7});
    }
    return grid;
}

constexpr qreal kMargin = 18.0;

std::unique_ptr<QPrinter> PdfPrinter(const QString& file, const QPageSize& size) {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(file);
    printer->setPageLayout(
        QPageLayout(size, QPageLayout::Portrait, QMarginsF(kMargin, kMargin, kMargin, kMargin)));
    return printer;
}

int PdfPages(const QString& file) {
    QFile pdf(file);
    if (!pdf.open(QIODevice::ReadOnly)) {
        return -1;
    }
    const QString text = QString::fromLatin1(pdf.readAll());
    return static_cast<int>(
        text.count(QRegularExpression(QStringLiteral("/Type\\s*/Page(?![a-zA-Z])"))));
}

} // namespace

class TestQPrinterPort : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();

    void OpenDefault_noDefaultPrinter_throwsPrintError();
    void PrintGrid_noDefaultPrinter_printerMessage();
    void PrintTickets_pageSize_linesFlowOverPages_data();
    void PrintTickets_pageSize_linesFlowOverPages();
    void Destroy_documentNotEnded_sendsNothing();

private:
    QTemporaryDir dir_;
};

void TestQPrinterPort::initTestCase() {
    // No scheduler answers here, so no printer on this machine can be picked up by mistake.
    qputenv("CUPS_SERVER", dir_.filePath(QStringLiteral("no-scheduler.sock")).toLocal8Bit());
    InstallFontSubstitutes();
    QVERIFY(dir_.isValid());
}

void TestQPrinterPort::OpenDefault_noDefaultPrinter_throwsPrintError() {
    QVERIFY(QPrinterInfo::defaultPrinter().isNull());

    QVERIFY_THROWS_EXCEPTION(PrintError, QPrinterPort::OpenDefault());
}

void TestQPrinterPort::PrintGrid_noDefaultPrinter_printerMessage() {
    QList<MessageBox::Message> messages;
    MessageBox::SetHandler(
        [&messages](const MessageBox::Message& message) { messages << message; });
    MemoryGrid grid = TicketGrid(3);

    PrintGrid(nullptr, grid, &QPrinterPort::OpenDefault);

    MessageBox::ClearHandler();
    QCOMPARE(messages.size(), 1);
    QCOMPARE(messages[0].text,
             QStringLiteral("Make sure you have a printer installed and that it is turned on."));
    QCOMPARE(messages[0].icon, QMessageBox::Critical);
}

void TestQPrinterPort::PrintTickets_pageSize_linesFlowOverPages_data() {
    QTest::addColumn<QPageSize>("pageSize");
    QTest::addColumn<int>("tickets");
    QTest::addColumn<int>("pages");

    // A card with room for seven and a half lines of the printout's font between its margins.
    QPrinter probe(QPrinter::HighResolution);
    const qreal linePoints =
        QFontMetricsF(ProgramFont(10), &probe).lineSpacing() * 72.0 / probe.resolution();
    const QPageSize card(QSizeF(300, 2 * kMargin + 7.5 * linePoints), QPageSize::Point);

    // 54 lines of 10 pt text fill some 650 pt, well within A4.
    QTest::newRow("fifty tickets on A4") << QPageSize(QPageSize::A4) << 50 << 1;
    QTest::newRow("one ticket on a card") << card << 1 << 1;
    // Header, blank, headings, blank and 3 tickets; then 7 tickets a page.
    QTest::newRow("ten tickets on cards") << card << 10 << 2;
    QTest::newRow("fifty tickets on cards") << card << 50 << 8;
}

void TestQPrinterPort::PrintTickets_pageSize_linesFlowOverPages() {
    QFETCH(QPageSize, pageSize);
    QFETCH(int, tickets);
    QFETCH(int, pages);
    const QString file = dir_.filePath(QStringLiteral("%1.pdf").arg(QTest::currentDataTag()));
    MemoryGrid grid = TicketGrid(tickets);
    QPrinterPort port(PdfPrinter(file, pageSize));

    PrintTickets(grid, port);

    QCOMPARE(PdfPages(file), pages);
}

void TestQPrinterPort::Destroy_documentNotEnded_sendsNothing() {
    const QString file = dir_.filePath(QStringLiteral("unfinished.pdf"));
    {
        QPrinterPort port(PdfPrinter(file, QPageSize(QPageSize::A4)));
        port.SetFontName("MS Sans Serif");
        port.SetFontSize(10);
        port.PrintAt(0, "Lotto Kivora 2.6 by Brandell");
        port.EndLine();
        port.PrintAt(10, "N1");
    }

    QVERIFY(!QFile::exists(file));
}

QTEST_MAIN(TestQPrinterPort)
#include "tst_qprinterport.moc"
