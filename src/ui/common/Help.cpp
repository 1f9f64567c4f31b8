#include "Help.h"

#include <QDir>

#include "MessageBox.h"
#include "common/Shell.h"

namespace kivora {

QString HelpFilePath(const QString& programDir) {
    QString path = QDir::toNativeSeparators(programDir);
    if (!path.endsWith(QDir::separator())) {
        path += QDir::separator();
    }
    return path + kHelpFileName;
}

void ShowHelp(QWidget* parent, Shell& shell, const QString& programDir) {
    const int result = shell.Open(HelpFilePath(programDir));
    // The messages name the bare file, never the path.
    QString text;
    if (result == Shell::kOutOfResources) {
        text = QStringLiteral("Operating system out of memory");
    } else if (result == Shell::kFileNotFound) {
        text = QStringLiteral("Help file ") + kHelpFileName + QStringLiteral(" not found");
    } else if (result == Shell::kPathNotFound) {
        text = QStringLiteral("Path not found");
    } else if (result == 1 || (result >= 4 && result <= 32)) {
        text = QStringLiteral("Couldn't load help file ") + kHelpFileName;
    } else {
        return; // above 32 the viewer has it; a negative code is no shell's answer
    }
    MessageBox::Show(parent, text, QMessageBox::NoIcon);
}

} // namespace kivora
