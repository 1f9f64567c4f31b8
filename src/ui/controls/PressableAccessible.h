#pragma once

#include <QAccessibleWidget>

namespace kivora {

// What assistive tools see of a control that acts on a click without being a button widget: an
// image that acts on a click is a button, a link label a link. Each names itself and offers
// the press action, which clicks it.
class PressableAccessible : public QAccessibleWidget {
public:
    explicit PressableAccessible(QWidget* widget);

    // Registers the interfaces for ImageBox and LinkLabel; once is enough, more does no harm.
    static void Install();

    QAccessible::Role role() const override;
    QString text(QAccessible::Text t) const override;
    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;
};

} // namespace kivora
