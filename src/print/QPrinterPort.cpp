#include "QPrinterPort.h"

#include <algorithm>
#include <utility>

#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

#include "AppInfo.h"
#include "PrintError.h"

namespace kivora {

namespace {
std::unique_ptr<QPrinter> DefaultPrinter() {
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) {
        throw PrintError("no default printer");
    }
    auto printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::NativeFormat);
    return printer;
}
} // namespace

QPrinterPort::QPrinterPort() : QPrinterPort(DefaultPrinter()) {}

QPrinterPort::QPrinterPort(std::unique_ptr<QPrinter> printer) : printer_(std::move(printer)) {
    if (!printer_ || !printer_->isValid()) {
        throw PrintError("the printer is not available");
    }
    printer_->setDocName(QString::fromUtf8(app::kTitle));
}

QPrinterPort::~QPrinterPort() = default;

std::unique_ptr<PrinterPort> QPrinterPort::OpenDefault() {
    return std::make_unique<QPrinterPort>();
}

void QPrinterPort::DoSetFontName(const std::string& name) {
    if (name.empty()) {
        throw PrintError("no font name");
    }
    // Where the face is missing, the substitutes the program installed at start-up stand in.
    font_.setFamilies({QString::fromStdString(name)});
    font_.setStyleHint(QFont::SansSerif);
}

void QPrinterPort::DoSetFontSize(double points) {
    if (!(points > 0.0)) {
        throw PrintError("no such font size");
    }
    font_.setPointSizeF(points);
}

void QPrinterPort::DoText(double column, const std::string& text) {
    if (text.empty()) {
        return;
    }
    const QFontMetricsF metrics(font_, printer_.get());
    if (lineTop_ > 0.0 && lineTop_ + metrics.height() > printer_->height()) {
        ++page_;
        lineTop_ = 0.0;
    }
    const QPointF baseline((column - 1.0) * ColumnWidth(), lineTop_ + metrics.ascent());
    placed_.push_back({page_, baseline, font_, QString::fromStdString(text)});
}

void QPrinterPort::DoNewLine() {
    lineTop_ += QFontMetricsF(font_, printer_.get()).lineSpacing();
}

void QPrinterPort::DoEndDoc() {
    Paint();
    placed_.clear();
    page_ = 0;
    lineTop_ = 0.0;
}

double QPrinterPort::Measure(const std::string& text) const {
    return QFontMetricsF(font_, printer_.get()).horizontalAdvance(QString::fromStdString(text)) /
           ColumnWidth();
}

double QPrinterPort::ColumnWidth() const {
    return std::max(QFontMetricsF(font_, printer_.get()).averageCharWidth(), 1.0);
}

void QPrinterPort::Paint() {
    if (placed_.empty()) {
        return;
    }
    QPainter painter;
    if (!painter.begin(printer_.get())) {
        throw PrintError("the printer did not start the document");
    }
    int page = 0;
    for (const Placed& item : placed_) {
        for (; page < item.page; ++page) {
            if (!printer_->newPage()) {
                // Where the platform can, take back what was sent; never finish it as if whole.
                printer_->abort();
                painter.end();
                throw PrintError("the printer did not start a new page");
            }
        }
        painter.setFont(item.font);
        painter.drawText(item.baseline, item.text);
    }
    if (!painter.end() || printer_->printerState() == QPrinter::Error) {
        throw PrintError("the printer did not take the document");
    }
}

} // namespace kivora
