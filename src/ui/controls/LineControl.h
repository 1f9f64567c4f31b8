#pragma once

#include <QColor>
#include <QPoint>
#include <QWidget>

namespace kivora {

// A line drawn on a window, from one point to another in the parent's coordinates. It takes no
// input: the pointer passes through to the window behind it.
class LineControl : public QWidget {
    Q_OBJECT
public:
    LineControl(QPoint from, QPoint to, int width, const QColor& color, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPoint from_;
    QPoint to_;
    int width_;
    QColor color_;
};

} // namespace kivora
