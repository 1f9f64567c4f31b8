#pragma once

#include <QFont>

namespace kivora {

// The program's face is "MS Sans Serif"; where it is missing an installed sans face stands in.
// Call once, after the application object exists.
void InstallFontSubstitutes();

// "MS Sans Serif" at the given point size.
QFont ProgramFont(qreal pointSize, bool bold = false);

} // namespace kivora
