#pragma once
// One HTTP request to the web host, run on a worker thread of its own. The owner polls `state` once per
// frame: 0 idle, 1 running (set before the worker starts), 2 failed (`errorText` says why), 3 done (the
// reply in `data`/`size`); it consumes a result by writing 0. The worker writes the state word last.
// The request is a multipart POST when form parts were added, else a GET; a status outside 200-299 fails.
// Deleting a request while it runs is safe: the worker keeps what it writes to alive until it ends. The
// worker belongs to the engine's HttpWorkers, which cancels it and joins it at shutdown; without an engine
// (tools, tests) the request keeps its worker itself and deleting it waits for the worker to end.
#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "engine/core/UString.h"

class HttpWorkers;

class HttpRequest {
public:
    enum State { STATE_IDLE = 0, STATE_RUNNING = 1, STATE_FAILED = 2, STATE_DONE = 3 };

    HttpRequest(const UString& host, const UString& path);
    ~HttpRequest();
    HttpRequest(const HttpRequest&) = delete;
    HttpRequest& operator=(const HttpRequest&) = delete;

    // "platform", "gameName", "gameVersion" and "gamePatch", in this order.
    void addStandardFields();
    // One part of the multipart body; a non-empty file name makes it a file part.
    void addFormPart(const void* bytes, std::size_t byteCount, const UString& partName, const UString& fileName = {});
    // Closes the body and starts the worker. A finished request may be started again; it sends the same body.
    void start();

    // The body as it will be (or was) sent.
    const std::string& body() const { return requestBody; }
    bool isPost() const { return hasParts; }

    struct Shared {
        std::atomic<int> state{STATE_IDLE};
        UString errorText;
        std::vector<unsigned char> reply;
        const unsigned char* data = nullptr; // null when nothing was read
        std::size_t size = 0;
    };

private:
    std::shared_ptr<Shared> shared;

public:
    std::atomic<int>& state;
    UString& errorText;
    const unsigned char*& data;
    std::size_t& size;

    // Seconds; a server that does not accept or does not answer in time fails the request.
    double connectTimeout = 15.0;
    double transferTimeout = 60.0;
    // A longer reply is cut off there and fails the request.
    std::size_t maxReplySize = 1u << 20;

    static constexpr const char* BOUNDARY = "---------------------------7d33992b80330";

private:
    UString host;
    UString path;
    std::string requestBody;
    bool hasParts = false;
    bool bodyClosed = false;
    std::unique_ptr<HttpWorkers> ownWorkers; // only without an engine
};
