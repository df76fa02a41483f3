#pragma once
// The engine's network service, made by the engine object in its construction order. It holds the current
// network role (THEROLE), the emulate-localhost option and the traffic recorder that the crash path writes
// as the ".net" crash file, and the few engine values a role reads (frame step, keys, release flag, debug
// level), which the engine object supplies as hooks.
#include <cstdint>
#include <functional>
#include "engine/core/SourceLocation.h"
#include <string>

#include "engine/core/UString.h"
#include "engine/net/NetTrafficRecorder.h"

class NetRole;
struct V3;

class KivNetwork {
public:
    // What the role needs of the engine; each hook may be empty.
    struct EngineHooks {
        std::function<double()> frameTimeStep;      // the engine's frame time step (seconds)
        std::function<bool()> isRelease;            // the engine's release flag
        std::function<bool(int inputCode)> isKeyDown;
        std::function<uint32_t()> debugLevel;       // bit 0x200 draws the network overlay
        std::function<uint32_t()> drawCounter;      // the engine's drawing counter
        // Draws the overlay's lines at a position with a font.
        std::function<void(const V3& position, void* font, const UString& text)> drawText;
    };

    KivNetwork();
    ~KivNetwork();
    KivNetwork(const KivNetwork&) = delete;
    KivNetwork& operator=(const KivNetwork&) = delete;

    static KivNetwork* instance();
    // The current role: made current by a role's constructor and during its tick, render and stored start.
    static inline NetRole* currentRole = nullptr;

    static bool isEmulatingLocalhost() { return instance() != nullptr && instance()->bEmulateLocalhost; }
    // The recorder of the engine's service, or null without one.
    static NetTrafficRecorder* getRecorder() { return instance() != nullptr ? &instance()->recorder : nullptr; }
    static const EngineHooks& getHooks();
    // Level code registers a new object only with a current role that allows registrations: the fatal
    // assertions "THEROLE != NULL" and "THEROLE->bAllowNewObjectRegistations", reported from `caller`
    // (the operation that makes the object, also when a helper of it runs this check).
    static void assertRegistrationAllowed(SourceLocation caller = SourceLocation::current());

    // The crash path's ".net" file.
    bool writeCrashFile(const std::string& path) const { return recorder.writeToFile(path); }

    // 127.0.0.1 connections go through in-process queues instead of sockets.
    bool bEmulateLocalhost = false;
    EngineHooks hooks;
    NetTrafficRecorder recorder;

private:
    KivNetwork* previous = nullptr;
};

#define THEROLE (KivNetwork::currentRole)
