#pragma once

#include <chrono>
#include <string>

#include <QDeadlineTimer>

#include "print/PrintQueue.h"
#include "print/PrinterLogin.h"

typedef struct _http_s http_t;

namespace kivora {

// The default destination of the CUPS scheduler that CUPS_SERVER (or the system) names, spoken
// to over one connection of our own. The whole conversation, from the first question to the
// answer to the job, must end within the time limit; a scheduler that stops answering gives a
// PrintError then instead of libcups' own waits of a minute and more. While it waits, the
// window keeps repainting, but user input is held back until the printout is over, so the
// printout still runs to its end before the window takes further input.
//
// A queue that asks for a password is answered through `askLogin`, never on the terminal as
// libcups would by itself; the time the user takes is not counted against the limit.
class CupsQueue : public PrintQueue {
public:
    static constexpr std::chrono::milliseconds kTimeLimit{10000};
    // A wrong password asks again, up to this many times in all.
    static constexpr int kLoginTries = 3;

    // Connects to the scheduler; throws a PrintError when it cannot.
    explicit CupsQueue(std::chrono::milliseconds limit = kTimeLimit, LoginAsker askLogin = {});
    ~CupsQueue() override;

    CupsQueue(const CupsQueue&) = delete;
    CupsQueue& operator=(const CupsQueue&) = delete;

    // Finds the default destination; throws a PrintError when there is none.
    QueueInfo Describe() override;
    JobFate Submit(const QByteArray& pdf, const QString& title) override;

private:
    static int KeepWaiting(http_t* http, void* self);
    static const char* AskPassword(const char* prompt, http_t* http, const char* method,
                                   const char* resource, void* self);

    QDeadlineTimer deadline_;
    LoginAsker askLogin_;
    int loginTries_ = 0;
    std::string password_;
    http_t* http_ = nullptr;
    std::string uri_;
    std::string resource_;
    bool paused_ = false;
};

} // namespace kivora
