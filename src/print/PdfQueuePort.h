#pragma once

#include <memory>
#include <vector>

#include <QFont>
#include <QMarginsF>
#include <QString>

#include "PrinterLogin.h"
#include "PrinterPort.h"

class QBuffer;
class QPagedPaintDevice;
class QPageLayout;
class QPdfWriter;
class QPrinter;

namespace kivora {

class PrintQueue;
struct QueueInfo;

// The printer port that writes the printout as PDF for a print queue (the system's default
// queue where the system prints through CUPS); where there is no such queue, it paints on a
// QPrinter instead.
//
// Pages are composed in memory and only painted when the document ends, so a printout that fails
// half-way never reaches the printer: the port is dropped with its unfinished pages. Layout uses
// the device's own resolution and font metrics; a print column is the font's average character
// width, column 1 is the left edge of the printable area, and a line that would pass the bottom
// margin goes to the next page. No page numbers. On paper too narrow for the tab columns (A6),
// the columns close up so that every text ends inside the margin; the text keeps its size.
class PdfQueuePort : public PrinterPort {
public:
    // The margin on every side that the printer leaves unreported.
    static constexpr double kMinimumMarginMm = 10.0;

#if !KIVORA_HAVE_CUPS
    // Any printer, for example one that writes a PDF file.
    explicit PdfQueuePort(std::unique_ptr<QPrinter> printer);
#endif
    // A queue: asked at once whether it takes jobs (a PrintError when not); the document is
    // rendered as PDF on the queue's own paper and handed over when it ends.
    explicit PdfQueuePort(std::unique_ptr<PrintQueue> queue);
    ~PdfQueuePort() override;

    PdfQueuePort(const PdfQueuePort&) = delete;
    PdfQueuePort& operator=(const PdfQueuePort&) = delete;

    // The default printer, for the Print action's factory; throws a PrintError when there is
    // none or it takes no jobs. A queue that wants a login gets it through `askLogin`.
    static std::unique_ptr<PrinterPort> OpenDefault(const LoginAsker& askLogin = {});

    // The page a queue's document is laid out on: its default paper (the locale's usual paper
    // when it names none), its margins, and kMinimumMarginMm where it reports none.
    static QPageLayout LayoutFor(const QueueInfo& info);

    bool Held() const override {
        return held_;
    }

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
        double column = 1.0;
        qreal baselineY = 0.0;
        qreal columnWidth = 0.0; // of the font the item is in
        qreal width = 0.0;
        QFont font;
        QString text;
    };

    double ColumnWidth() const;
    void Paint();
    void StartPdf();

#if !KIVORA_HAVE_CUPS
    std::unique_ptr<QPrinter> printer_;
#endif
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
