#pragma once

#include <string>
#include <vector>

#include "print/PrinterPort.h"

namespace kivora {

// A printer that keeps what it is sent, for tests: the requests in order and the document as
// lines of placed text items. Text is measured one column per character, so the plain lines
// show the layout exactly. It can be told to fail at a given request.
class RecordingPort : public PrinterPort {
public:
    struct Item {
        double column = 1.0;
        std::string text;
        friend bool operator==(const Item&, const Item&) = default;
    };
    using Line = std::vector<Item>;

    RecordingPort();

    // Every device request in order: "font <name>", "size <points>", "text <column> <text>",
    // "line" (a line end, asked for or made by a tab) and "end" (the end of the document).
    const std::vector<std::string>& Calls() const { return calls_; }
    // The document, one entry per line; the last entry is the line still open.
    const std::vector<Line>& Lines() const { return lines_; }
    // The lines as text, each item padded with blanks to its column (an empty item adds none).
    std::vector<std::string> PlainLines() const;
    int DocumentsEnded() const { return documentsEnded_; }
    const std::string& FontName() const { return fontName_; }
    double FontSize() const { return fontSize_; }

    // The n-th request from now on, counted from 1, throws a PrintError and is not recorded;
    // 0 lets every request through.
    void FailAtCall(int n);

protected:
    void DoSetFontName(const std::string& name) override;
    void DoSetFontSize(double points) override;
    void DoText(double column, const std::string& text) override;
    void DoNewLine() override;
    void DoEndDoc() override;
    double Measure(const std::string& text) const override;

private:
    void Request(std::string call);

    std::vector<std::string> calls_;
    std::vector<Line> lines_;
    std::string fontName_;
    double fontSize_ = 0.0;
    int documentsEnded_ = 0;
    int failAt_ = 0;
    int requests_ = 0;
};

} // namespace kivora
