#include "game/editor/ContextEditor.h"

#include <algorithm>
#include <cmath>

#include "engine/text/Console.h"
#include "engine/core/PropertyBool.h"
#include "engine/core/PropertyClass.h"
#include "engine/core/PropertyContainer.h"
#include "engine/core/PropertyFloat.h"
#include "engine/core/PropertyRPCBase.h"
#include "engine/core/PropertyUString.h"
#include "engine/core/RuntimeClassManager.h"
#include "engine/core/TimeKeeper.h"
#include "engine/input/KivInput.h"
#include "engine/kiv/Kiv.h"
#include "engine/net/KivNetwork.h"
#include "engine/net/NetRole.h"
#include "engine/net/Packet.h"
#include "engine/render/BlenderCamera.h"
#include "engine/render/ContextBlender.h"
#include "engine/render/PointerDispatcher.h"
#include "engine/render/Rect.h"
#include "game/editor/ContextEditorTools.h"
#include "game/editor/EditorSession.h"
#include "game/editor/PropertyFieldValue.h"
#include "game/front/ContextManager.h"
#include "game/level/ContextHUD.h"
#include "game/level/GameController.h"
#include "game/level/MyRootObject.h"
#include "game/level/TouchButton.h"
#include "game/menus/GUIitem.h"
#include "game/menus/GUItextBox.h"
#include "game/world/EditorObject.h"
#include "game/world/EditorProxy.h"
#include "game/world/LevelDataCheck.h"

const RuntimeClass ContextEditor::classRecord(RuntimeClass::hashName(u"ContextEditor"), &Context::classRecord,
                                              &RuntimeClass::factoryOf<ContextEditor>);
const RuntimeClass RPC_ContextEditor_listClasses::classRecord(
    RuntimeClass::hashName(u"RPC_ContextEditor_listClasses"), &RPC::classRecord,
    &RuntimeClass::factoryOf<RPC_ContextEditor_listClasses>);

namespace {
// The panel opens in the top-right corner below what stands there while editing: the HUD's top row (the
// clock) and under it the frame-rate readout, one line of the small font.
constexpr float PANEL_DROP = ContextHUD::TOP_ROW + 24.0f;
constexpr int KEY_F1 = 0x3B;
constexpr int KEY_F2 = 0x3C;
constexpr int KEY_F3 = 0x3D;
constexpr int KEY_LSHIFT = 0x2A;
// How near (in game units) a press must be to an object's position to pick an object without a sprite.
constexpr float PICK_DISTANCE = 16.0f;

double physicalSeconds()
{
    const Kiv* kiv = Kiv::instance();
    return kiv != nullptr && kiv->timeKeeper != nullptr ? kiv->timeKeeper->getPhysicalTime() : 0.0;
}

void consolePrint(const UString& line)
{
    Kiv* kiv = Kiv::instance();
    if (kiv != nullptr && kiv->console != nullptr) {
        kiv->console->addLine(line);
    }
}

void destroyChildren(KivBase* holder)
{
    while (KivBase* child = holder->getLastChild()) {
        child->destroy();
    }
}

// The value field below `from` whose text box is open (not in a row that is leaving the panel); null when
// none is.
PropertyFieldValue* typingField(KivBase* from)
{
    for (KivBase* child = from->getFirstChild(); child != nullptr; child = child->getNext()) {
        if (child->bDeleted) {
            continue;
        }
        if (auto* field = dynamic_cast<PropertyFieldValue*>(child); field != nullptr && field->bTextEntry) {
            return field;
        }
        if (PropertyFieldValue* below = typingField(child)) {
            return below;
        }
    }
    return nullptr;
}

bool isBelow(const KivBase* object, const KivBase* ancestor)
{
    for (const KivBase* o = object; o != nullptr; o = o->getParent()) {
        if (o == ancestor) {
            return true;
        }
    }
    return false;
}
} // namespace

ContextEditor::ContextEditor()
    : propertyHolder(new KivBase()), panelHolder(new KivBase()),
      panelHome(static_cast<float>(HudTouch::screenWidth() / 2 - 100),
                static_cast<float>(HudTouch::screenHeight() / 2 - 10) - PANEL_DROP, 0.0f),
      editorCamera(0.0f, 0.0f, static_cast<float>(-(HudTouch::screenWidth() / 2)))
{
    appendChild(propertyHolder);
    appendChild(panelHolder);
    tools = new ContextEditorTools();
}

ContextEditor::~ContextEditor()
{
    // The palette may still be linked into the screen stack; the stack does not own it, and must not keep
    // it as its active screen either.
    if (tools != nullptr) {
        if (auto* stack = dynamic_cast<ContextManager*>(tools->getParent())) {
            if (stack->activeScreen == tools) {
                stack->activeScreen = nullptr;
            }
            if (stack->topScreen == tools) {
                stack->topScreen = nullptr;
            }
        }
        tools->unlink();
        delete tools;
        tools = nullptr;
    }
}

void ContextEditor::addPropertiesTo(Property& list)
{
    Context::addPropertiesTo(list);
    list.appendChild(new PropertyBool(u"bShowHulls", 0, &bShowHulls));
    list.appendChild(new PropertyBool(u"bShowBezierPaths", 0, &bShowBezierPaths));
    list.appendChild(new PropertyBool(u"bShowTriggerAreas", 0, &bShowTriggerAreas));
    auto* camera = new PropertyContainer(u"editorCamera", 0);
    camera->appendChild(new PropertyFloat(u"x", 0, &editorCamera.x));
    camera->appendChild(new PropertyFloat(u"y", 0, &editorCamera.y));
    camera->appendChild(new PropertyFloat(u"z", 0, &editorCamera.z));
    list.appendChild(camera);
    list.appendChild(new PropertyUString(u"levelName", 0, &levelName));
    list.appendChild(new PropertyRPCBase(u"showClassConstructors", 0, new RPC_ContextEditor_listClasses(this)));
}

bool ContextEditor::isEditingActive() const
{
    const GameController* gc = GameController::getCurrent();
    return THEROLE != nullptr && gc != nullptr && gc->editor != nullptr && THEROLE->bEditing;
}

void ContextEditor::checkValues(const LevelDataCheck::Run& run)
{
    LevelDataCheck check(*this, run);
    check.coordinate(u"editorCamera.x", editorCamera.x);
    check.coordinate(u"editorCamera.y", editorCamera.y);
    check.within(u"editorCamera.z", editorCamera.z, ZOOM_FAR, ZOOM_NEAR,
                 static_cast<float>(-(HudTouch::screenWidth() / 2)));
    // Longer, it could not be written to the level file.
    check.text(u"levelName", levelName, Packet::BUFFERSIZE - 1);
}

void ContextEditor::netPostReplicate()
{
    checkLoadedValues();
    const bool editing = isEditingActive();
    if (editing) {
        setEditorCamera(editorCamera.x, editorCamera.y, editorCamera.z);
        if (bHideEditorOverlay) {
            bShowHulls = bShowBezierPaths = bShowTriggerAreas = false;
        }
    }
    const Kiv* kiv = Kiv::instance();
    if (kiv != nullptr && kiv->bRelease && !editing) {
        bShowHulls = bShowBezierPaths = bShowTriggerAreas = false;
    }
}

GameController* ContextEditor::controller() const
{
    if (auto* gc = dynamic_cast<GameController*>(getParent())) {
        return gc;
    }
    return GameController::getCurrent();
}

void ContextEditor::setEditorCamera(float x, float y, float z)
{
    // Where the level file can keep it.
    const float reach = LevelDataCheck::MAX_COORDINATE;
    editorCamera = V3(std::clamp(x, -reach, reach), std::clamp(y, -reach, reach), std::clamp(z, ZOOM_FAR, ZOOM_NEAR));
    x = editorCamera.x;
    y = editorCamera.y;
    z = editorCamera.z;
    GameController* gc = controller();
    if (BlenderCamera* cam = gc != nullptr ? gc->getGameCamera() : nullptr) {
        cam->snapTo(x, y, z);
    }
}

// ---------------------------------------------------------------------------------------------------------
// The panel

void ContextEditor::requestEdit(KivBase* object)
{
    pendingEdit.set(object);
    bEditPending = true;
}

void ContextEditor::editObject(KivBase* object)
{
    if (object != nullptr && object == edited.get()) {
        return;
    }
    // Nothing typed goes with the panel: it is taken, or its field says why not and the panel changes all
    // the same.
    UString refused;
    takeTypedText(refused);
    bListingClasses = false;
    // A request still waiting is overtaken by this choice.
    bEditPending = false;
    pendingEdit.set(nullptr);
    destroyChildren(propertyHolder);
    destroyChildren(panelHolder);
    edited.set(object);
    if (object == nullptr) {
        return;
    }

    const double t0 = physicalSeconds();
    PropertyContainer* tree = object->getProperties();
    const double t1 = physicalSeconds();
    tree->removeFlaggedProperties(Property::FLAG_CONSTRUCTOR | Property::FLAG_HIDDEN);
    propertyHolder->appendChild(tree);
    const double t2 = physicalSeconds();
    if (GUIitem* field = makeGUI(tree)) {
        panelHolder->appendChild(field);
    }
    const double t3 = physicalSeconds();
    panelPos = panelHome;
    placePanel();
    const double t4 = physicalSeconds();
    EditorSession::refitLine();

    consolePrint(formatString(u"getProperties(): %.1lf ms", (t1 - t0) * 1000.0));
    consolePrint(formatString(u"removeFlaggedProperties(): %.1lf ms", (t2 - t1) * 1000.0));
    consolePrint(formatString(u"makeGUI(): %.1lf ms", (t3 - t2) * 1000.0));
    consolePrint(formatString(u"refresheditedprops(): %.1lf ms", (t4 - t3) * 1000.0));
    consolePrint(formatString(u"Now editing %08lx (%s)", static_cast<unsigned long>(reinterpret_cast<uintptr_t>(object)),
                              object->getClass()->nameRef()));
}

void ContextEditor::listClasses()
{
    editObject(nullptr);
    bListingClasses = true;
    auto* classes = new PropertyContainer(u"CLASSES", 0);
    propertyHolder->appendChild(classes);
    for (const RuntimeClass* record : RuntimeClassManager::getInstance()->getClasses()) {
        if (!record->isDerivedFrom(&EditorObject::classRecord)) {
            continue;
        }
        consolePrint(formatString(u"%d: %s", record->getIndex(), record->nameRef()));
        auto* entry = new PropertyClass(0, record, record->nameRef());
        KivBase* before = nullptr;
        for (KivBase* child = classes->getFirstChild(); child != nullptr; child = child->getNext()) {
            if (static_cast<Property*>(child)->name > entry->name) {
                before = child;
                break;
            }
        }
        if (before != nullptr) {
            classes->insertChildAfter(entry, before->getPrev());
        } else {
            classes->appendChild(entry);
        }
    }
    if (GUIitem* field = makeGUI(classes)) {
        panelHolder->appendChild(field);
        placePanel();
    }
    EditorSession::refitLine();
}

bool ContextEditor::takeTypedText(UString& why)
{
    if (edited.get() == nullptr && !bListingClasses) {
        return true;
    }
    PropertyFieldValue* field = typingField(panelHolder);
    if (field == nullptr) {
        return true;
    }
    field->commitEdit();
    if (!field->bRefused) {
        return true;
    }
    why = field->refusal();
    return false;
}

bool ContextEditor::isTextEntryOpen() const { return typingField(panelHolder) != nullptr; }

bool ContextEditor::holdsTypedText() const
{
    const PropertyFieldValue* field = typingField(panelHolder);
    return field != nullptr && !field->textBox->text.empty() && field->textBox->text != field->property->toString();
}

bool ContextEditor::standsAside() const
{
    const GameController* gc = controller();
    if (gc == nullptr || !EditorSession::isAllowed()) {
        return false;
    }
    const auto* root = dynamic_cast<const MyRootObject*>(gc->getParent());
    return (root != nullptr && root->contextOverlay != nullptr) ||
           (!isEditingActive() && gc->state >= GameController::STATE_LEVELEND);
}

void ContextEditor::placePanel()
{
    if (KivBase* root = panelHolder->getFirstChild()) {
        placeField(root, panelPos, PANEL_WIDTH);
    }
}

bool ContextEditor::panelSpan(float& left, float& right) const
{
    if (panelHolder->getFirstChild() == nullptr) {
        return false;
    }
    // Rows below the top one are indented within its width.
    left = panelPos.x - PANEL_WIDTH / 2.0f;
    right = panelPos.x + PANEL_WIDTH / 2.0f;
    return true;
}

// ---------------------------------------------------------------------------------------------------------
// Per frame

void ContextEditor::tickContents(double tickTime, double dt)
{
    Context::tickContents(tickTime, dt);
    if (bEditPending) {
        KivBase* object = pendingEdit.get();
        bEditPending = false;
        pendingEdit.set(nullptr);
        editObject(object);
    }
    if (!isEditingActive()) {
        return;
    }
    GameController* gc = controller();
    ContextBlender* game = gc->contextGame;
    BlenderCamera* cam = gc->getGameCamera();
    KivInput* in = Kiv::currentInput();
    if (in == nullptr || game == nullptr || cam == nullptr) {
        return;
    }

    // Wheel zoom towards (or away from) the pointer.
    const float wheel = in->pointerMotion.z;
    if (wheel != 0.0f) {
        const V3 p = game->pointer;
        const V3 c = cam->eye;
        const float f = wheel < 0.0f ? 0.5f : 2.0f;
        const float z = std::clamp(c.z * f, ZOOM_FAR, ZOOM_NEAR);
        setEditorCamera(p.x - (p.x - c.x) * f, p.y - (p.y - c.y) * f, z);
    }
    // Middle-button pan: the level follows the pointer.
    if (in->mouseButtons[2] != 0) {
        const V3 c = cam->eye;
        const float s = (0.0f - c.z) / (static_cast<float>(HudTouch::screenWidth()) * 0.5f);
        const V3 m = in->pointerMotion;
        setEditorCamera(c.x - s * m.x, c.y - s * m.y, c.z - s * m.z);
    }

    // The middle button pans; only a plain press picks.
    const bool panning = in->mouseButtons[1] != 0 || in->mouseButtons[2] != 0;
    pickAndDrag(game->pointer, in->isTouchDown(0) && !panning, in->getTouchFlag(0) && !panning);

    if (in->wasKeyPressed(KEY_F1)) {
        panelPos = panelHome;
        listClasses();
    } else if (in->wasKeyPressed(KEY_F2)) {
        editObject(gc);
    } else if (in->wasKeyPressed(KEY_F3)) {
        editObject(this);
    }
}

KivBase* ContextEditor::findObjectUnderPointer(const V3& /*point*/)
{
    // The panel is drawn in this layer's units, the level in the game layer's.
    if (KivBase* field = panelHolder->findObjectUnderPointer(pointer)) {
        return field;
    }
    GameController* gc = controller();
    if (!isEditingActive() || gc->contextGame == nullptr) {
        return nullptr;
    }
    return findLevelObjectAt(gc->contextGame->pointer);
}

EditorObject* ContextEditor::findLevelObjectAt(const V3& gamePoint) const
{
    GameController* gc = controller();
    KivBase* proxies = gc != nullptr ? gc->proxyList : nullptr;
    if (proxies == nullptr) {
        return nullptr;
    }
    EditorObject* nearest = nullptr;
    float nearestDistance = PICK_DISTANCE;
    for (KivBase* child = proxies->getLastChild(); child != nullptr; child = child->getPrev()) {
        auto* proxy = dynamic_cast<EditorProxy*>(child);
        EditorObject* object = proxy != nullptr && !proxy->bDeleted ? proxy->getObject() : nullptr;
        if (object == nullptr || object->bDeleted || object->bHidden) {
            continue;
        }
        if (object->isPointInside(gamePoint)) {
            return object;
        }
        const float dx = object->position.x - gamePoint.x;
        const float dy = object->position.y - gamePoint.y;
        const float d = std::sqrt(dx * dx + dy * dy);
        if (d <= nearestDistance) {
            nearest = object;
            nearestDistance = d;
        }
    }
    return nearest;
}

void ContextEditor::pickAndDrag(const V3& gamePointer, bool pressed, bool held)
{
    if (pressed && panelHolder->findObjectUnderPointer(pointer) == nullptr) {
        if (EditorObject* object = findLevelObjectAt(gamePointer)) {
            editObject(object);
            dragged.set(object);
            dragOffset = V3(object->position.x - gamePointer.x, object->position.y - gamePointer.y, 0.0f);
        }
    }
    if (!held) {
        dragged.set(nullptr);
        return;
    }
    if (auto* object = static_cast<EditorObject*>(dragged.get())) {
        const V3 to(gamePointer.x + dragOffset.x, gamePointer.y + dragOffset.y, object->position.z);
        if (!(to == object->position)) {
            object->editorSetPosition(to);
        }
    }
}

void ContextEditor::renderContents()
{
    const bool aside = standsAside();
    if (!aside) {
        Context::renderContents();
    }
    GameController* gc = controller();
    ContextBlender* game = gc != nullptr ? gc->contextGame : nullptr;

    if (auto* object = dynamic_cast<Renderable*>(edited.get()); object != nullptr && !aside) {
        // The object's own layer: the nearest context above it.
        const Context* home = nullptr;
        for (KivBase* o = object->getParent(); o != nullptr && home == nullptr; o = o->getParent()) {
            home = dynamic_cast<Context*>(o);
        }
        const V3 at = home != nullptr ? transformFromContext(object->position, *home) : object->position;
        Rect::drawLine(V3(panelPos.x - 75.0f, panelPos.y, panelPos.z), at, UColor(0xff408080u), UColor(0xff80ffffu));
    }

    if (game == nullptr || game->camera == nullptr) {
        return;
    }
    game->camera->render();
    if (!isEditingActive() || bHideEditorOverlay) {
        return;
    }
    const float w = static_cast<float>(HudTouch::screenWidth());
    const float h = static_cast<float>(HudTouch::screenHeight());
    const UColor grid(0x20ffffffu);
    for (int i = 0; i <= 8; i += 2) {
        Rect band{-5.0f * w, static_cast<float>(i + 1) * h, 5.0f * w, static_cast<float>(i) * h};
        band.drawOutline(grid);
    }
    for (int i = -5; i <= 3; i += 2) {
        Rect band{static_cast<float>(i) * w, 10.0f * h, static_cast<float>(i + 1) * w, 0.0f};
        band.drawOutline(grid);
    }
    const KivInput* in = Kiv::currentInput();
    if (in != nullptr && in->isDown(KEY_LSHIFT)) {
        drawEditorCircle(game->pointer.x, game->pointer.y, game->pointer.z, 150.0f, UColor(0xff0080ffu));
    }
}

// ---------------------------------------------------------------------------------------------------------
// Events

bool ContextEditor::onEvent(KivEvent& event)
{
    if (event.type == EVENT_EDITED) {
        checkLoadedValues();
    } else if (event.type == KivEvent::REFERENCE_CLEARED) {
        if (event.reference == &edited) {
            editObject(nullptr);
        } else if (event.reference == &pendingEdit) {
            // The object asked for went away before the request ran.
            bEditPending = false;
        }
    }
    return Context::onEvent(event);
}

bool ContextEditor::onEventBubble(KivEvent& event)
{
    if (event.type == PointerDispatcher::EVENT_DRAG) {
        panelPos = panelPos + pointerMotion;
        placePanel();
    } else if (event.type == EVENT_FIELD_CHANGED && event.source != nullptr &&
               (isBelow(event.source, panelHolder) || isBelow(event.source, propertyHolder))) {
        // A change after the edited object went away reaches nobody.
        if (KivBase* object = edited.get(); object != nullptr) {
            PointerDispatcher* dispatcher = event.dispatcher;
            if (dispatcher == nullptr && Kiv::instance() != nullptr) {
                dispatcher = Kiv::instance()->pointerDispatcher;
            }
            if (dispatcher != nullptr) {
                dispatcher->sendEvent(EVENT_EDITED, this, object);
            }
        }
        placePanel();
    }
    return Context::onEventBubble(event);
}

// ---------------------------------------------------------------------------------------------------------

RPC_ContextEditor_listClasses::RPC_ContextEditor_listClasses(KivBase* target) : RPC(target)
{
    bRunsOnServer = 1;
    bRunsOnClients = 1;
}

void RPC_ContextEditor_listClasses::invoke()
{
    if (target != nullptr) {
        static_cast<ContextEditor*>(target)->listClasses();
    }
}
