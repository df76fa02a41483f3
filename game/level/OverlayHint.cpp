#include "game/level/OverlayHint.h"

#include "engine/core/PropertyInt.h"
#include "engine/core/PropertyPointer.h"
#include "engine/core/PropertyUString.h"
#include "engine/net/Packet.h"
#include "engine/render/Skin.h"
#include "game/level/LevelServices.h"
#include "game/userdata/GameConfiguration.h"

const RuntimeClass OverlayHint::classRecord(RuntimeClass::hashName(u"OverlayHint"), &Overlay::classRecord,
                                       &RuntimeClass::factoryOf<OverlayHint>);
const RuntimeClass RPC_OverlayHint_construct::classRecord(RuntimeClass::hashName(u"RPC_OverlayHint_construct"),
                                                     &RPC::classRecord,
                                                     &RuntimeClass::factoryOf<RPC_OverlayHint_construct>);

OverlayHint::OverlayHint()
{
    if (const GameConfiguration* config = LevelServices::configuration()) {
        closeKey1 = static_cast<int32_t>(config->keyBindings[GameConfiguration::BIND_JUMP].keyboard);
        closeKey2 = static_cast<int32_t>(config->keyBindings[GameConfiguration::BIND_JUMP].joystick);
    }
    clickToClose = true;
}

void OverlayHint::construct(const UString& title, const UString& text, Skin* icon, int32_t pictureIndex)
{
    RPC_OverlayHint_construct call(this, title, text, icon, pictureIndex);
    RPC::send(call);
}

// The box's content comes with the in-level overlays; until then the hint pauses the level over its
// frozen picture and closes by the usual rules.
void OverlayHint::local_construct(const UString& /*title*/, const UString& /*text*/, Skin* /*icon*/,
                             int32_t /*pictureIndex*/)
{
}

void OverlayHint::renderContents()
{
    renderLevelBehind();
    Overlay::renderContents();
}

RPC_OverlayHint_construct::RPC_OverlayHint_construct(KivBase* target, const UString& title, const UString& text, Skin* icon,
                                           int32_t pictureIndex)
    : RPC(target), title(title), text(text), icon(icon), pictureIndex(pictureIndex)
{
    bRunsOnServer = 1;
    bRunsOnClients = 1;
}

void RPC_OverlayHint_construct::netSerialize(Packet& packet)
{
    RPC::netSerialize(packet);
    packet.doUString(title, 4096);
    packet.doUString(text, 4096);
    KivBase* resource = icon;
    packet.doResourcePointer2(resource);
    icon = dynamic_cast<Skin*>(resource);
    packet.doVarInt(pictureIndex);
}

void RPC_OverlayHint_construct::addPropertiesTo(Property& list)
{
    list.appendChild(new PropertyUString(u"", 0, &title, 4096));
    list.appendChild(new PropertyUString(u"", 0, &text, 4096));
    list.appendChild(new PropertyPointer(u"", Property::FLAG_RESOURCE, &icon, &Skin::classRecord));
    list.appendChild(new PropertyInt(u"", 0, &pictureIndex));
}

void RPC_OverlayHint_construct::invoke() { static_cast<OverlayHint*>(target)->local_construct(title, text, icon, pictureIndex); }
