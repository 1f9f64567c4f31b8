#include "RecordingPort.h"

#include <cmath>

#include "engine/Utf8.h"
#include "print/PrintError.h"

namespace kivora {

void RecordingPort::DoText(double column, const std::string& text) {
    Request("text " + std::to_string(column) + " " + text);
    if (!text.empty()) {
        QString& line = lines_.back();
        line = line.leftJustified(std::lround(column - 1.0)) + QString::fromStdString(text);
    }
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
