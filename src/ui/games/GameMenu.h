// The "Game" menu: the games of the table grouped by region, reached by a right click on the
// option panel, the context-menu key or Shift+F10 on one of its lists, and the grid's menu.
#pragma once

#include <functional>
#include <optional>

#include <QObject>

#include "engine/GameRules.h"
#include "games/GameTable.h"

class QMenu;
class QWidget;

namespace kivora {

class GameMenu : public QObject {
    Q_OBJECT
public:
    using Choose = std::function<void(const GameRules&)>;

    // The table is read when the menu is first opened; `userFile` may be empty.
    GameMenu(QString userFile, Choose choose, QWidget* parent);

    // Right clicks on `window`'s labels and free area, and the context-menu key or Shift+F10 on
    // each of `lists`, open a menu with "Game" in it.
    void InstallOn(QWidget* window, const QList<QWidget*>& lists);

    // The "Game" submenu itself, for another menu to hold; filled when it is about to show.
    QMenu* Submenu() const { return submenu_; }

    // The game last chosen, as long as the caller says it still stands.
    const std::optional<GameRules>& Chosen() const { return chosen_; }
    void Forget() { chosen_.reset(); }

    const GameTable& Table();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Fill();
    void Popup(const QPoint& globalPos);

    QString userFile_;
    Choose choose_;
    QWidget* window_ = nullptr;
    QMenu* submenu_;
    std::optional<GameTable> table_;
    std::optional<GameRules> chosen_;
};

} // namespace kivora
