#include "OptionList.h"

#include <QComboBox>
#include <QSignalBlocker>

namespace kivora {

OptionList::OptionList(QComboBox* box, QObject* parent) : QObject(parent), box_(box) {
    box_->setEditable(false);
    box_->setInsertPolicy(QComboBox::NoInsert);
    box_->setMaxVisibleItems(12);
    connect(box_, &QComboBox::activated, this, [this](int index) { SetListIndex(index); });
    SyncBox();
}

void OptionList::AddItem(const QString& text) {
    entries_.append(text);
    const QSignalBlocker blocker(box_);
    box_->addItem(text);
    box_->setCurrentIndex(index_);
}

void OptionList::AddItems(const QStringList& texts) {
    entries_.append(texts);
    const QSignalBlocker blocker(box_);
    box_->addItems(texts);
    box_->setCurrentIndex(index_);
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
