#include "LineControl.h"

#include <QPainter>

namespace kivora {

LineControl::LineControl(QPoint from, QPoint to, int width, const QColor& color, QWidget* parent)
    : QWidget(parent), from_(from), to_(to), width_(width), color_(color) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_TranslucentBackground);
    const int margin = width_;
    setGeometry(QRect(from_, to_).normalized().adjusted(-margin, -margin, margin, margin));
}

void LineControl::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(color_, width_, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(from_ - pos()), QPointF(to_ - pos()));
}

} // namespace kivora
