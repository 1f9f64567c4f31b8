#pragma once

#include <QLabel>

#include "LeftClick.h"

namespace kivora {

// A label that opens something: clicked with the left button, or from the keyboard once Tab has
// reached it (Return, Enter or Space). It keeps every mouse event to itself, so pressing it
// never starts a drag of its window.
class LinkLabel : public QLabel {
    Q_OBJECT
public:
    explicit LinkLabel(QWidget* parent = nullptr);

    // A click from the keyboard or an assistive tool.
    void Activate();

signals:
    void Click();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    LeftClick leftClick_;
};

} // namespace kivora
