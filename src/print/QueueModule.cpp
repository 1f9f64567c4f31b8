#include "QueueModule.h"

#include <QCoreApplication>
#include <QLibrary>

#include "PrintError.h"
#include "PrintQueue.h"

namespace kivora {

std::unique_ptr<PrintQueue> OpenQueueModule(const QueueHooks& hooks) {
    // Loaded once and kept: libcups holds per-process state between printouts.
    static QLibrary module;
    if (!module.isLoaded()) {
        module.setFileName(QCoreApplication::applicationDirPath() + u'/' +
                           QLatin1StringView(kQueueModuleName));
        if (!module.load()) {
            throw PrintError("no print-queue module: " + module.errorString().toStdString());
        }
    }
    const auto open = reinterpret_cast<OpenQueueFunction>(module.resolve(kOpenQueueSymbol));
    if (!open) {
        throw PrintError("the print-queue module has no entry point");
    }
    return std::unique_ptr<PrintQueue>(open(hooks));
}

} // namespace kivora
