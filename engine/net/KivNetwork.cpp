#include "engine/net/KivNetwork.h"

#include "engine/core/Logger.h"

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
