#include "engine/platform/HttpTransport.h"

#include <curl/curl.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>

#include <mutex>

namespace {

std::once_flag gCurlInit;
bool gCurlReady = false;

// The reply arrives in pieces of at most 4095 bytes, as the request always read it.
constexpr long READ_CHUNK = 4095;

struct Collector {
    std::vector<unsigned char>* reply;
    std::size_t limit;
    bool* tooLarge;
};

size_t collect(char* data, size_t size, size_t count, void* user)
{
    auto* collector = static_cast<Collector*>(user);
    std::vector<unsigned char>* reply = collector->reply;
    std::size_t n = size * count;
    if (collector->limit != 0 && reply->size() + n > collector->limit) {
        // Keep what fits and end the exchange: the reply is cut off.
        n = collector->limit - reply->size();
        reply->insert(reply->end(), reinterpret_cast<unsigned char*>(data), reinterpret_cast<unsigned char*>(data) + n);
        *collector->tooLarge = true;
        return 0;
    }
    reply->insert(reply->end(), reinterpret_cast<unsigned char*>(data), reinterpret_cast<unsigned char*>(data) + n);
    return n;
}

// Called by the library while the exchange waits or moves data (at least about once a second): a non-zero
// answer aborts it.
int checkCancelled(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    const auto* cancelled = static_cast<const std::atomic<bool>*>(user);
    return cancelled->load(std::memory_order_acquire) ? 1 : 0;
}

} // namespace

void raiseThreadPriority()
{
    // One step above normal where the system lets us (raising it needs the right to; otherwise it stays).
    const pid_t thread = static_cast<pid_t>(syscall(SYS_gettid));
    errno = 0;
    const int current = getpriority(PRIO_PROCESS, static_cast<id_t>(thread));
    if (errno == 0) {
        setpriority(PRIO_PROCESS, static_cast<id_t>(thread), current - 1);
    }
}

HttpOutcome performHttp(const HttpTransfer& transfer)
{
    HttpOutcome out;
    std::call_once(gCurlInit, [] { gCurlReady = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK; });
    CURL* curl = gCurlReady ? curl_easy_init() : nullptr;
    if (curl == nullptr) {
        out.failedStep = HttpOutcome::Session;
        out.errorCode = CURLE_FAILED_INIT;
        return out;
    }
    curl_slist* headers = nullptr;
    for (const std::string& h : transfer.headers) {
        headers = curl_slist_append(headers, h.c_str());
    }
    // No "Expect: 100-continue" round trip before the body.
    headers = curl_slist_append(headers, "Expect:");

    Collector collector{&out.reply, transfer.maxReplyBytes, &out.replyTooLarge};
    CURLcode rc = CURLE_OK;
    auto set = [&](CURLcode c) {
        if (rc == CURLE_OK) {
            rc = c;
        }
    };
    set(curl_easy_setopt(curl, CURLOPT_URL, transfer.url.c_str()));
    set(curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L));
    set(curl_easy_setopt(curl, CURLOPT_USERAGENT, transfer.userAgent.c_str()));
    set(curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers));
    set(curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, transfer.connectTimeoutMs));
    set(curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, transfer.transferTimeoutMs));
    set(curl_easy_setopt(curl, CURLOPT_BUFFERSIZE, READ_CHUNK));
    set(curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, collect));
    set(curl_easy_setopt(curl, CURLOPT_WRITEDATA, &collector));
    set(curl_easy_setopt(curl, CURLOPT_PROXY, ""));
    if (transfer.cancelled != nullptr) {
        set(curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, checkCancelled));
        set(curl_easy_setopt(curl, CURLOPT_XFERINFODATA, const_cast<std::atomic<bool>*>(transfer.cancelled)));
        set(curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L));
    }
    if (transfer.post) {
        set(curl_easy_setopt(curl, CURLOPT_POST, 1L));
        set(curl_easy_setopt(curl, CURLOPT_POSTFIELDS, transfer.body.data()));
        set(curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(transfer.body.size())));
    } else {
        set(curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L));
    }
    if (rc != CURLE_OK) {
        out.failedStep = HttpOutcome::OpenRequest;
        out.errorCode = rc;
    } else {
        rc = curl_easy_perform(curl);
        if (rc == CURLE_COULDNT_CONNECT || rc == CURLE_COULDNT_RESOLVE_HOST || rc == CURLE_COULDNT_RESOLVE_PROXY ||
            (rc == CURLE_OPERATION_TIMEDOUT && [&] {
                double connectTime = 0.0;
                curl_easy_getinfo(curl, CURLINFO_CONNECT_TIME, &connectTime);
                return connectTime <= 0.0;
            }())) {
            out.failedStep = HttpOutcome::Connect;
            out.errorCode = rc;
        } else if (rc != CURLE_OK) {
            out.failedStep = HttpOutcome::SendRequest;
            out.errorCode = rc;
        } else if (curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &out.status) != CURLE_OK || out.status == 0) {
            out.failedStep = HttpOutcome::QueryStatus;
            out.errorCode = CURLE_GOT_NOTHING;
        }
    }
    curl_slist_free_all(headers);
    curl_easy_cleanup(curl);
    return out;
}
