#pragma once

#include <QMouseEvent>
#include <QWidget>

namespace kivora {

// A left press and a left release both inside the widget make a click, as on a button.
class LeftClick {
public:
    void Press(const QMouseEvent& event) {
        if (event.button() == Qt::LeftButton) {
            down_ = true;
        }
    }
    // True when this release ends a click on `widget`.
    bool Release(const QMouseEvent& event, const QWidget& widget) {
        if (event.button() != Qt::LeftButton) {
            return false;
        }
        const bool click = down_ && widget.rect().contains(event.position().toPoint());
        down_ = false;
        return click;
    }

private:
    bool down_ = false;
};

} // namespace kivora
