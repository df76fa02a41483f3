#include "engine/http/HttpRequest.h"

#include <system_error>

#include "engine/core/Format.h"
#include "engine/core/GameInfo.h"
#include "engine/http/HttpWorkers.h"
#include "engine/kiv/Kiv.h"
#include "engine/platform/HttpTransport.h"

namespace {

UString failureText(const HttpOutcome& outcome)
{
    switch (outcome.failedStep) {
    case HttpOutcome::Session: return formatString(u"Could not open internet session (error %08x)", outcome.errorCode);
    case HttpOutcome::Connect: return formatString(u"Could not connect (error %08x)", outcome.errorCode);
    case HttpOutcome::OpenRequest: return formatString(u"Could not open request (error %08x)", outcome.errorCode);
    case HttpOutcome::SendRequest: return formatString(u"Could not send request (error %08x)", outcome.errorCode);
    case HttpOutcome::QueryStatus:
        return formatString(u"Could not query HTTP status code (error %08x)", outcome.errorCode);
    case HttpOutcome::Done: break;
    }
    return {};
}

void runRequest(const std::shared_ptr<HttpRequest::Shared>& shared, const HttpTransfer& transfer)
{
    raiseThreadPriority();
    HttpOutcome outcome = performHttp(transfer);
    shared->reply = std::move(outcome.reply);
    shared->data = shared->reply.empty() ? nullptr : shared->reply.data();
    shared->size = shared->reply.size();
    int result = HttpRequest::STATE_DONE;
    if (outcome.replyTooLarge) {
        shared->errorText = formatString(u"Reply larger than %d bytes was cut off", static_cast<int>(transfer.maxReplyBytes));
        result = HttpRequest::STATE_FAILED;
    } else if (outcome.failedStep != HttpOutcome::Done) {
        shared->errorText = failureText(outcome);
        result = HttpRequest::STATE_FAILED;
    } else if (outcome.status < 200 || outcome.status > 299) {
        shared->errorText = formatString(u"Failed with HTTP status code %d", static_cast<int>(outcome.status));
        result = HttpRequest::STATE_FAILED;
    }
    shared->state.store(result, std::memory_order_release);
}

} // namespace

HttpRequest::HttpRequest(const UString& host_, const UString& path_)
    : shared(std::make_shared<Shared>()), state(shared->state), errorText(shared->errorText), data(shared->data),
      size(shared->size), host(host_), path(path_)
{
}

HttpRequest::~HttpRequest()
{
    // Without an engine the request's own worker is waited for; the engine's workers go on without it.
    if (ownWorkers != nullptr) {
        ownWorkers->waitAll();
    }
}

void HttpRequest::addStandardFields()
{
    const std::string platform = "WIN";
    const std::string gameName = wideToUtf8(GameInfo::GAME_ID);
    const std::string version = wideToUtf8(GameInfo::VERSION);
    const std::string patch = wideToUtf8(GameInfo::PATCH);
    addFormPart(platform.data(), platform.size(), u"platform");
    addFormPart(gameName.data(), gameName.size(), u"gameName");
    addFormPart(version.data(), version.size(), u"gameVersion");
    addFormPart(patch.data(), patch.size(), u"gamePatch");
}

void HttpRequest::addFormPart(const void* bytes, std::size_t byteCount, const UString& partName, const UString& fileName)
{
    if (bodyClosed) {
        return; // the body was sent already; a request is sent as it was made
    }
    hasParts = true;
    requestBody += "\r\n--";
    requestBody += BOUNDARY;
    requestBody += "\r\nContent-Disposition: form-data; name=\"";
    requestBody += wideToUtf8(partName);
    requestBody += "\"";
    if (!fileName.empty()) {
        requestBody += "; filename=\"";
        requestBody += wideToUtf8(fileName);
        requestBody += "\"\r\nContent-Type: application/octet-stream";
    }
    requestBody += "\r\n\r\n";
    if (bytes != nullptr && byteCount > 0) {
        requestBody.append(static_cast<const char*>(bytes), byteCount);
    }
}

void HttpRequest::start()
{
    if (state.load(std::memory_order_acquire) == STATE_RUNNING) {
        return;
    }
    if (hasParts && !bodyClosed) {
        bodyClosed = true;
        requestBody += "\r\n--";
        requestBody += BOUNDARY;
        requestBody += "--\r\n";
    }
    HttpTransfer transfer;
    transfer.url = "http://" + wideToUtf8(host) + wideToUtf8(path);
    transfer.post = hasParts;
    transfer.body = requestBody;
    transfer.headers = {"Accept: */*", std::string("Content-Type: multipart/form-data; boundary=") + BOUNDARY,
                        "Pragma: no-cache"};
    transfer.userAgent = wideToUtf8(GameInfo::GAME_ID);
    transfer.connectTimeoutMs = static_cast<long>(connectTimeout * 1000.0);
    transfer.transferTimeoutMs = static_cast<long>(transferTimeout * 1000.0);
    transfer.maxReplyBytes = maxReplySize;

    shared->errorText.clear();
    shared->reply.clear();
    shared->data = nullptr;
    shared->size = 0;
    HttpWorkers* workers = Kiv::instance() != nullptr ? Kiv::instance()->httpWorkers.get() : nullptr;
    if (workers == nullptr) {
        if (ownWorkers == nullptr) {
            ownWorkers = std::make_unique<HttpWorkers>();
        }
        workers = ownWorkers.get();
    }
    state.store(STATE_RUNNING, std::memory_order_release);
    try {
        workers->start([shared = shared, transfer = std::move(transfer)](const std::atomic<bool>& cancelled) mutable {
            transfer.cancelled = &cancelled;
            runRequest(shared, transfer);
        });
    } catch (const std::system_error& e) {
        shared->errorText = formatString(u"Thread creation failed (error %08x)", static_cast<unsigned>(e.code().value()));
        state.store(STATE_FAILED, std::memory_order_release);
    }
}
