#pragma once
// One blocking HTTP exchange over libcurl, for the request worker threads. It reports which step failed
// so the caller can word the error as the request's own texts have it.
#include <atomic>
#include <string>
#include <vector>

struct HttpTransfer {
    std::string url;
    bool post = false;
    std::string body;
    std::vector<std::string> headers; // "Name: value"
    std::string userAgent;
    long connectTimeoutMs = 15000;
    long transferTimeoutMs = 60000; // the whole exchange
    std::size_t maxReplyBytes = 0;  // a longer reply ends the exchange (0: no limit)
    const std::atomic<bool>* cancelled = nullptr; // when set, the exchange gives up (as a failed send)
};

struct HttpOutcome {
    enum Step { Done, Session, Connect, OpenRequest, SendRequest, QueryStatus };
    Step failedStep = Done;
    unsigned errorCode = 0; // the library's code of the failure
    long status = 0;        // HTTP status when one arrived
    bool replyTooLarge = false; // the reply passed maxReplyBytes; `reply` holds its first bytes
    std::vector<unsigned char> reply;
};

HttpOutcome performHttp(const HttpTransfer& transfer);
// Raises the calling thread's priority one step when the system allows it.
void raiseThreadPriority();
