#include "PdfQueuePort.h"

#include <algorithm>
#include <utility>

#include <QBuffer>
#include <QFontMetricsF>
#include <QLocale>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPointF>

#include "PrintError.h"
#include "PrintQueue.h"
#include "QueueModule.h"
#include "common/AppIdentity.h"

#if !KIVORA_HAVE_CUPS
#include <QPrinter>
#include <QPrinterInfo>
#endif

namespace kivora {

namespace {

// Fine enough that text metrics match the printer's; PDF coordinates are resolution-free.
constexpr int kPdfResolution = 1200;
constexpr qreal kMillimetresPerInch = 25.4;

#if !KIVORA_HAVE_CUPS
std::unique_ptr<QPrinter> DefaultPrinter() {
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) {
        throw PrintError("no default printer");
    }
    auto printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::NativeFormat);
    // The printer's own paper, not the paper of the locale.
    const QPageSize paper = info.defaultPageSize();
    if (paper.isValid()) {
        printer->setPageSize(paper);
    }
    printer->setPageMargins(
        MarginsOrMinimum(printer->pageLayout().margins(QPageLayout::Millimeter)),
        QPageLayout::Millimeter);
    return printer;
}
#endif

} // namespace

QMarginsF MarginsOrMinimum(const QMarginsF& reported) {
    const auto side = [](qreal mm) { return mm > 0.0 ? mm : PdfQueuePort::kMinimumMarginMm; };
    return {side(reported.left()), side(reported.top()), side(reported.right()),
            side(reported.bottom())};
}

QPageLayout PdfQueuePort::LayoutFor(const QueueInfo& info) {
    QPageSize paper = info.pageSize;
    if (!paper.isValid()) {
        paper =
            QPageSize(QLocale().measurementSystem() == QLocale::ImperialUSSystem ? QPageSize::Letter
                                                                                 : QPageSize::A4);
    }
    return QPageLayout(paper, QPageLayout::Portrait, MarginsOrMinimum(info.margins),
                       QPageLayout::Millimeter);
}

#if !KIVORA_HAVE_CUPS
PdfQueuePort::PdfQueuePort(std::unique_ptr<QPrinter> printer) : printer_(std::move(printer)) {
    if (!printer_ || !printer_->isValid()) {
        throw PrintError("the printer is not available");
    }
    printer_->setDocName(AppTitle());
    device_ = printer_.get();
}
#endif

PdfQueuePort::PdfQueuePort(std::unique_ptr<PrintQueue> queue) : queue_(std::move(queue)) {
    if (!queue_) {
        throw PrintError("no print queue");
    }
    const QueueInfo info = queue_->Describe();
    if (!info.acceptingJobs) {
        throw PrintError("the printer takes no jobs");
    }
    layout_ = std::make_unique<QPageLayout>(LayoutFor(info));
    StartPdf();
}

void PdfQueuePort::StartPdf() {
    writer_.reset();
    pdf_ = std::make_unique<QBuffer>();
    pdf_->open(QIODevice::WriteOnly);
    writer_ = std::make_unique<QPdfWriter>(pdf_.get());
    writer_->setResolution(kPdfResolution);
    writer_->setTitle(AppTitle());
    writer_->setCreator(AppTitle());
    if (!writer_->setPageLayout(*layout_)) {
        throw PrintError("the printer's paper does not take the margins");
    }
    device_ = writer_.get();
}

PdfQueuePort::~PdfQueuePort() = default;

std::unique_ptr<PrinterPort>
PdfQueuePort::OpenDefault([[maybe_unused]] const LoginAsker& askLogin) {
#if KIVORA_HAVE_CUPS
    // Through libcups, not Qt's print engine: Qt's engine neither reports a refused job nor
    // bounds its waits for a scheduler that stops answering.
    return std::make_unique<PdfQueuePort>(OpenQueueModule({askLogin}));
#else
    return std::make_unique<PdfQueuePort>(DefaultPrinter());
#endif
}

void PdfQueuePort::DoSetFontName(const std::string& name) {
    if (name.empty()) {
        throw PrintError("no font name");
    }
    // Where the face is missing, the substitutes the program installed at start-up stand in.
    font_.setFamilies({QString::fromStdString(name)});
    font_.setStyleHint(QFont::SansSerif);
}

void PdfQueuePort::DoSetFontSize(double points) {
    if (!(points > 0.0)) {
        throw PrintError("no such font size");
    }
    font_.setPointSizeF(points);
}

void PdfQueuePort::DoText(double column, const std::string& text) {
    if (text.empty()) {
        return;
    }
    const QFontMetricsF metrics(font_, device_);
    if (lineTop_ > 0.0 && lineTop_ + metrics.height() > device_->height()) {
        ++page_;
        lineTop_ = 0.0;
    }
    const QString shown = QString::fromStdString(text);
    placed_.push_back({page_, column, lineTop_ + metrics.ascent(), ColumnWidth(),
                       metrics.horizontalAdvance(shown), font_, shown});
}

void PdfQueuePort::DoNewLine() {
    lineTop_ += QFontMetricsF(font_, device_).lineSpacing();
}

void PdfQueuePort::DoEndDoc() {
    Paint();
    placed_.clear();
    page_ = 0;
    lineTop_ = 0.0;
}

double PdfQueuePort::Measure(const std::string& text) const {
    return QFontMetricsF(font_, device_).horizontalAdvance(QString::fromStdString(text)) /
           ColumnWidth();
}

double PdfQueuePort::ColumnWidth() const {
    return std::max(QFontMetricsF(font_, device_).averageCharWidth(), 1.0);
}

void PdfQueuePort::Paint() {
    if (placed_.empty()) {
        return;
    }
    QPainter painter;
    if (!painter.begin(device_)) {
        throw PrintError("the printer did not start the document");
    }
    // Where a text would pass the right margin, every tab column moves in by the same factor,
    // with half a millimetre to spare for the printer's own rendering of the glyphs.
    const qreal printable = device_->width() - device_->logicalDpiX() / kMillimetresPerInch / 2;
    qreal scale = 1.0;
    for (const Placed& item : placed_) {
        const qreal start = (item.column - 1.0) * item.columnWidth;
        if (start > 0.0 && start + item.width > printable) {
            scale = std::min(scale, std::max(printable - item.width, 0.0) / start);
        }
    }
    int page = 0;
    for (const Placed& item : placed_) {
        for (; page < item.page; ++page) {
            if (!device_->newPage()) {
#if !KIVORA_HAVE_CUPS
                // Where the platform can, take back what was sent; never finish it as if whole.
                if (printer_) {
                    printer_->abort();
                }
#endif
                painter.end();
                throw PrintError("the printer did not start a new page");
            }
        }
        painter.setFont(item.font);
        painter.drawText(QPointF((item.column - 1.0) * item.columnWidth * scale, item.baselineY),
                         item.text);
    }
    bool failed = !painter.end();
#if !KIVORA_HAVE_CUPS
    failed = failed || (printer_ && printer_->printerState() == QPrinter::Error);
#endif
    if (failed) {
        throw PrintError("the printer did not take the document");
    }
    if (queue_) {
        // The writer finishes the file only when it goes; Qt 6.4 leaves the tail of the
        // cross-reference table unwritten until then.
        device_ = nullptr;
        writer_.reset();
        const QByteArray document = pdf_->data();
        StartPdf();
        held_ = queue_->Submit(document, AppTitle()) == JobFate::Held;
    }
}

} // namespace kivora
