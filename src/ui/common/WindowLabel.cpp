#include "WindowLabel.h"

#include <QLabel>

namespace kivora {

QLabel* MakeWindowLabel(QWidget* window, const char* name, const QString& text,
                        const QColor& color) {
    auto* label = new QLabel(text, window);
    label->setObjectName(QLatin1String(name));
    label->setTextFormat(Qt::PlainText);
    label->setAttribute(Qt::WA_TranslucentBackground);
    SetTextColor(label, color);
    return label;
}

void SetTextColor(QLabel* label, const QColor& color) {
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, color);
    label->setPalette(pal);
}

} // namespace kivora
