#include "PressableAccessible.h"

#include <QLabel>

#include "ImageBox.h"
#include "LinkLabel.h"

namespace kivora {

namespace {

QAccessibleInterface* Create(const QString& className, QObject* object) {
    auto* widget = qobject_cast<QWidget*>(object);
    if (widget && (className == QLatin1String(ImageBox::staticMetaObject.className()) ||
                   className == QLatin1String(LinkLabel::staticMetaObject.className()))) {
        return new PressableAccessible(widget);
    }
    return nullptr;
}

} // namespace

PressableAccessible::PressableAccessible(QWidget* widget) : QAccessibleWidget(widget) {}

void PressableAccessible::Install() {
    QAccessible::installFactory(Create);
}

QAccessible::Role PressableAccessible::role() const {
    if (auto* image = qobject_cast<ImageBox*>(widget())) {
        return image->Clickable() ? QAccessible::Button : QAccessible::Graphic;
    }
    return QAccessible::Link;
}

QString PressableAccessible::text(QAccessible::Text t) const {
    QString text = QAccessibleWidget::text(t);
    if (t == QAccessible::Name && text.isEmpty()) {
        if (auto* label = qobject_cast<QLabel*>(widget())) {
            text = label->text();
        }
    }
    return text;
}

QStringList PressableAccessible::actionNames() const {
    QStringList names = QAccessibleWidget::actionNames();
    if (role() != QAccessible::Graphic) {
        names.prepend(pressAction());
    }
    return names;
}

void PressableAccessible::doAction(const QString& actionName) {
    if (actionName != pressAction() || role() == QAccessible::Graphic) {
        QAccessibleWidget::doAction(actionName);
    } else if (auto* image = qobject_cast<ImageBox*>(widget())) {
        image->Activate();
    } else if (auto* link = qobject_cast<LinkLabel*>(widget())) {
        link->Activate();
    }
}

} // namespace kivora
