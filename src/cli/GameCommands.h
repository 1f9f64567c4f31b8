// --list-games and --check: the command line's side of the games table and of checking tickets.
#pragma once

#include <QString>
#include <QStringList>

#include <iosfwd>

#include "engine/GameRules.h"

namespace kivora {

class GameTable;

// One line per game: id, name and region, rules, the date they hold from; or CSV with a heading.
void ListGames(const GameTable& table, bool csv, std::ostream& out);

struct CheckRequest {
    GameRules rules;
    QString draw;      // the winning numbers as typed
    QStringList files; // none, or "-": standard input
    bool csv = false;
};

// Prints every ticket read with its tier, then how many tickets reached each tier. Returns 0
// when every line was read, kChoiceError when the winning numbers cannot be read or a line or
// file was skipped (each reported on err with its file and line).
int RunCheck(const CheckRequest& request, std::istream& in, std::ostream& out, std::ostream& err);

} // namespace kivora
