#include "CloseAllWindows.h"

#include <QApplication>
#include <QPointer>
#include <QWidget>

namespace kivora {

void CloseAllWindows(QWidget* lastWindow) {
    // Take the list first: closing one window may destroy others.
    QList<QPointer<QWidget>> others;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window != lastWindow && window->isVisible()) {
            others.append(window);
        }
    }
    for (const QPointer<QWidget>& window : others) {
        if (window) {
            window->close();
        }
    }
    if (lastWindow) {
        lastWindow->close();
    }
}

} // namespace kivora
