#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QIcon>
#include <QPainterPath>

namespace kivora {

// The program's owner-drawn push button: caption, optional icon, hover colours and a shape.
//
// Shapes build the button strip: neighbours overlap by the button's height and their slanted
// ends coincide, so the row reads as one strip.
//   Shape 1: slanted left end, rounded right end (the end of a strip)
//   Shape 2: rounded left end, slanted right end (the start of a strip)
//   Shape 3: both ends slanted (the middle)
//   Shape 0: a plain rounded rectangle (a button on its own)
// Clicks and hover follow the drawn shape, not the rectangle, so an overlapped corner belongs to
// the button that shows there.
class XPButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit XPButton(QWidget* parent = nullptr);

    // Exactly the text last set, "&" access-key marker included.
    QString Caption() const { return text(); }
    void SetCaption(const QString& caption);

    void SetShape(int shape);
    int Shape() const { return shape_; }
    // An invalid colour follows the palette: the button face and the button text. Where one
    // of a state's two colours follows the palette, the caption is drawn in a colour that stays
    // readable on the face; a pair of fixed colours is drawn as given.
    void SetColors(const QColor& fore, const QColor& foreHover, const QColor& back,
                   const QColor& backHover);
    QColor BackColor() const { return back_; }
    QColor HoverBackColor() const { return backHover_; }
    QColor ForeColor() const { return fore_; }
    // The colours drawn, normally or while the pointer is over the button.
    QColor FaceColor(bool hover) const;
    QColor CaptionColor(bool hover) const;

    QSize sizeHint() const override;

signals:
    // The pointer is over the button (on entering and on every move over it).
    void MouseOver();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool hitButton(const QPoint& pos) const override;

private:
    QPainterPath Outline() const;
    QRectF ContentRect() const;
    void UpdateMask();

    int shape_ = 0;
    QColor fore_;
    QColor foreHover_;
    QColor back_;
    QColor backHover_;
    bool hovered_ = false;
    int heldKey_ = 0; // the press key last pressed while focused
    bool released_ = false;
    quint64 releasedAt_ = 0;
};

} // namespace kivora
