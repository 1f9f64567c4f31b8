// The main window as the window tests build it: a fixed generator, a clock that stands still,
// plain dates, and a shell that finds no help file (so Help shows its message).
#pragma once

#include <QMessageLogContext>
#include <QString>
#include <QtGlobal>

#include <cstdint>
#include <functional>
#include <memory>

#include "engine/Generator.h"
#include "engine/SeedLocale.h"
#include "print/PrinterPort.h"
#include "support/FakeClock.h"
#include "support/FakeShell.h"
#include "ui/common/Fonts.h"
#include "ui/main/FrmMain.h"

namespace kivora::test {

struct MainWindowOnFakes {
    explicit MainWindowOnFakes(std::function<std::unique_ptr<PrinterPort>()> printer = {},
                               uint64_t seed = 1)
        : generator(Generator::FromSeed(seed)), w{MainWindowServices{generator, clock, locale,
                                                                     std::move(printer), &shell}} {}
    Generator generator;
    FakeClock clock{36000.5};
    PlainSeedLocale locale;
    FakeShell shell{Shell::kFileNotFound};
    FrmMain w;
};

// For initTestCase of a window test: the program's faces, and the offscreen plugin's note on
// every popup it cannot raise or window it cannot size kept out of the output.
inline void SetUpWindowTests() {
    InstallFontSubstitutes();
    static const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext& at, const QString& text) {
            if (!text.startsWith(QLatin1String("This plugin does not support"))) {
                previous(type, at, text);
            }
        });
}

} // namespace kivora::test
