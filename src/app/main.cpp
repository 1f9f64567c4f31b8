#include <QApplication>
#include <QScreen>

#include "AppInfo.h"
#include "common/AppIdentity.h"
#include "common/Fonts.h"
#include "common/UserSeedLocale.h"
#include "engine/Generator.h"
#include "engine/SystemClock.h"
#include "ui/main/FrmMain.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kivora"));
    QApplication::setOrganizationName(QString::fromUtf8(kivora::app::kMaker));
    QApplication::setApplicationVersion(
        QStringLiteral("%1.%2").arg(kivora::app::kVersionMajor).arg(kivora::app::kVersionMinor));
    QGuiApplication::setDesktopFileName(QString::fromUtf8(kivora::app::kAppId));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/art/kv-icon.svg")));
    kivora::InstallFontSubstitutes();

    kivora::Generator generator;
    kivora::SystemClock clock;
    kivora::UserSeedLocale locale;
    kivora::FrmMain frmMain(kivora::MainWindowServices{generator, clock, locale, {}, nullptr});
    frmMain.Form_Load();
    const QRect screen = frmMain.screen()->availableGeometry();
    frmMain.move(screen.center() - frmMain.rect().center());
    frmMain.show();
    return app.exec();
}
