#include "game/world/EditorObject.h"

#include <cmath>

#include "engine/core/ErrorManager.h"
#include "engine/core/PropertyBool.h"
#include "engine/core/PropertyContainer.h"
#include "engine/core/PropertyFloat.h"
#include "engine/core/PropertyPointer.h"
#include "engine/core/PropertyReferenceBase.h"
#include "engine/core/PropertyUColor.h"
#include "engine/files/ResourceManager.h"
#include "engine/net/KivNetwork.h"
#include "engine/net/NetRole.h"
#include "engine/render/Rect.h"
#include "engine/render/Skin.h"
#include "engine/text/FontQuad.h"
#include "game/level/LevelServices.h"
#include "game/world/EditorProxy.h"
#include "game/world/LevelDataCheck.h"

const RuntimeClass EditorObject::classRecord(RuntimeClass::hashName(u"EditorObject"), &Renderable::classRecord,
                                             &RuntimeClass::factoryOf<EditorObject>);
const RuntimeClass RPC_EditorObject_construct::classRecord(RuntimeClass::hashName(u"RPC_EditorObject_construct"),
                                                           &RPC::classRecord,
                                                           &RuntimeClass::factoryOf<RPC_EditorObject_construct>);

namespace {
void addVector(Property& list, UStringView name, V3& v, uint32_t flags = 0)
{
    auto* group = new PropertyContainer(name, flags);
    group->appendChild(new PropertyFloat(u"x", flags, &v.x));
    group->appendChild(new PropertyFloat(u"y", flags, &v.y));
    group->appendChild(new PropertyFloat(u"z", flags, &v.z));
    list.appendChild(group);
}
} // namespace

EditorObject::EditorObject() : EditorObject(LevelAccess::OBJECT_LIST) {}

EditorObject::EditorObject(LevelAccess::ListId home) : homeListId(home), homeList(LevelAccess::list(home)) {}

EditorObject::~EditorObject()
{
    // The proxy belongs to the proxy list; without its object it has nothing to draw, and the list's
    // walk takes it away.
    if (EditorProxy* proxy = getProxy()) {
        proxy->bDeleted = true;
    }
}

EditorProxy* EditorObject::getProxy() const
{
    KivBase* proxy = pProxy.get();
    return proxy != nullptr && proxy->getClass() == &EditorProxy::classRecord ? static_cast<EditorProxy*>(proxy)
                                                                               : nullptr;
}

void EditorObject::render()
{
    if (getProxy() == nullptr) {
        drawThroughProxy();
    }
}

void EditorObject::drawObject() { Renderable::render(); }

void EditorObject::drawThroughProxy()
{
    drawObject();
    renderObject();
}

void EditorObject::addPropertiesTo(Property& list)
{
    Renderable::addPropertiesTo(list);
    addVector(list, u"position", position);
    addVector(list, u"rotation", rotation);
    addVector(list, u"scale", scale);
    list.appendChild(new PropertyUColor(u"color", 0, &color));
    list.appendChild(new PropertyPointer(u"pSkin", Property::FLAG_RESOURCE, &pSkin, &Skin::classRecord));
    list.appendChild(new PropertyBool(u"bHidden", 0, &bHidden));
    list.appendChild(
        new PropertyReferenceBase(u"pProxy", Property::FLAG_HIDDEN | Property::FLAG_READONLY, &pProxy, &KivBase::classRecord));
}

void EditorObject::netPostReplicate()
{
    Renderable::netPostReplicate();
    checkLoadedValues();
    // An object registered by the editor without its construct call gets its proxy now, so it is drawn.
    if (getProxy() == nullptr && isValidUID() && LevelAccess::mayCreateObjects() &&
        LevelAccess::list(LevelAccess::PROXY_LIST) != nullptr) {
        makeProxy();
    }
    afterEdit();
}

bool EditorObject::onEvent(KivEvent& event)
{
    if (event.type == EVENT_EDITED) {
        checkLoadedValues();
        afterEdit();
    }
    return Renderable::onEvent(event);
}

void EditorObject::checkValues(const LevelDataCheck::Run& run)
{
    LevelDataCheck check(*this, run);
    KivBase* proxy = pProxy.get();
    if (check.objectOfClass(u"pProxy", proxy, &EditorProxy::classRecord)) {
        pProxy.set(nullptr);
    }
    check.coordinate(u"position.x", position.x);
    check.coordinate(u"position.y", position.y);
    check.coordinate(u"position.z", position.z);
    check.angle(u"rotation.x", rotation.x);
    check.angle(u"rotation.y", rotation.y);
    check.angle(u"rotation.z", rotation.z);
    check.scale(u"scale.x", scale.x);
    check.scale(u"scale.y", scale.y);
    check.scale(u"scale.z", scale.z);
    updateVisuals();
}

void EditorObject::afterEdit() { updateVisuals(); }

void EditorObject::construct()
{
    RPC_EditorObject_construct call(this);
    RPC::send(call);
}

void EditorObject::local_construct()
{
    const GameController* GC = LevelAccess::controller();
    // A level's own objects are made below their controller. Only a server's message or a level the user
    // saved may name one before the level's controller: its proxy then waits (makeProxy finds no list to
    // put it in), and a saved level without a controller is refused once it is read.
    if (THEROLE == nullptr || (THEROLE->bIsServer && !THEROLE->isReadingUntrusted())) {
        KIV_ASSERT(GC != NULL);
    }
    KIV_ASSERT(THEROLE != NULL);
    KIV_ASSERT(THEROLE->bAllowNewObjectRegistations);
    if (getProxy() == nullptr) {
        makeProxy();
    }
}

void EditorObject::makeProxy()
{
    KivBase* proxies = LevelAccess::list(LevelAccess::PROXY_LIST);
    if (THEROLE == nullptr || proxies == nullptr) {
        return;
    }
    auto* proxy = new EditorProxy();
    proxy->pObject.set(this);
    THEROLE->registerObject(proxy, 0);
    pProxy.set(proxy);
    proxies->netAddChild(proxy);
}

void EditorObject::placeProxyAfter(EditorObject* other)
{
    KivBase* proxies = LevelAccess::list(LevelAccess::PROXY_LIST);
    EditorProxy* proxy = getProxy();
    if (proxy == nullptr || proxies == nullptr || other == this) {
        return;
    }
    proxy->unlink();
    EditorProxy* anchor = other != nullptr ? other->getProxy() : nullptr;
    const bool known = anchor != nullptr && anchor->getParent() == proxies;
    proxies->insertChildAfter(proxy, known ? anchor : proxies->getLastChild());
}

void EditorObject::placeProxyBefore(EditorObject* other)
{
    KivBase* proxies = LevelAccess::list(LevelAccess::PROXY_LIST);
    EditorProxy* proxy = getProxy();
    if (proxy == nullptr || proxies == nullptr || other == this) {
        return;
    }
    proxy->unlink();
    EditorProxy* anchor = other != nullptr ? other->getProxy() : nullptr;
    const bool known = anchor != nullptr && anchor->getParent() == proxies;
    proxies->insertChildAfter(proxy, known ? anchor->getPrev() : nullptr);
}

void EditorObject::editorSetPosition(const V3& point)
{
    position = point;
    checkLoadedValues();
    afterEdit();
}

void EditorObject::renderObject()
{
    if (!LevelAccess::showEditorMarks()) {
        return;
    }
    const UColor frame(0xff80ffffu);
    // The skin's frame with the class name in its top left corner, the rotation handle and the radius
    // circle.
    V3 label(position.x + 4.0f, position.y - 4.0f, position.z);
    if (pSkin != nullptr) {
        const float hw = pSkin->width * 0.5f * std::fabs(scale.x);
        const float hh = pSkin->height * 0.5f * std::fabs(scale.y);
        Rect r{position.x - hw, position.y + hh, position.x + hw, position.y - hh};
        r.drawOutline(frame, position.z);
        label = V3(r.left + 2.0f, r.top - 5.0f, position.z);
    }
    if (FontQuad* font = LevelServices::font(u"fontTiny")) {
        font->print(label, frame, 0x12, getClass()->nameRef());
    }
    const float handle = 40.0f;
    const V3 tip{position.x + std::cos(rotation.z) * handle, position.y + std::sin(rotation.z) * handle, position.z};
    Rect::drawLine(position, tip, frame, UColor(0xffffffffu));
    if (getEditorRadius() > 0.0f) {
        drawEditorCircle(position.x, position.y, position.z, getEditorRadius(), UColor(0xff00ff80u));
    }
}

KivBase* EditorObject::getHomeList() const
{
    return homeList != nullptr ? homeList : LevelAccess::list(homeListId);
}

void drawEditorCircle(float x, float y, float z, float radius, UColor colour)
{
    ResourceManager* resources = ResourceManager::instance();
    Skin* circle = resources != nullptr ? dynamic_cast<Skin*>(resources->find(u"editor_circle:0", false)) : nullptr;
    if (circle == nullptr || circle->width <= 0.0f) {
        return;
    }
    Renderable mark;
    mark.setSkin(circle, false);
    mark.color = colour;
    mark.bSkipVisibility = true;
    const float s = 2.0f * radius / circle->width;
    mark.setScale(V3{s, s, 1.0f});
    mark.setPosition(V3{x, y, z});
    mark.render();
}

RPC_EditorObject_construct::RPC_EditorObject_construct(KivBase* target) : RPC(target)
{
    bRunsOnServer = 1;
    bRunsOnClients = 1;
}

const RuntimeClass* RPC_EditorObject_construct::getTargetClass() const { return &EditorObject::classRecord; }

void RPC_EditorObject_construct::invoke()
{
    if (target != nullptr) {
        static_cast<EditorObject*>(target)->local_construct();
    }
}
