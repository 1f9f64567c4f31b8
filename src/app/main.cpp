// Kivora starts with its start-up window; everything else happens from there.
#include <memory>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QScreen>
#include <QTimer>

#include <cstdio>
#include <iostream>

#include "AppInfo.h"
#include "cli/CommandLine.h"
#include "common/UserSeedLocale.h"
#include "engine/Generator.h"
#include "engine/SystemClock.h"
#include "print/PdfQueuePort.h"
#include "ui/common/DesktopShell.h"
#include "ui/common/Fonts.h"
#include "ui/main/FrmMain.h"
#include "ui/main/PrinterLoginDialog.h"
#include "ui/startup/FrmPoczatek.h"

#ifdef Q_OS_LINUX
#include <ctime>
#include <unistd.h>
#endif

namespace {

// Milliseconds since the process was started, for KIVORA_REPORT_STARTUP; -1 where unknown.
double MillisecondsSinceProcessStart() {
#ifdef Q_OS_LINUX
    QFile stat(QStringLiteral("/proc/self/stat"));
    if (!stat.open(QIODevice::ReadOnly)) {
        return -1;
    }
    const QByteArray line = stat.readAll();
    // Field 22 (start time, in clock ticks since boot) counts from after the command's ")".
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 20) {
        return -1;
    }
    const double startTicks = fields.at(19).toDouble();
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    const double nowMs =
        static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1e6;
    return nowMs - startTicks * 1000.0 / static_cast<double>(sysconf(_SC_CLK_TCK));
#else
    return -1;
#endif
}

} // namespace

int main(int argc, char* argv[]) {
    kivora::Generator generator;
    kivora::SystemClock clock;
    kivora::UserSeedLocale locale;
    // The history's folder is named after these, for --history and --keep as for the window.
    QCoreApplication::setApplicationName(QStringLiteral("Kivora"));
    QCoreApplication::setOrganizationName(QString::fromUtf8(kivora::app::kMaker));
    // Before QApplication, which needs a display: --help, --version and --draw do not.
    if (const int exitCode = kivora::RunCommandLine(
            kivora::ArgumentList(argc, argv), {generator, clock, locale}, std::cout, std::cerr);
        exitCode != kivora::kRunWindow) {
        return exitCode;
    }

    if (!kivora::DisplayAvailable(kivora::ArgumentList(argc, argv),
                                  [](const char* name) { return qEnvironmentVariable(name); })) {
        std::cerr << kivora::NoDisplayText().toLocal8Bit().constData() << '\n';
        return kivora::kUsageError;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kivora"));
    QApplication::setOrganizationName(QString::fromUtf8(kivora::app::kMaker));
    QApplication::setApplicationVersion(
        QStringLiteral("%1.%2").arg(kivora::app::kVersionMajor).arg(kivora::app::kVersionMinor));
    QGuiApplication::setDesktopFileName(QString::fromUtf8(kivora::app::kAppId));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/art/kv-icon.svg")));
    kivora::InstallFontSubstitutes();

    kivora::DesktopShell shell;
    std::unique_ptr<kivora::FrmMain> frmMain;

    // Made during the start-up window's wait where it can be, so that the main window is up as
    // soon as the wait ends; its load handler still runs when it opens.
    const auto createMainWindow = [&] {
        if (!frmMain) {
            frmMain = std::make_unique<kivora::FrmMain>(kivora::MainWindowServices{
                generator, clock, locale,
                [] { return kivora::PdfQueuePort::OpenDefault(&kivora::PrinterLoginDialog::Ask); },
                &shell});
        }
    };
    auto openMainWindow = [&] {
        createMainWindow();
        frmMain->Form_Load();
        const QRect screen = frmMain->screen()->availableGeometry();
        frmMain->move(screen.center() - frmMain->rect().center());
        frmMain->show();
        if (qEnvironmentVariableIsSet("KIVORA_REPORT_STARTUP")) {
            QTimer::singleShot(0, frmMain.get(), [] {
                std::fprintf(stderr, "kivora: main window shown %.0f ms after process start\n",
                             MillisecondsSinceProcessStart());
            });
        }
    };
    // The start-up window deletes itself once the main window is up.
    auto* frmPoczatek = new kivora::FrmPoczatek(openMainWindow);
    frmPoczatek->SetWaitWork([&] {
        // The background is the costliest thing the main window draws.
        kivora::FrmMain::PrepareBackground(QGuiApplication::primaryScreen());
        createMainWindow();
    });
    frmPoczatek->Form_Load();
    return app.exec();
}
