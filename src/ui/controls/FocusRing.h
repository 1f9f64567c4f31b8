#pragma once

#include <QColor>
#include <QList>
#include <QPointer>
#include <QWidget>

namespace kivora {

// A ring on the window's picture around the control that has keyboard focus. The styles' own
// marks are too faint on the program's panel (a 1-pixel dark frame on a list) or missing (a grid
// without rows), so the ring stands a pixel outside the control, drawn by the window, not by the
// control's style.
class FocusRing : public QWidget {
    Q_OBJECT
public:
    // A child of `window`, beside the controls it rings.
    FocusRing(QWidget* window, const QColor& colour);

    // A control that wears the ring while it, or a widget inside it, has focus. It must be a
    // child of the same window.
    void Add(QWidget* control);
    // The control ringed now; null when the ring is hidden.
    QWidget* Target() const { return isVisible() ? target_.data() : nullptr; }

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Follow();

    QColor colour_;
    QList<QPointer<QWidget>> controls_;
    QPointer<QWidget> target_;
};

} // namespace kivora
