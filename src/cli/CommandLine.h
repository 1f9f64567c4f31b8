// The program's command line. It is read before any window system is touched, so --help,
// --version and --draw work without a display; everything else opens the window.
#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <iosfwd>
#include <vector>

#include "GameCommands.h"
#include "engine/DrawSettings.h"
#include "engine/Ticket.h"

namespace kivora {

class Clock;
class GameTable;
class Generator;
class SeedLocale;

// One option as --help and the manual page show it.
struct CommandLineOption {
    QStringList names;   // "h", "help": one letter gets one dash, a word two
    QString valueName;   // empty for a flag
    QString description; // one sentence or two, unwrapped
    bool drawChoice;     // only meaningful together with --draw
};

// The options --help lists, in its order.
const std::vector<CommandLineOption>& CommandLineOptions();

// "Copyright (C) 2009 Brandell": the line --version prints below the title and version.
QString CopyrightText();

// The full --help text, lines of at most 80 characters, ending in a line break.
QString UsageText();

// What the arguments ask for. arguments[0] is the program.
struct CommandLineRequest {
    enum class Action { Window, Help, Version, Draw, ListGames, Check, Fail };
    Action action = Action::Window;
    DrawSettings settings; // Draw: the record to draw, already checked
    bool csv = false;
    CheckRequest check; // Check: the game, the winning numbers and the files
    QString error;      // Fail: what is wrong, without the program's name
    int exitCode = 0;   // Fail: kUsageError or kChoiceError
};

inline constexpr int kUsageError = 1;  // an argument that cannot be read
inline constexpr int kChoiceError = 2; // choices that cannot be drawn
inline constexpr int kRunWindow = -1;  // RunCommandLine: no command-line action, open the window

// `games` is the table --game and --list-games look in.
CommandLineRequest ParseCommandLine(const QStringList& arguments, const GameTable& games);

// One ticket as --draw prints it, without the line break: "3 12 25 + 7", or "3,12,25,7" as CSV;
// a second bonus number follows the first ("3 12 25 + 7 9").
QString FormatTicket(const Ticket& ticket, bool csv);

struct DrawServices {
    Generator& generator;
    const Clock& clock;
    const SeedLocale& locale;
};

// Carries out a command-line action and returns the process' exit code, or kRunWindow when the
// arguments ask for the window. Writes nothing anywhere but to out and err.
int RunCommandLine(const QStringList& arguments, const DrawServices& services, std::ostream& out,
                   std::ostream& err);
// The same with --check reading standard input from `in`. The games table is the built-in one
// merged with the user's file.
int RunCommandLine(const QStringList& arguments, const DrawServices& services, std::ostream& out,
                   std::ostream& err, std::istream& in);

// Whether the window may find a display, judged before QApplication, which aborts the process
// without one: from Qt's -platform and -display options, QT_QPA_PLATFORM, DISPLAY and
// WAYLAND_DISPLAY. Platforms that need neither (offscreen, vnc, ...) are left to Qt.
// `environment` gives a variable's value, empty when it is not set.
bool DisplayAvailable(const QStringList& arguments,
                      const std::function<QString(const char*)>& environment);

// What the program says, on one line, when there is no display for the window.
QString NoDisplayText();

// argv as text, in the locale's encoding.
QStringList ArgumentList(int argc, char* argv[]);

} // namespace kivora
