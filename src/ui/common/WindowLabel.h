#pragma once

#include <QColor>
#include <QString>

class QLabel;
class QWidget;

namespace kivora {

// A label drawn straight on a window's picture: plain text in one colour, with no background
// of its own. The caller sets its font and place.
QLabel* MakeWindowLabel(QWidget* window, const char* name, const QString& text,
                        const QColor& color);

void SetTextColor(QLabel* label, const QColor& color);

} // namespace kivora
