// The print-queue module's entry point: the program loads this module, and with it libcups,
// only when the user prints.
#include <QtGlobal>

#include "CupsQueue.h"
#include "print/QueueModule.h"

extern "C" Q_DECL_EXPORT kivora::PrintQueue* kivora_open_queue(const kivora::QueueHooks& hooks) {
    return new kivora::CupsQueue(kivora::CupsQueue::kTimeLimit, hooks.askLogin);
}
