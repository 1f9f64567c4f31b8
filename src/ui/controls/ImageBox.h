#pragma once

#include <QString>
#include <QWidget>

#include "LeftClick.h"

class QSvgRenderer;

namespace kivora {

// An image control: draws a picture (an SVG resource, crisp at any scale) stretched to its
// size, and reports presses, releases and completed clicks with the button used. Assistive
// tools see one that acts on a click as a button they can press.
class ImageBox : public QWidget {
    Q_OBJECT
public:
    explicit ImageBox(QWidget* parent = nullptr);

    void SetPicture(const QString& resource);
    QString Picture() const { return picture_; }

    // An image that acts on a click is a button to assistive tools.
    bool Clickable() const;
    // A click from an assistive tool.
    void Activate();

signals:
    void MouseDown(Qt::MouseButton button);
    void MouseUp(Qt::MouseButton button);
    // A left press and release both over the image.
    void Click();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    QString picture_;
    QSvgRenderer* renderer_;
    LeftClick leftClick_;
};

} // namespace kivora
