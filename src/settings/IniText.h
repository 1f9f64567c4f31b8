#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

#include <optional>

namespace kivora {

// The text of an INI store with some values set, everything else kept byte for byte: other
// keys, other sections, comments, blanks and line ends. A value already present is replaced
// where it stands (every copy of it, as QSettings lets the last copy win); a missing one goes to
// the top of its section, and a missing section is added ("[General]" first in the file, any
// other at the end).
//
// `section` is empty for the values of the key itself ("[General]"). Lines are split, and key
// and section names read (escapes, '\' for '/'), as QSettings reads them, new keys are escaped as
// it escapes them, and new text never lands inside a quote left open or after a trailing
// backslash: QSettings reads the result as the old text with the new values.
QByteArray SetIniValues(const QByteArray& text, const QString& section,
                        const QList<QPair<QString, QByteArray>>& values);

// Where a key lives in the INI store: "Software\Maker\Program\Sub" is Maker/Program.conf,
// section [Sub]; deeper keys are deeper sections, and the values of the key itself sit in
// [General] (an empty section). A path that names no maker has no place: nullopt.
struct IniPlace {
    QString maker;
    QString program;
    QString section;
};
std::optional<IniPlace> IniPlaceOf(const QString& keyPath);

} // namespace kivora
