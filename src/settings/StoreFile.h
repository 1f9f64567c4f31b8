#pragma once

#include <QString>
#include <QtGlobal>

namespace kivora {

struct IniPlace;

// The INI file that holds a place of the store: <maker>/<program>.conf in the folder QSettings
// uses for the current user (the XDG config folder, or the path a test sets).
QString IniFileOf(const IniPlace& place);

// No store this program writes comes near this size.
inline constexpr qint64 kMaxStoreBytes = qint64{1} << 20;

// Whether the store at `path` may be read and written: missing (a first start), or a regular
// file of at most kMaxStoreBytes. Anything else reads as a first start and is never written
// over: a FIFO or a device would block the reader, and a huge file would hold up start-up.
bool IsOrdinaryStore(const QString& path);

} // namespace kivora
