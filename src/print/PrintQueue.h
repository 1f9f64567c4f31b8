#pragma once

#include <QByteArray>
#include <QMarginsF>
#include <QPageSize>
#include <QString>

namespace kivora {

// What a print queue says about itself before a document is made for it.
struct QueueInfo {
    bool acceptingJobs = true;
    // Stopped by its administrator: it takes jobs but holds them.
    bool paused = false;
    // The queue's default paper; invalid when the queue names none.
    QPageSize pageSize;
    // The unprintable edges in millimetres; all zero when the queue reports none.
    QMarginsF margins;
};

// What became of a document the queue took.
enum class JobFate {
    Queued, // on its way to the printer
    Held,   // kept in the queue until someone releases it or resumes the printer
};

// The spooler side of the printer port: the default queue of the system's printing service.
// Every call either answers within the queue's time limit or throws a PrintError.
class PrintQueue {
public:
    virtual ~PrintQueue() = default;

    virtual QueueInfo Describe() = 0;
    // Hands over one finished PDF document. Throws a PrintError when the queue refuses it.
    virtual JobFate Submit(const QByteArray& pdf, const QString& title) = 0;
};

} // namespace kivora
