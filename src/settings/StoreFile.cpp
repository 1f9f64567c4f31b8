#include "StoreFile.h"

#include <QFileInfo>
#include <QSettings>

#include "IniText.h"

namespace kivora {

QString IniFileOf(const IniPlace& place) {
    // QSettings opens and reads every file it names as soon as it is built, so its folder is
    // asked for through a name no file has.
    const QString probe = QSettings(QSettings::NativeFormat, QSettings::UserScope,
                                    QStringLiteral(".kivora-folder-probe"), QStringLiteral("none"))
                              .fileName();
    const QString folder = QFileInfo(QFileInfo(probe).path()).path();
    return folder + u'/' +
           (place.program.isEmpty() ? place.maker : place.maker + u'/' + place.program) +
           QStringLiteral(".conf");
}

bool IsOrdinaryStore(const QString& path) {
    const QFileInfo info(path); // a link counts as what it points to
    return !info.exists() || (info.isFile() && info.size() <= kMaxStoreBytes);
}

} // namespace kivora
