#pragma once

#include <QByteArray>
#include <QString>

namespace kivora {

// Writes the bytes as the file's whole new content, or leaves the file exactly as it was: the
// bytes go to a new file beside it that replaces it only once every byte is known to be on disk.
// A file reached through a link is written where the link points, and keeps its permissions.
// False on failure, with the reason in error.
bool WriteWholeFile(const QString& path, const QByteArray& bytes, QString* error);

} // namespace kivora
