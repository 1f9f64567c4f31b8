#include "ImageBox.h"

#include <QMetaMethod>
#include <QMouseEvent>
#include <QPainter>
#include <QSvgRenderer>

#include "PressableAccessible.h"

namespace kivora {

ImageBox::ImageBox(QWidget* parent) : QWidget(parent), renderer_(new QSvgRenderer(this)) {
    setAttribute(Qt::WA_TranslucentBackground);
    PressableAccessible::Install();
}

bool ImageBox::Clickable() const {
    return isSignalConnected(QMetaMethod::fromSignal(&ImageBox::Click));
}

void ImageBox::Activate() {
    emit Click();
}

void ImageBox::SetPicture(const QString& resource) {
    picture_ = resource;
    if (resource.isEmpty()) {
        renderer_->load(QByteArray());
    } else {
        renderer_->load(resource);
    }
    update();
}

void ImageBox::paintEvent(QPaintEvent*) {
    if (!renderer_->isValid()) {
        return;
    }
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    renderer_->render(&p, QRectF(rect()));
}

void ImageBox::mousePressEvent(QMouseEvent* event) {
    leftClick_.Press(*event);
    emit MouseDown(event->button());
    event->accept();
}

void ImageBox::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = leftClick_.Release(*event, *this);
    emit MouseUp(event->button());
    event->accept();
    if (click) {
        emit Click();
    }
}

void ImageBox::mouseMoveEvent(QMouseEvent* event) {
    // Moves over an image never reach the window behind it.
    event->accept();
}

} // namespace kivora
