#pragma once

#include <QComboBox>

namespace kivora {

// The box of an option list. The styles' own arrow shrinks to a dot in the narrow drop-down
// button or fades into a dark face, so the box draws a small arrow of its own, in a colour that
// stands out from its face under any palette.
class ListBox : public QComboBox {
    Q_OBJECT
public:
    explicit ListBox(QWidget* parent = nullptr);

    // The arrow's colour on the current palette.
    QColor ArrowColor() const;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace kivora
