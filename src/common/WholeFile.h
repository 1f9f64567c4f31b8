#pragma once

#include <QByteArray>
#include <QString>

namespace kivora {

// Writes the bytes as the file's whole new content, or leaves the file as it was: the bytes go
// to a temporary file beside it that replaces it only once everything is written. False on
// failure, with the reason in error.
bool WriteWholeFile(const QString& path, const QByteArray& bytes, QString* error);

} // namespace kivora
