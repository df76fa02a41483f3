#include "engine/net/KivNetwork.h"

#include "engine/core/ErrorManager.h"
#include "engine/core/Logger.h"
#include "engine/net/NetRole.h"

namespace {
KivNetwork* gInstance = nullptr;
} // namespace

KivNetwork::KivNetwork()
{
    Logger::logFrom("KivNetwork::KivNetwork", u"Starting...");
    previous = gInstance;
    gInstance = this;
    Logger::logFrom("KivNetwork::KivNetwork", u"Started.");
}

KivNetwork::~KivNetwork() { gInstance = previous; }

KivNetwork* KivNetwork::instance() { return gInstance; }

const KivNetwork::EngineHooks& KivNetwork::getHooks()
{
    static const EngineHooks none;
    return gInstance != nullptr ? gInstance->hooks : none;
}

void KivNetwork::assertRegistrationAllowed(SourceLocation caller)
{
    if (THEROLE == nullptr) {
        ErrorManager::assertionFailed("THEROLE != NULL", caller.function_name(), caller.file_name(),
                                      static_cast<int>(caller.line()));
    }
    if (!THEROLE->bAllowNewObjectRegistations) {
        ErrorManager::assertionFailed("THEROLE->bAllowNewObjectRegistations", caller.function_name(),
                                      caller.file_name(), static_cast<int>(caller.line()));
    }
}
