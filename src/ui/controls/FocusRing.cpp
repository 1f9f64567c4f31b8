#include "FocusRing.h"

#include <QApplication>
#include <QEvent>
#include <QPainter>
#include <QPen>

namespace kivora {

namespace {

constexpr int kPen = 2; // the ring's width
constexpr int kGap = 1; // panel left showing between the control and the ring

} // namespace

FocusRing::FocusRing(QWidget* window, const QColor& colour) : QWidget(window), colour_(colour) {
    setObjectName(QStringLiteral("focusRing"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    hide();
    window->installEventFilter(this);
    connect(qApp, &QApplication::focusChanged, this, [this] { Follow(); });
}

void FocusRing::Add(QWidget* control) {
    controls_ << control;
    control->installEventFilter(this);
    Follow();
}

bool FocusRing::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Show:
    case QEvent::Hide:
    case QEvent::ActivationChange:
        if (watched != this) {
            Follow();
        }
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void FocusRing::Follow() {
    QWidget* window = parentWidget();
    QWidget* control = nullptr;
    if (window->isActiveWindow()) {
        for (QWidget* w = window->focusWidget(); w && w != window && !control;
             w = w->parentWidget()) {
            if (controls_.contains(w)) {
                control = w;
            }
        }
    }
    if (!control || !control->isVisible()) {
        target_ = nullptr;
        hide();
        return;
    }
    target_ = control;
    constexpr int outside = kPen + kGap;
    setGeometry(control->geometry().adjusted(-outside, -outside, outside, outside));
    raise();
    show();
    update();
}

void FocusRing::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(colour_, kPen));
    painter.setBrush(Qt::NoBrush);
    const qreal half = kPen / 2.0;
    painter.drawRoundedRect(QRectF(rect()).adjusted(half, half, -half, -half), 2.5, 2.5);
}

} // namespace kivora
