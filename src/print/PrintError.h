#pragma once

#include <stdexcept>

namespace kivora {

// A printer request that did not go through. The Print action turns it into the printer message.
class PrintError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace kivora
