#pragma once

#include <QPoint>

class QMouseEvent;
class QWidget;

namespace kivora {

// Moves a frameless window by its background.
//
// The window manager's own move (QWindow::startSystemMove) is asked for first, but only once the
// pointer has moved by the drag distance: under xcb, a move started on the press itself can lose
// the button release and leave the window stuck to the pointer. Where the platform has no such
// move (no window manager, offscreen) the window follows the pointer itself.
class WindowDrag {
public:
    explicit WindowDrag(QWidget* window) : window_(window) {}

    void Press(QMouseEvent* event);
    // Call for a move with exactly the left button held.
    void Move(QMouseEvent* event);
    void Release();

    bool Dragging() const { return pressed_; }

private:
    QWidget* window_;
    bool pressed_ = false;
    bool manual_ = false;
    QPoint pressGlobal_;
    QPoint windowAtPress_;
};

// The window manager's interactive move of the window; false where the platform has none.
bool DragWindow(QWidget* window);

} // namespace kivora
