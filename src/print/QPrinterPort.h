#pragma once

#include <memory>
#include <vector>

#include <QFont>
#include <QPointF>
#include <QString>

#include "PrinterPort.h"

class QPrinter;

namespace kivora {

// The printer port on a QPrinter, normally the system's default printer in its native format.
//
// Pages are composed in memory and only painted when the document ends, so a printout that fails
// half-way never reaches the printer: the port is dropped with its unfinished pages. Layout uses
// the printer's own resolution and font metrics; a print column is the font's average character
// width, column 1 is the left edge of the printable area, and a line that would pass the bottom
// margin goes to the next page. No page numbers.
class QPrinterPort : public PrinterPort {
public:
    // The default printer; throws a PrintError when there is none.
    QPrinterPort();
    // Any printer, for example one that writes a PDF file.
    explicit QPrinterPort(std::unique_ptr<QPrinter> printer);
    ~QPrinterPort() override;

    QPrinterPort(const QPrinterPort&) = delete;
    QPrinterPort& operator=(const QPrinterPort&) = delete;

    // For the Print action's factory.
    static std::unique_ptr<PrinterPort> OpenDefault();

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

    std::unique_ptr<QPrinter> printer_;
    QFont font_;
    std::vector<Placed> placed_;
    int page_ = 0;
    qreal lineTop_ = 0.0;
};

} // namespace kivora
