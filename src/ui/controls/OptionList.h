#pragma once

#include <functional>

#include <QObject>
#include <QString>
#include <QStringList>

class QComboBox;

namespace kivora {

// A drop-down list with the selection rule the option panel relies on: adding entries never
// changes the selection, the selection starts at -1 (nothing), and setting a new position runs
// the list's handler at once, nested inside the caller, before the caller goes on.
//
// QComboBox does the opposite on its own (it selects the first entry it is given and reports
// changes through queued-looking signals), so the box's signals are blocked while the program
// sets it, and the user's picks arrive through activated().
//
// The binding also settles how the box behaves as a control: its open list shows every entry
// whole and at most a dozen at a time, and the mouse wheel changes it only while it has focus.
class OptionList : public QObject {
    Q_OBJECT
public:
    explicit OptionList(QComboBox* box, QObject* parent = nullptr);

    void AddItem(const QString& text);
    void AddItems(const QStringList& texts);
    // Empties the list; the selection becomes -1 without running the handler.
    void Clear();

    int ListCount() const;
    int ListIndex() const { return index_; }
    // Runs the handler when the position changes.
    void SetListIndex(int index);
    // The selected entry's text; empty when nothing is selected.
    QString Text() const;
    QString ItemText(int index) const;

    void SetHandler(std::function<void()> handler) { handler_ = std::move(handler); }

    void SetVisible(bool visible);
    // Whether the program wants it shown, independent of whether the window is on screen yet.
    bool Visible() const { return visible_; }

    QComboBox* box() const { return box_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SyncBox();
    void FitPopup();

    QComboBox* box_;
    QStringList entries_;
    int index_ = -1;
    bool visible_ = true;
    std::function<void()> handler_;
};

} // namespace kivora
