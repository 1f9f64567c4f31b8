#include "LinkLabel.h"

#include <QKeyEvent>
#include <QMouseEvent>

#include "PressableAccessible.h"

namespace kivora {

LinkLabel::LinkLabel(QWidget* parent) : QLabel(parent) {
    PressableAccessible::Install();
    setFocusPolicy(Qt::TabFocus);
    setCursor(Qt::PointingHandCursor);
}

void LinkLabel::Activate() {
    emit Click();
}

void LinkLabel::mousePressEvent(QMouseEvent* event) {
    leftClick_.Press(*event);
    event->accept();
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = leftClick_.Release(*event, *this);
    event->accept();
    if (click) {
        emit Click();
    }
}

void LinkLabel::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
}

void LinkLabel::mouseDoubleClickEvent(QMouseEvent* event) {
    mousePressEvent(event); // a second click is a second request
}

void LinkLabel::keyPressEvent(QKeyEvent* event) {
    const bool press = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter ||
                       event->key() == Qt::Key_Space;
    if (press && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        if (!event->isAutoRepeat()) { // a held key opens once
            emit Click();
        }
        event->accept();
        return;
    }
    QLabel::keyPressEvent(event);
}

} // namespace kivora
