#include "XPButton.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QPolygon>
#include <QRegion>

#include "ReadableColor.h"

namespace kivora {

namespace {

constexpr qreal kFocusPen = 2;

} // namespace

XPButton::XPButton(QWidget* parent) : QAbstractButton(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_Hover);
    setMouseTracking(true);
    setIconSize(QSize(24, 24));
}

void XPButton::SetCaption(const QString& caption) {
    setText(caption);
    setAccessibleName(QString(caption).remove(QLatin1Char('&')));
    update();
}

void XPButton::SetShape(int shape) {
    shape_ = shape;
    UpdateMask();
    update();
}

void XPButton::SetColors(const QColor& fore, const QColor& foreHover, const QColor& back,
                         const QColor& backHover) {
    fore_ = fore;
    foreHover_ = foreHover;
    back_ = back;
    backHover_ = backHover;
    update();
}

QColor XPButton::FaceColor(bool hover) const {
    const QColor& back = hover ? backHover_ : back_;
    return back.isValid() ? back : palette().color(QPalette::Button);
}

QColor XPButton::CaptionColor(bool hover) const {
    const QColor& fore = hover ? foreHover_ : fore_;
    const QColor& back = hover ? backHover_ : back_;
    if (fore.isValid() && back.isValid()) {
        return fore;
    }
    const QColor wanted = fore.isValid() ? fore : palette().color(QPalette::ButtonText);
    return ReadableOn(wanted, FaceColor(hover));
}

QSize XPButton::sizeHint() const {
    const QFontMetrics fm(font());
    const int textWidth = fm.horizontalAdvance(QString(text()).remove(QLatin1Char('&')));
    const int iconWidth = icon().isNull() ? 0 : iconSize().width() + 4;
    return {textWidth + iconWidth + 24, qMax(fm.height(), iconSize().height()) + 10};
}

// Slanted ends lean by half the height and sit centred in the height-wide overlap with the
// neighbour, so a neighbour's slanted end runs along exactly the same line.
QPainterPath XPButton::Outline() const {
    const QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const qreal h = r.height();
    const qreal lean = h / 2;
    const qreal inset = (h - lean) / 2; // from the widget's edge to the slant's lower end
    QPainterPath path;
    auto slantedLeft = [&] {
        path.moveTo(r.left() + inset, r.bottom());
        path.lineTo(r.left() + inset + lean, r.top());
    };
    switch (shape_) {
    case 1: // slanted left, rounded right
        slantedLeft();
        path.lineTo(r.right() - h / 2, r.top());
        path.arcTo(QRectF(r.right() - h, r.top(), h, h), 90, -180);
        path.closeSubpath();
        break;
    case 2: // rounded left, slanted right
        path.moveTo(r.left() + h / 2, r.bottom());
        path.arcTo(QRectF(r.left(), r.top(), h, h), 270, -180);
        path.lineTo(r.right() - inset, r.top());
        path.lineTo(r.right() - inset - lean, r.bottom());
        path.closeSubpath();
        break;
    case 3: // both ends slanted
        slantedLeft();
        path.lineTo(r.right() - inset, r.top());
        path.lineTo(r.right() - inset - lean, r.bottom());
        path.closeSubpath();
        break;
    default:
        path.addRoundedRect(r, 4, 4);
        break;
    }
    return path;
}

// The part of the button that shows between its ends, at mid-height.
QRectF XPButton::ContentRect() const {
    const qreal h = height();
    const qreal slanted = h / 2 + 2;
    const qreal rounded = h / 4;
    qreal left = 4;
    qreal right = 4;
    switch (shape_) {
    case 1:
        left = slanted;
        right = rounded;
        break;
    case 2:
        left = rounded;
        right = slanted;
        break;
    case 3:
        left = right = slanted;
        break;
    default:
        break;
    }
    return QRectF(rect()).adjusted(left, 0, -right, 0);
}

void XPButton::UpdateMask() {
    if (shape_ == 0) {
        clearMask();
        return;
    }
    setMask(QRegion(Outline().toFillPolygon().toPolygon()));
}

void XPButton::resizeEvent(QResizeEvent* event) {
    QAbstractButton::resizeEvent(event);
    UpdateMask();
}

bool XPButton::hitButton(const QPoint& pos) const {
    return shape_ == 0 ? rect().contains(pos)
                       : Outline().contains(QPointF(pos) + QPointF(0.5, 0.5));
}

void XPButton::enterEvent(QEnterEvent* event) {
    hovered_ = true;
    update();
    emit MouseOver();
    QAbstractButton::enterEvent(event);
}

void XPButton::leaveEvent(QEvent* event) {
    hovered_ = false;
    update();
    QAbstractButton::leaveEvent(event);
}

void XPButton::mouseMoveEvent(QMouseEvent* event) {
    emit MouseOver();
    QAbstractButton::mouseMoveEvent(event);
}

namespace {

// Return, keypad Enter and Space press a focused button.
bool IsPressKey(const QKeyEvent* event) {
    const Qt::KeyboardModifiers others = event->modifiers() & ~Qt::KeypadModifier;
    return others == Qt::NoModifier &&
           (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter ||
            event->key() == Qt::Key_Space);
}

} // namespace

void XPButton::keyPressEvent(QKeyEvent* event) {
    if (!IsPressKey(event)) {
        QAbstractButton::keyPressEvent(event);
        return;
    }
    // One physical press is one click, made at once: animateClick's delayed click would fire
    // inside a modal window that the click opened, and open a second one over it. A held key
    // repeats, and repeats queued while a print holds input back can arrive without their
    // repeat flag. So presses are counted, not key events: a press of the held key before its
    // release, or one stamped with the time of that release (the X server sends a repeat as a
    // release and a press of the same time; events made up without a time carry 0), is the
    // same press.
    const bool samePress =
        event->isAutoRepeat() ||
        (event->key() == heldKey_ &&
         (!released_ || (releasedAt_ != 0 && event->timestamp() == releasedAt_)));
    heldKey_ = event->key();
    released_ = false;
    if (!samePress) {
        click();
    }
}

void XPButton::keyReleaseEvent(QKeyEvent* event) {
    if (!IsPressKey(event)) {
        QAbstractButton::keyReleaseEvent(event);
        return;
    }
    if (event->key() == heldKey_) {
        released_ = true;
        releasedAt_ = event->timestamp();
    }
}

void XPButton::focusOutEvent(QFocusEvent* event) {
    heldKey_ = 0; // its release goes elsewhere
    QAbstractButton::focusOutEvent(event);
}

void XPButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QPainterPath outline = Outline();
    const bool hot = hovered_ && isEnabled();
    QColor base = FaceColor(hot);
    if (isDown()) {
        base = base.darker(112);
    }
    QLinearGradient gradient(0, 0, 0, height());
    gradient.setColorAt(0.0, base.lighter(isDown() ? 100 : 118));
    gradient.setColorAt(0.5, base);
    gradient.setColorAt(1.0, base.darker(112));
    p.fillPath(outline, gradient);
    p.setPen(QPen(base.darker(isDown() ? 190 : 160), 1));
    p.drawPath(outline);

    const QRectF content = ContentRect();
    const QString caption = text();
    const QFontMetricsF fm(font());
    const qreal textWidth = fm.horizontalAdvance(QString(caption).remove(QLatin1Char('&')));
    const bool hasIcon = !icon().isNull();
    const qreal iconWidth = hasIcon ? iconSize().width() : 0;
    const qreal gap = hasIcon && !caption.isEmpty() ? 3 : 0;
    const qreal total = iconWidth + gap + textWidth;
    qreal x = content.left() + qMax<qreal>(0, (content.width() - total) / 2);
    const qreal shift = isDown() ? 1 : 0;
    if (hasIcon) {
        const QRectF iconRect(x + shift, (height() - iconSize().height()) / 2.0 + shift,
                              iconSize().width(), iconSize().height());
        icon().paint(&p, iconRect.toRect(), Qt::AlignCenter,
                     isEnabled() ? QIcon::Normal : QIcon::Disabled);
        x += iconWidth + gap;
    }
    p.setPen(CaptionColor(hot));
    p.setFont(font());
    const QRectF textRect(x + shift, shift, content.right() - x + 2, height());
    p.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic, caption);

    // As the styles do, the frame shows once the keyboard has moved the focus in the window.
    // Their own frame is too faint on these faces: this one is solid, in the caption's colour
    // or one that stands out from the face as clearly.
    if (hasFocus() && window()->testAttribute(Qt::WA_KeyboardFocusChange)) {
        const QColor face = FaceColor(hot);
        p.setPen(QPen(VisibleOn(CaptionColor(hot), face), kFocusPen));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(QRectF(x + shift - 3, (height() - fm.height()) / 2 + shift - 1,
                                 textWidth + 6, fm.height() + 2),
                          2, 2);
    }
}

} // namespace kivora
