#include "CupsQueue.h"

#include <algorithm>
#include <array>
#include <memory>
#include <utility>

#include <QCoreApplication>
#include <QEventLoop>
#include <QSizeF>

#include <cups/cups.h>

#include "print/PrintError.h"
#include "print/PrintUnconfirmed.h"

namespace kivora {

namespace {

// How often a wait for the scheduler looks at the clock and lets the window repaint.
constexpr double kPollSeconds = 0.1;
// IPP sizes and margins are in hundredths of a millimetre.
constexpr double kPerMillimetre = 100.0;

struct IppDeleter {
    void operator()(ipp_t* ipp) const { ippDelete(ipp); }
};
using Ipp = std::unique_ptr<ipp_t, IppDeleter>;

struct DestDeleter {
    void operator()(cups_dest_t* dest) const { cupsFreeDests(1, dest); }
};

std::string LastError(const char* what) {
    return std::string(what) + ": " + cupsLastErrorString();
}

void ThrowOnFailure(const Ipp& response, const char* what) {
    if (!response || ippGetStatusCode(response.get()) > IPP_STATUS_OK_EVENTS_COMPLETE) {
        throw PrintError(LastError(what));
    }
}

int Integer(ipp_t* ipp, const char* name, int fallback) {
    ipp_attribute_t* attr = ippFindAttribute(ipp, name, IPP_TAG_ZERO);
    return attr ? ippGetInteger(attr, 0) : fallback;
}

// A media name, self-describing ("iso_a6_105x148mm") or of the older kinds ("A6", "Letter").
QPageSize PageSizeNamed(const char* name) {
    if (!name) {
        return {};
    }
    const pwg_media_t* media = pwgMediaForPWG(name);
    if (!media) {
        media = pwgMediaForLegacy(name);
    }
    if (!media) {
        media = pwgMediaForPPD(name);
    }
    if (!media || media->width <= 0 || media->length <= 0) {
        return {};
    }
    // Fuzzy matching gives the standard size its own name (A6, Letter) where it is one.
    return QPageSize(QSizeF(media->width / kPerMillimetre, media->length / kPerMillimetre),
                     QPageSize::Millimeter, QString(), QPageSize::FuzzyMatch);
}

// Stands in for libcups' own password prompt, which reads the terminal, once a queue is gone.
const char* NoPassword(const char* /*prompt*/, http_t* /*http*/, const char* /*method*/,
                       const char* /*resource*/, void* /*data*/) {
    return nullptr;
}

} // namespace

CupsQueue::CupsQueue(std::chrono::milliseconds limit, LoginAsker askLogin)
    : deadline_(limit), askLogin_(std::move(askLogin)) {
    const auto connectWithin = static_cast<int>(std::max<qint64>(deadline_.remainingTime(), 1));
    http_ = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                         connectWithin, nullptr);
    if (!http_) {
        throw PrintError("the print server does not answer");
    }
    // Before the first request: libcups asks for a password on the terminal unless told
    // otherwise, which would hang a program started from one.
    cupsSetPasswordCB2(&CupsQueue::AskPassword, this);
    httpSetTimeout(http_, kPollSeconds, &CupsQueue::KeepWaiting, this);
}

CupsQueue::~CupsQueue() {
    cupsSetPasswordCB2(&NoPassword, nullptr);
    httpClose(http_);
}

// libcups calls this when the scheduler wants a login; returning nothing cancels the request.
const char* CupsQueue::AskPassword(const char* /*prompt*/, http_t* /*http*/, const char* /*method*/,
                                   const char* /*resource*/, void* self) {
    auto* queue = static_cast<CupsQueue*>(self);
    if (!queue || !queue->askLogin_ || ++queue->loginTries_ > kLoginTries) {
        return nullptr;
    }
    // The limit is for the scheduler's part: the user's time does not count.
    const qint64 left = queue->deadline_.remainingTime();
    const std::optional<PrinterLogin> login = queue->askLogin_(QString::fromUtf8(cupsUser()));
    queue->deadline_.setRemainingTime(left);
    if (!login) {
        return nullptr;
    }
    // libcups sends the name it knows as the user's together with the password returned.
    cupsSetUser(login->user.toUtf8().constData());
    queue->password_ = login->password.toStdString();
    return queue->password_.c_str();
}

// libcups calls this each time a wait for the scheduler runs past the poll interval.
int CupsQueue::KeepWaiting(http_t* /*http*/, void* self) {
    auto* queue = static_cast<CupsQueue*>(self);
    if (queue->deadline_.hasExpired()) {
        return 0;
    }
    if (QCoreApplication::instance()) {
        // Repaints only: clicks and keys wait until the printout is over.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    return 1;
}

QueueInfo CupsQueue::Describe() {
    const std::unique_ptr<cups_dest_t, DestDeleter> dest(cupsGetNamedDest(http_, nullptr, nullptr));
    if (!dest) {
        throw PrintError(LastError("no default printer"));
    }
    const char* uri = cupsGetOption("printer-uri-supported", dest->num_options, dest->options);
    std::array<char, HTTP_MAX_URI> built{};
    if (!uri) {
        httpAssembleURIf(HTTP_URI_CODING_ALL, built.data(), static_cast<int>(built.size()), "ipp",
                         nullptr, "localhost", ippPort(), "/printers/%s", dest->name);
        uri = built.data();
    }
    uri_ = uri;
    std::array<char, HTTP_MAX_URI> scheme{}, user{}, host{}, resource{};
    int port = 0;
    if (httpSeparateURI(HTTP_URI_CODING_ALL, uri, scheme.data(), static_cast<int>(scheme.size()),
                        user.data(), static_cast<int>(user.size()), host.data(),
                        static_cast<int>(host.size()), &port, resource.data(),
                        static_cast<int>(resource.size())) < HTTP_URI_STATUS_OK) {
        throw PrintError("the default printer has no usable address");
    }
    resource_ = resource.data();

    static const char* const kAsked[] = {"printer-is-accepting-jobs", "printer-state",
                                         "media-default", "media-col-default"};
    ipp_t* request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri_.c_str());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
                 cupsUser());
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                  static_cast<int>(std::size(kAsked)), nullptr, kAsked);
    const Ipp response(cupsDoRequest(http_, request, resource_.c_str()));
    ThrowOnFailure(response, "the default printer does not describe itself");

    QueueInfo info;
    ipp_attribute_t* accepting =
        ippFindAttribute(response.get(), "printer-is-accepting-jobs", IPP_TAG_BOOLEAN);
    info.acceptingJobs = !accepting || ippGetBoolean(accepting, 0) != 0;
    paused_ = Integer(response.get(), "printer-state", IPP_PSTATE_IDLE) == IPP_PSTATE_STOPPED;
    info.paused = paused_;
    info.pageSize = PageSizeNamed(
        ippGetString(ippFindAttribute(response.get(), "media-default", IPP_TAG_ZERO), 0, nullptr));
    if (ipp_attribute_t* col =
            ippFindAttribute(response.get(), "media-col-default", IPP_TAG_BEGIN_COLLECTION)) {
        ipp_t* media = ippGetCollection(col, 0);
        if (!info.pageSize.isValid()) {
            if (ipp_attribute_t* size =
                    ippFindAttribute(media, "media-size", IPP_TAG_BEGIN_COLLECTION)) {
                ipp_t* dimensions = ippGetCollection(size, 0);
                const int width = Integer(dimensions, "x-dimension", 0);
                const int length = Integer(dimensions, "y-dimension", 0);
                if (width > 0 && length > 0) {
                    info.pageSize =
                        QPageSize(QSizeF(width / kPerMillimetre, length / kPerMillimetre),
                                  QPageSize::Millimeter, QString(), QPageSize::FuzzyMatch);
                }
            }
        }
        info.margins = QMarginsF(Integer(media, "media-left-margin", 0) / kPerMillimetre,
                                 Integer(media, "media-top-margin", 0) / kPerMillimetre,
                                 Integer(media, "media-right-margin", 0) / kPerMillimetre,
                                 Integer(media, "media-bottom-margin", 0) / kPerMillimetre);
    }
    return info;
}

// One Print-Job request carries the document, so the scheduler either takes the whole job or
// none of it: a refusal or a broken connection leaves nothing behind in the queue.
JobFate CupsQueue::Submit(const QByteArray& pdf, const QString& title) {
    if (resource_.empty()) {
        Describe();
    }
    const QByteArray name = title.toUtf8();
    const Ipp request(ippNewRequest(IPP_OP_PRINT_JOB));
    ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr,
                 uri_.c_str());
    ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
                 cupsUser());
    ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_NAME, "job-name", nullptr,
                 name.constData());
    ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_MIMETYPE, "document-format", nullptr,
                 "application/pdf");
    const auto size = static_cast<size_t>(pdf.size());
    // The length counts the request as well as the document that follows it.
    http_status_t status =
        cupsSendRequest(http_, request.get(), resource_.c_str(), ippLength(request.get()) + size);
    constexpr size_t kChunk = 32768;
    for (size_t sent = 0; status == HTTP_STATUS_CONTINUE && sent < size; sent += kChunk) {
        status = cupsWriteRequestData(http_, pdf.constData() + sent, std::min(kChunk, size - sent));
    }
    if (status != HTTP_STATUS_CONTINUE) {
        throw PrintError(LastError("the document did not reach the printer"));
    }
    const Ipp response(cupsGetResponse(http_, resource_.c_str()));
    if (!response && deadline_.hasExpired()) {
        // The scheduler has the whole job and may print it; only its answer is missing.
        throw PrintUnconfirmed("the printer did not answer in time");
    }
    ThrowOnFailure(response, "the printer refused the document");
    const int state = Integer(response.get(), "job-state", IPP_JSTATE_PENDING);
    if (state == IPP_JSTATE_CANCELED || state == IPP_JSTATE_ABORTED) {
        throw PrintError("the printer dropped the document");
    }
    return paused_ || state == IPP_JSTATE_HELD || state == IPP_JSTATE_STOPPED ? JobFate::Held
                                                                              : JobFate::Queued;
}

} // namespace kivora
