// The check window: one line for the winning numbers, checked against the grid's tickets as the
// user types. Matched cells are marked in the grid and each ticket's tier stands in a "Match"
// column; the window lists how many tickets reached each tier. It does not block the main
// window. Closing it takes the marks away; a Start or a re-layout of the grid does so too.
#pragma once

#include <functional>

#include <QWidget>

#include "engine/GameRules.h"

class QLabel;
class QLineEdit;

namespace kivora {

class FlexGrid;

class FrmCheck : public QWidget {
    Q_OBJECT
public:
    // `game` gives the rules of the game the panel stands at when the text is checked.
    FrmCheck(FlexGrid& grid, std::function<GameRules()> game, QWidget* parent);

    // Shows the parent's check window, opening one when there is none.
    static FrmCheck* Open(FlexGrid& grid, std::function<GameRules()> game, QWidget* parent);

    // Checks the grid against the text as it stands.
    void Recheck();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Show(const QString& message, const QString& tiers);

    FlexGrid& grid_;
    std::function<GameRules()> game_;
    QLineEdit* txtDraw_;
    QLabel* lblMessage_;
    QLabel* lblTiers_;
    bool marking_ = false;
};

} // namespace kivora
