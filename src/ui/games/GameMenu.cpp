#include "GameMenu.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>

#include "ui/common/MessageBox.h"

namespace kivora {

GameMenu::GameMenu(QString userFile, Choose choose, QWidget* parent)
    : QObject(parent), userFile_(std::move(userFile)), choose_(std::move(choose)),
      submenu_(new QMenu(QStringLiteral("&Game"), parent)) {
    submenu_->setObjectName(QStringLiteral("mnuGame"));
    connect(submenu_, &QMenu::aboutToShow, this, &GameMenu::Fill);
}

const GameTable& GameMenu::Table() {
    if (!table_) {
        QString problem;
        table_ = GameTable::Load(userFile_, &problem);
        if (!problem.isEmpty()) {
            MessageBox::Show(qobject_cast<QWidget*>(parent()), problem, QMessageBox::Warning);
        }
    }
    return *table_;
}

void GameMenu::Fill() {
    if (!submenu_->isEmpty()) {
        return;
    }
    const GameTable& table = Table();
    for (const QString& region : table.Regions()) {
        QMenu* regionMenu = submenu_->addMenu(region);
        for (const GameRules& game : table.Games()) {
            if (QString::fromStdString(game.region) != region) {
                continue;
            }
            const QString text = QStringLiteral("%1 (%2)").arg(
                QString::fromStdString(game.name), QString::fromStdString(game.Summary()));
            QAction* action = regionMenu->addAction(text);
            action->setObjectName(QString::fromStdString(game.id));
            connect(action, &QAction::triggered, this, [this, game] {
                chosen_ = game;
                if (choose_) {
                    choose_(game);
                }
            });
        }
    }
}

void GameMenu::InstallOn(QWidget* window, const QList<QWidget*>& lists) {
    window_ = window;
    window->installEventFilter(this);
    for (QWidget* list : lists) {
        list->installEventFilter(this);
    }
}

void GameMenu::Popup(const QPoint& globalPos) {
    QMenu menu(window_);
    menu.addMenu(submenu_);
    menu.exec(globalPos);
}

bool GameMenu::eventFilter(QObject* watched, QEvent* event) {
    if (watched == window_ && event->type() == QEvent::ContextMenu) {
        auto* context = static_cast<QContextMenuEvent*>(event);
        // Only the panel's labels and its free area; the buttons and the grid keep their own.
        QWidget* under = window_->childAt(context->pos());
        if (context->reason() == QContextMenuEvent::Mouse && under &&
            !qobject_cast<QLabel*>(under)) {
            return false;
        }
        Popup(context->globalPos());
        return true;
    }
    if (watched != window_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool shiftF10 = key->key() == Qt::Key_F10 && key->modifiers() == Qt::ShiftModifier;
        if (key->key() == Qt::Key_Menu || shiftF10) {
            auto* list = static_cast<QWidget*>(watched);
            Popup(list->mapToGlobal(QPoint(0, list->height())));
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace kivora
