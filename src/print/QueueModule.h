#pragma once

#include <memory>

#include "PrinterLogin.h"

namespace kivora {

class PrintQueue;

// What the program hands the print-queue module when it opens the default queue.
struct QueueHooks {
    LoginAsker askLogin;
};

// The module's one entry point; throws a PrintError when there is no queue to speak to.
using OpenQueueFunction = PrintQueue* (*)(const QueueHooks& hooks);
inline constexpr char kOpenQueueSymbol[] = "kivora_open_queue";
inline constexpr char kQueueModuleName[] = "kivora-cups";

// Loads the print-queue module from the program's folder on first use (libcups and the
// libraries it pulls in cost start-up time and memory that only printing needs) and opens the
// default queue. Throws a PrintError when the module is missing or there is no queue.
std::unique_ptr<PrintQueue> OpenQueueModule(const QueueHooks& hooks);

} // namespace kivora
