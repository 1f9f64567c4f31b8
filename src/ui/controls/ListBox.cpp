#include "ListBox.h"

#include <QPainterPath>
#include <QStyleOptionComboBox>
#include <QStylePainter>

#include "ReadableColor.h"

namespace kivora {

namespace {

const QColor kArrow(32, 32, 32);
constexpr int kArrowWidth = 7;
constexpr int kArrowHeight = 4;

} // namespace

ListBox::ListBox(QWidget* parent) : QComboBox(parent) {}

QColor ListBox::ArrowColor() const {
    return VisibleOn(kArrow, palette().color(QPalette::Button));
}

void ListBox::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    painter.setPen(palette().color(QPalette::Text));
    QStyleOptionComboBox option;
    initStyleOption(&option);
    const QRect button =
        style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxArrow, this);
    option.subControls &= ~QStyle::SC_ComboBoxArrow;
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    painter.drawControl(QStyle::CE_ComboBoxLabel, option);

    // On whole pixels, so that its top edge stays crisp.
    const QPointF top(button.left() + (button.width() - kArrowWidth) / 2,
                      button.top() + (button.height() - kArrowHeight) / 2);
    QPainterPath arrow(top);
    arrow.lineTo(top + QPointF(kArrowWidth, 0));
    arrow.lineTo(top + QPointF(kArrowWidth / 2.0, kArrowHeight));
    arrow.closeSubpath();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(arrow, isEnabled()
                                ? ArrowColor()
                                : palette().color(QPalette::Disabled, QPalette::ButtonText));
}

} // namespace kivora
