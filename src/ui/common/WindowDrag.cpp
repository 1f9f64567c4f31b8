#include "WindowDrag.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

namespace kivora {

bool DragWindow(QWidget* window) {
    if (!window) {
        return false;
    }
    QWindow* handle = window->windowHandle();
    return handle && handle->startSystemMove();
}

void WindowDrag::Press(QMouseEvent* event) {
    pressed_ = event->button() == Qt::LeftButton;
    manual_ = false;
    pressGlobal_ = event->globalPosition().toPoint();
    windowAtPress_ = window_->pos();
}

void WindowDrag::Move(QMouseEvent* event) {
    const QPoint global = event->globalPosition().toPoint();
    if (!pressed_) {
        // A drag that began before we saw the press (a press on another control): start here.
        pressed_ = true;
        manual_ = false;
        pressGlobal_ = global;
        windowAtPress_ = window_->pos();
        return;
    }
    if (manual_) {
        window_->move(windowAtPress_ + (global - pressGlobal_));
        return;
    }
    if ((global - pressGlobal_).manhattanLength() < QApplication::startDragDistance()) {
        return;
    }
    if (DragWindow(window_)) {
        pressed_ = false; // the window manager owns the drag and its release from here on
        return;
    }
    manual_ = true;
    window_->move(windowAtPress_ + (global - pressGlobal_));
}

void WindowDrag::Release() {
    pressed_ = false;
    manual_ = false;
}

} // namespace kivora
