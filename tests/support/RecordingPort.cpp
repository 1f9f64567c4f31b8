#include "RecordingPort.h"

#include <cmath>
#include <sstream>
#include <utility>

#include "engine/Utf8.h"
#include "print/PrintError.h"

namespace kivora {

namespace {
std::string Number(double value) {
    std::ostringstream out;
    out << value;
    return out.str();
}
} // namespace

RecordingPort::RecordingPort() : lines_(1) {}

std::vector<std::string> RecordingPort::PlainLines() const {
    std::vector<std::string> plain;
    plain.reserve(lines_.size());
    for (const Line& line : lines_) {
        std::string text;
        size_t width = 0;
        for (const Item& item : line) {
            if (item.text.empty()) {
                continue;
            }
            const auto start = static_cast<size_t>(std::lround(item.column - 1.0));
            if (width < start) {
                text.append(start - width, ' ');
                width = start;
            }
            text += item.text;
            width += static_cast<size_t>(std::lround(Measure(item.text)));
        }
        plain.push_back(std::move(text));
    }
    return plain;
}

void RecordingPort::FailAtCall(int n) {
    failAt_ = n;
    requests_ = 0;
}

void RecordingPort::DoSetFontName(const std::string& name) {
    Request("font " + name);
    fontName_ = name;
}

void RecordingPort::DoSetFontSize(double points) {
    Request("size " + Number(points));
    fontSize_ = points;
}

void RecordingPort::DoText(double column, const std::string& text) {
    Request("text " + Number(column) + " " + text);
    lines_.back().push_back({column, text});
}

void RecordingPort::DoNewLine() {
    Request("line");
    lines_.emplace_back();
}

void RecordingPort::DoEndDoc() {
    Request("end");
    ++documentsEnded_;
}

double RecordingPort::Measure(const std::string& text) const {
    // One column per character.
    return static_cast<double>(Utf8Length(text));
}

void RecordingPort::Request(std::string call) {
    if (failAt_ > 0 && ++requests_ == failAt_) {
        throw PrintError("the recording port fails at: " + call);
    }
    calls_.push_back(std::move(call));
}

} // namespace kivora
