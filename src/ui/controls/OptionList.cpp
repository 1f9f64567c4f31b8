#include "OptionList.h"

#include <algorithm>

#include <QAbstractItemView>
#include <QComboBox>
#include <QEvent>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyle>

namespace kivora {

namespace {

// An open list shows this many entries and scrolls the rest.
constexpr int kVisibleEntries = 12;

// Narrow padding and drop-down button, so that the longest entries ("Mixed numbers", "Don't
// Exclude") fit the designed box widths whole, inside even the Windows style's 2-pixel frame.
// "combobox-popup: 0" asks for a plain list under the box: the styles that open a menu-like
// popup instead (Fusion among them) ignore setMaxVisibleItems and let the list fill the
// screen's height.
const auto kBoxStyle = QStringLiteral("QComboBox { combobox-popup: 0; padding: 0px 0px 0px 1px; }"
                                      "QComboBox::drop-down { width: 9px; border: none; }");

} // namespace

OptionList::OptionList(QComboBox* box, QObject* parent) : QObject(parent), box_(box) {
    box_->setEditable(false);
    box_->setInsertPolicy(QComboBox::NoInsert);
    // The owner's own rules come last, so they win.
    box_->setStyleSheet(kBoxStyle + box_->styleSheet());
    box_->setMaxVisibleItems(kVisibleEntries);
    box_->view()->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // The wheel may change only the list the user is working in; over any other list it goes
    // on to the window instead (see eventFilter).
    box_->setFocusPolicy(Qt::StrongFocus);
    box_->installEventFilter(this);
    box_->view()->installEventFilter(this);
    connect(box_, &QComboBox::activated, this, [this](int index) { SetListIndex(index); });
    SyncBox();
}

bool OptionList::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::Wheel:
        if (watched == box_ && !box_->hasFocus()) {
            event->ignore(); // the application then offers it to the window
            return true;
        }
        break;
    case QEvent::FontChange:
    case QEvent::StyleChange:
    case QEvent::Polish:
        FitPopup();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

// The open list grows wider than the box where an entry needs it: QComboBox sizes it to the
// box and elides the rest in the middle ("Mixe…bers").
void OptionList::FitPopup() {
    QAbstractItemView* view = box_->view();
    const QFontMetrics metrics(view->font());
    int widest = 0;
    for (const QString& entry : std::as_const(entries_)) {
        widest = std::max(widest, metrics.horizontalAdvance(entry));
    }
    const QStyle* style = view->style();
    // The item delegate keeps this much free on either side of an entry's text.
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1;
    int width = widest + 2 * margin + 2 * view->frameWidth();
    if (ListCount() > box_->maxVisibleItems()) {
        width += view->verticalScrollBar()->sizeHint().width();
    }
    view->setMinimumWidth(width);
}

void OptionList::AddItem(const QString& text) {
    entries_.append(text);
    const QSignalBlocker blocker(box_);
    box_->addItem(text);
    box_->setCurrentIndex(index_);
    FitPopup();
}

void OptionList::AddItems(const QStringList& texts) {
    entries_.append(texts);
    const QSignalBlocker blocker(box_);
    box_->addItems(texts);
    box_->setCurrentIndex(index_);
    FitPopup();
}

void OptionList::Clear() {
    entries_.clear();
    index_ = -1;
    const QSignalBlocker blocker(box_);
    box_->clear();
}

int OptionList::ListCount() const {
    return static_cast<int>(entries_.size());
}

void OptionList::SetListIndex(int index) {
    if (index < -1 || index >= ListCount()) {
        index = -1;
    }
    if (index == index_) {
        SyncBox();
        return;
    }
    index_ = index;
    SyncBox();
    if (handler_) {
        handler_();
    }
}

QString OptionList::Text() const {
    return ItemText(index_);
}

QString OptionList::ItemText(int index) const {
    return index >= 0 && index < ListCount() ? entries_.at(index) : QString();
}

void OptionList::SetVisible(bool visible) {
    visible_ = visible;
    box_->setVisible(visible);
}

void OptionList::SyncBox() {
    const QSignalBlocker blocker(box_);
    box_->setCurrentIndex(index_);
}

} // namespace kivora
