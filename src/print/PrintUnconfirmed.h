#pragma once

#include "PrintError.h"

namespace kivora {

// The whole document went to the printer, but no answer came in time: the job may still print.
// Saying that it failed would invite a second copy.
class PrintUnconfirmed : public PrintError {
public:
    using PrintError::PrintError;
};

} // namespace kivora
