#include "AppIdentity.h"

#include "AppInfo.h"

namespace kivora {

const QString& TitleVersion() {
    static const QString text = AppTitle() + QLatin1Char(' ') +
                                QString::number(app::kVersionMajor) + QLatin1Char('.') +
                                QString::number(app::kVersionMinor);
    return text;
}

QString AppTitle() {
    return QString::fromUtf8(app::kTitle);
}

QString AppMaker() {
    return QString::fromUtf8(app::kMaker);
}

} // namespace kivora
