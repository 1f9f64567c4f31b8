#pragma once

class QWidget;

namespace kivora {

// Closes every open window of the program other than lastWindow, each exactly once, then
// lastWindow itself.
void CloseAllWindows(QWidget* lastWindow);

} // namespace kivora
