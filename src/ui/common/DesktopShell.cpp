#include "DesktopShell.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QString>
#include <QUrl>

namespace kivora {

namespace {
// A one-letter scheme is a drive letter: "C:\Program Files\Kivora\KV.html" is a file.
bool IsAddress(const QString& target) {
    return QUrl(target).scheme().size() > 1;
}

int OpenUrl(const QUrl& url) {
    return QDesktopServices::openUrl(url) ? Shell::kOpened : Shell::kNoAssociation;
}
} // namespace

int DesktopShell::Open(const QString& target) {
    if (IsAddress(target)) {
        return OpenUrl(QUrl(target));
    }
    const QFileInfo file(target);
    if (!QFileInfo(file.absolutePath()).isDir()) {
        return kPathNotFound;
    }
    if (!file.exists()) {
        return kFileNotFound;
    }
    if (!file.isReadable()) {
        return kAccessDenied;
    }
    return OpenUrl(QUrl::fromLocalFile(file.absoluteFilePath()));
}

} // namespace kivora
