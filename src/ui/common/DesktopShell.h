#pragma once

#include "common/Shell.h"

namespace kivora {

// The desktop's own handlers, through QDesktopServices. The desktop only says whether it
// started something, so a missing file or folder is found out here, before asking it.
// Needs a QGuiApplication.
class DesktopShell final : public Shell {
public:
    int Open(const QString& target) override;
};

} // namespace kivora
