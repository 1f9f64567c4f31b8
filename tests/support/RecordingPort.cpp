#include "RecordingPort.h"

#include <cmath>
#include <sstream>

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

std::vector<std::string> RecordingPort::PlainLines() const {
    std::vector<std::string> plain;
    for (const auto& line : lines_) {
        std::string text;
        size_t width = 0;
        for (const auto& [column, item] : line) {
            if (item.empty()) {
                continue;
            }
            const auto start = static_cast<size_t>(std::lround(column - 1.0));
            if (width < start) {
                text.append(start - width, ' ');
                width = start;
            }
            text += item;
            width += static_cast<size_t>(std::lround(Measure(item)));
        }
        plain.push_back(std::move(text));
    }
    return plain;
}

void RecordingPort::DoSetFontSize(double points) {
    Request("size " + Number(points));
}

void RecordingPort::DoText(double column, const std::string& text) {
    Request("text " + Number(column) + " " + text);
    lines_.back().emplace_back(column, text);
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
    return static_cast<double>(Utf8Length(text)); // one column per character
}

void RecordingPort::Request(std::string call) {
    if (failAt_ > 0 && ++requests_ == failAt_) {
        throw PrintError("the recording port fails at: " + call);
    }
    calls_.push_back(std::move(call));
}

} // namespace kivora
