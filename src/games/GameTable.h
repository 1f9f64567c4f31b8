// The games table: the built-in games.json, merged with the user's own file.
#pragma once

#include <QString>
#include <QStringList>

#include <vector>

#include "engine/GameRules.h"

namespace kivora {

class GameTable {
public:
    // The table that ships with the program, merged with the user's file when there is one.
    // A user file that cannot be read leaves the built-in table alone and says why in `message`
    // (one sentence naming the file and the line); otherwise `message` is empty.
    static GameTable Load(const QString& userFile, QString* message);
    static GameTable BuiltIn();

    // $XDG_CONFIG_HOME/Brandell/kivora-games.json, beside the settings file.
    static QString UserFilePath();

    // Reads one table's text. On failure returns false and sets `error` to
    // "<file>, line <n>: <what>".
    static bool Parse(const QByteArray& text, const QString& fileName,
                      std::vector<GameRules>& games, QString& error);

    const std::vector<GameRules>& Games() const { return games_; }
    // Null when no game has this id.
    const GameRules* Find(const QString& id) const;
    // The ids nearest to a mistyped one, at most three, nearest first.
    QStringList ClosestIds(const QString& id) const;
    // The regions in the order the table first names them.
    QStringList Regions() const;

    // Adds the games, replacing those with the same id in place.
    void Merge(const std::vector<GameRules>& games);

private:
    std::vector<GameRules> games_;
};

} // namespace kivora
