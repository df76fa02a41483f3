#pragma once
// Opens a stretch of code whose replicated calls go out to the clients even inside a call that is being
// run for the clients. On a client the scope sets skip, telling the caller to leave the work to the server.
class NestedCallScope {
public:
    NestedCallScope();
    ~NestedCallScope();
    NestedCallScope(const NestedCallScope&) = delete;
    NestedCallScope& operator=(const NestedCallScope&) = delete;

    bool saved = false;
    bool skip = false;
};
