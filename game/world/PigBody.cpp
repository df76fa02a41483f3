#include "game/world/PigBody.h"

#include "engine/core/Format.h"
#include "engine/core/PropertyInt.h"
#include "engine/files/ResourceManager.h"
#include "engine/net/Packet.h"
#include "engine/render/Skin.h"
#include "game/world/LevelDataCheck.h"

const RuntimeClass PigBody::classRecord(RuntimeClass::hashName(u"PigBody"), &A99Object::classRecord,
                                        &RuntimeClass::factoryOf<PigBody>);
const RuntimeClass RPC_PigBody_construct::classRecord(RuntimeClass::hashName(u"RPC_PigBody_construct"),
                                                      &RPC::classRecord,
                                                      &RuntimeClass::factoryOf<RPC_PigBody_construct>);

PigBody::PigBody() : PigBody(LevelAccess::PIG_LIST) {}

PigBody::PigBody(LevelAccess::ListId home) : A99Object(home) {}

void PigBody::addPropertiesTo(Property& list)
{
    A99Object::addPropertiesTo(list);
    list.appendChild(new PropertyInt(u"type", Property::FLAG_CONSTRUCTOR, &type));
}

void PigBody::checkLoadedValues()
{
    A99Object::checkLoadedValues();
    LevelDataCheck(*this).range(u"type", type, TYPE_PIG, TYPE_LAST_PIGLET);
}

void PigBody::afterEdit()
{
    applyTypeSkin();
    A99Object::afterEdit();
}

void PigBody::construct(int32_t bodyType)
{
    RPC_PigBody_construct call(this, bodyType);
    RPC::send(call);
}

void PigBody::local_construct(int32_t bodyType)
{
    EditorObject::local_construct();
    type = bodyType;
    LevelDataCheck(*this).range(u"type", type, TYPE_PIG, TYPE_LAST_PIGLET);
    applyTypeSkin();
}

void PigBody::applyTypeSkin()
{
    ResourceManager* resources = ResourceManager::instance();
    if (resources == nullptr) {
        return;
    }
    const UString name = type == TYPE_PIG ? UString(u"pig-body:0") : formatString(u"piglets:%d", type - 2);
    if (auto* skin = dynamic_cast<Skin*>(resources->find(name, false))) {
        pSkin = skin;
        updateVisuals();
    }
}

RPC_PigBody_construct::RPC_PigBody_construct(KivBase* target, int32_t bodyType) : RPC(target), bodyType(bodyType)
{
    bRunsOnServer = 1;
    bRunsOnClients = 1;
}

void RPC_PigBody_construct::netSerialize(Packet& packet)
{
    RPC::netSerialize(packet);
    packet.doVarInt(bodyType);
}

void RPC_PigBody_construct::addPropertiesTo(Property& list) { list.appendChild(new PropertyInt(u"", 0, &bodyType)); }

void RPC_PigBody_construct::invoke()
{
    if (target != nullptr) {
        static_cast<PigBody*>(target)->local_construct(bodyType);
    }
}
