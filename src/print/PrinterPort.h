#pragma once

#include <string>

namespace kivora {

// The printer as the printout sees it: a font, text items at tab columns, line ends and the end
// of the document. Every request can fail with a PrintError (or anything a port lets through).
//
// The tab rule lives here, once, so every port places text alike. Positions are counted in print
// columns, each as wide as the current font's average character; column 1 is the left margin.
// A port supplies the device side: drawing a text item at a column, starting a new line,
// measuring text, and handing the finished document over.
class PrinterPort {
public:
    virtual ~PrinterPort() = default;

    void SetFontName(const std::string& name);
    void SetFontSize(double points);
    // Tabs to `column`, then prints `text` (UTF-8) and leaves the line open. A column below 1
    // counts as 1. Standing at the column stays, standing before it moves forward, and standing
    // past it ends the line and starts the text at that column of the next line.
    void PrintAt(int column, const std::string& text);
    void EndLine();
    void EndDoc();

    // After the end of the document: the printer keeps it waiting (a paused queue, a held job)
    // instead of printing it.
    virtual bool Held() const { return false; }

protected:
    virtual void DoSetFontName(const std::string& name) = 0;
    virtual void DoSetFontSize(double points) = 0;
    virtual void DoText(double column, const std::string& text) = 0;
    virtual void DoNewLine() = 0;
    virtual void DoEndDoc() = 0;
    // The width of `text` in print columns, in the current font.
    virtual double Measure(const std::string& text) const = 0;

private:
    double position_ = 1.0;
};

} // namespace kivora
