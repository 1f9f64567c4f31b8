#pragma once

#include <memory>
#include <vector>

#include <QFont>
#include <QMarginsF>
#include <QPointF>
#include <QString>

#include "PrinterPort.h"

class QBuffer;
class QPagedPaintDevice;
class QPageLayout;
class QPdfWriter;
class QPrinter;

namespace kivora {

class PrintQueue;
struct QueueInfo;

// The printer port on a paged paint device: a print queue that takes PDF documents (the
// system's default queue where the system prints through CUPS) or a QPrinter.
//
// Pages are composed in memory and only painted when the document ends, so a printout that fails
// half-way never reaches the printer: the port is dropped with its unfinished pages. Layout uses
// the device's own resolution and font metrics; a print column is the font's average character
// width, column 1 is the left edge of the printable area, and a line that would pass the bottom
// margin goes to the next page. No page numbers.
class QPrinterPort : public PrinterPort {
public:
    // The margin on every side that the printer leaves unreported.
    static constexpr double kMinimumMarginMm = 10.0;

    // The default printer; throws a PrintError when there is none or it takes no jobs.
    QPrinterPort();
    // Any printer, for example one that writes a PDF file.
    explicit QPrinterPort(std::unique_ptr<QPrinter> printer);
    // A queue: asked at once whether it takes jobs (a PrintError when not); the document is
    // rendered as PDF on the queue's own paper and handed over when it ends.
    explicit QPrinterPort(std::unique_ptr<PrintQueue> queue);
    ~QPrinterPort() override;

    QPrinterPort(const QPrinterPort&) = delete;
    QPrinterPort& operator=(const QPrinterPort&) = delete;

    // For the Print action's factory.
    static std::unique_ptr<PrinterPort> OpenDefault();

    // The page a queue's document is laid out on: its default paper (the locale's usual paper
    // when it names none), its margins, and kMinimumMarginMm where it reports none.
    static QPageLayout LayoutFor(const QueueInfo& info);

    bool Held() const override { return held_; }

protected:
    void DoSetFontName(const std::string& name) override;
    void DoSetFontSize(double points) override;
    void DoText(double column, const std::string& text) override;
    void DoNewLine() override;
    void DoEndDoc() override;
    double Measure(const std::string& text) const override;

private:
    struct Placed {
        int page = 0;
        QPointF baseline;
        QFont font;
        QString text;
    };

    double ColumnWidth() const;
    void Paint();
    void StartPdf();

    std::unique_ptr<QPrinter> printer_;
    std::unique_ptr<PrintQueue> queue_;
    std::unique_ptr<QBuffer> pdf_;
    std::unique_ptr<QPdfWriter> writer_;
    std::unique_ptr<QPageLayout> layout_;
    QPagedPaintDevice* device_ = nullptr;
    QFont font_;
    std::vector<Placed> placed_;
    int page_ = 0;
    qreal lineTop_ = 0.0;
    bool held_ = false;
};

// Each side's margin as reported, or kMinimumMarginMm where a side reports none.
QMarginsF MarginsOrMinimum(const QMarginsF& reported);

} // namespace kivora
