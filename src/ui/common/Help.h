#pragma once

#include <QString>

class QWidget;

namespace kivora {

class Shell;

// The help document lies in the program's folder and opens in the system's viewer. The same
// HTML page serves every platform: nothing builds a compiled help file for Windows.
inline const QString kHelpFileName = QStringLiteral("KV.html");

// The help file in programDir, written with the platform's separators. A separator is added
// only when programDir does not already end with one, as a root folder does.
QString HelpFilePath(const QString& programDir);

// The Help action: asks the shell to open the help file in programDir (the caller passes
// QCoreApplication::applicationDirPath()) and tells the user when that failed.
void ShowHelp(QWidget* parent, Shell& shell, const QString& programDir);

} // namespace kivora
