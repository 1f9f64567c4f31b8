#pragma once

#include <string>
#include <vector>

#include <QStringList>

#include "print/PrinterPort.h"

namespace kivora {

// A printer that keeps what it is sent, for tests: the requests in order and the document as
// lines of placed text. Text is measured one column per character, so the plain lines show
// the layout exactly. It can be told to fail at a given request.
class RecordingPort : public PrinterPort {
public:
    // Every device request in order: "font <name>", "size <points>", "text <column> <text>",
    // "line" (a line end, asked for or made by a tab) and "end" (the end of the document).
    const std::vector<std::string>& Calls() const { return calls_; }
    // The lines as text, each item padded with blanks to its column (an empty item adds none);
    // the last entry is the line still open.
    const QStringList& PlainLines() const { return lines_; }
    int DocumentsEnded() const { return documentsEnded_; }

    // The n-th request from now on, counted from 1, throws a PrintError and is not recorded;
    // 0 lets every request through.
    void FailAtCall(int n) {
        failAt_ = n;
        requests_ = 0;
    }

protected:
    void DoSetFontName(const std::string& name) override { Request("font " + name); }
    void DoSetFontSize(double points) override { Request("size " + std::to_string(points)); }
    void DoText(double column, const std::string& text) override;
    void DoNewLine() override {
        Request("line");
        lines_ << QString();
    }
    void DoEndDoc() override {
        Request("end");
        ++documentsEnded_;
    }
    double Measure(const std::string& text) const override;

private:
    void Request(std::string call);

    std::vector<std::string> calls_;
    QStringList lines_{QString()};
    int documentsEnded_ = 0;
    int failAt_ = 0;
    int requests_ = 0;
};

} // namespace kivora
