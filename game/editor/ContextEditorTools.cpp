#include "game/editor/ContextEditorTools.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "engine/files/ResourceManager.h"
#include "engine/input/KivInput.h"
#include "engine/kiv/Kiv.h"
#include "engine/render/Camera.h"
#include "engine/render/PointerDispatcher.h"
#include "engine/render/Skin.h"
#include "engine/text/FontQuad.h"
#include "game/editor/ContextEditor.h"
#include "game/editor/EditorToolIcon.h"
#include "game/front/Global.h"
#include "game/level/TouchButton.h"

namespace {
constexpr float MARGIN = 20.0f;

ResourceManager& resources()
{
    ResourceManager* manager = ResourceManager::instance();
    KIV_ASSERT(manager != NULL);
    return *manager;
}
} // namespace

ContextEditorTools::ContextEditorTools() { clearColor = UColor(0xff400040u); }

ContextEditorTools::~ContextEditorTools() = default;

void ContextEditorTools::setTool(KivBase* newTarget, void* slot, const RuntimeClass* cls)
{
    filter.clear();
    target = newTarget;
    valueSlot = slot;
    if (cls != resourceClass) {
        resourceClass = cls;
        buildIcons();
        camera->eye.x = camera->eye.y = 0.0f;
        camera->lookAt.x = camera->lookAt.y = 0.0f;
    }
    camera->eye.z = static_cast<float>(-(HudTouch::screenWidth() / 2));
}

void ContextEditorTools::buildIcons()
{
    destroyAllChildren();
    if (resourceClass == nullptr) {
        return;
    }
    std::vector<EditorToolIcon*> icons;
    Skin* generic = nullptr;
    for (const auto& [name, resource] : resources().resources()) {
        if (resource == nullptr || !resource->isDerivedFrom(resourceClass)) {
            continue;
        }
        Skin* skin = dynamic_cast<Skin*>(resource);
        if (skin == nullptr) {
            if (generic == nullptr) {
                generic = resources().find<Skin>(u"editor_icons:0");
            }
            skin = generic;
        }
        icons.push_back(new EditorToolIcon(name, skin));
    }
    // By name; equal names keep the resource manager's order.
    std::stable_sort(icons.begin(), icons.end(),
                     [](const EditorToolIcon* a, const EditorToolIcon* b) { return a->name < b->name; });

    const float w = static_cast<float>(HudTouch::screenWidth() / 2);
    const float h = static_cast<float>(HudTouch::screenHeight() / 2);
    V3 cursor(-w + MARGIN, h - MARGIN, 0.0f);
    float rowHeight = 0.0f;
    for (EditorToolIcon* icon : icons) {
        appendChild(icon);
        Renderable& quad = icon->quad;
        quad.setPosition(cursor);
        quad.updateVisuals();
        const Skin* skin = quad.pSkin;
        const float sw = skin != nullptr ? skin->width : 0.0f;
        const float sh = skin != nullptr ? skin->height : 0.0f;
        const float m = std::max(sw / 20.0f, sh / 20.0f);
        float s = m > 0.0f && 1.0f / m <= 0.25f ? (1.0f / m) * 4.0f : 1.0f;
        s *= 0.5f;
        rowHeight = std::max(rowHeight, s * sh);
        quad.setScale(V3(s, s, 1.0f));
        const V3 origin = skin != nullptr ? skin->origin : V3();
        quad.setPosition(cursor + origin * s + V3(s * sw * 0.5f, -(sh * 0.5f * s), 0.0f));
        quad.updateVisuals();
        cursor.x += sw * s;
        if (cursor.x > w - MARGIN) {
            cursor.x = -w + MARGIN;
            cursor.y -= rowHeight;
            rowHeight = 0.0f;
        }
    }
}

KivBase* ContextEditorTools::currentValue() const
{
    KivBase* value = nullptr;
    if (valueSlot != nullptr) {
        std::memcpy(&value, valueSlot, sizeof value);
    }
    return value;
}

void ContextEditorTools::tickContents(double time, double dt)
{
    Context::tickContents(time, dt);
    KivInput* in = Kiv::currentInput();
    if (in == nullptr) {
        return;
    }

    // Wheel zoom towards the pointer and middle-button pan, as on the editor layer.
    const float wheel = in->pointerMotion.z;
    if (wheel != 0.0f) {
        const float f = wheel < 0.0f ? 0.5f : 2.0f;
        const V3 c = camera->eye;
        camera->eye = V3(pointer.x - (pointer.x - c.x) * f, pointer.y - (pointer.y - c.y) * f,
                         std::clamp(c.z * f, ContextEditor::ZOOM_FAR, ContextEditor::ZOOM_NEAR));
        camera->lookAt.x = camera->eye.x;
        camera->lookAt.y = camera->eye.y;
    }
    if (in->mouseButtons[2] != 0) {
        const V3 c = camera->eye;
        const float s = (0.0f - c.z) / (static_cast<float>(HudTouch::screenWidth()) * 0.5f);
        const V3 m = in->pointerMotion;
        camera->eye = V3(c.x - s * m.x, c.y - s * m.y, c.z - s * m.z);
        camera->lookAt.x = camera->eye.x;
        camera->lookAt.y = camera->eye.y;
    }

    // Any press closes the palette; a press on an icon first writes its resource into the property.
    if (in->isTouchDown(0)) {
        for (KivBase* child = getFirstChild(); child != nullptr; child = child->getNext()) {
            auto* icon = dynamic_cast<EditorToolIcon*>(child);
            if (icon == nullptr || !icon->bUnderPointer || valueSlot == nullptr) {
                continue;
            }
            KivBase* chosen = resources().find(icon->name, true);
            std::memcpy(valueSlot, &chosen, sizeof chosen);
            KivEvent event;
            event.type = ContextEditor::EVENT_FIELD_CHANGED;
            event.source = target;
            event.target = target;
            event.dispatcher = Kiv::instance() != nullptr ? Kiv::instance()->pointerDispatcher : nullptr;
            if (target != nullptr) {
                KivBase::sendEvent(event);
                // The object rebuilds what depends on its skin, as after an edit in the panel.
                KivEvent edited = event;
                edited.type = ContextEditor::EVENT_EDITED;
                KivBase::sendEvent(edited);
            }
        }
        bClosed = true;
    }

    if (const char16_t typed = in->typedChar; typed != 0) {
        if (typed == 8) {
            filter.clear();
        } else {
            filter.push_back(typed);
        }
    }
    for (KivBase* child = getFirstChild(); child != nullptr; child = child->getNext()) {
        if (auto* icon = dynamic_cast<EditorToolIcon*>(child)) {
            icon->quad.bHidden = !filter.empty() && icon->name.find(filter) != 0;
        }
    }
}

void ContextEditorTools::renderContents()
{
    Context::renderContents();
    const Kiv* kiv = Kiv::instance();
    const KivBase* chosen = currentValue();
    if (chosen != nullptr && kiv != nullptr && (kiv->frameCounter / 8) % 2 == 0) {
        Skin* circle = nullptr;
        for (KivBase* child = getFirstChild(); child != nullptr; child = child->getNext()) {
            auto* icon = dynamic_cast<EditorToolIcon*>(child);
            if (icon == nullptr || icon->quad.pSkin != chosen) {
                continue;
            }
            if (circle == nullptr) {
                circle = resources().find<Skin>(u"editor_circle:0");
            }
            Renderable mark;
            mark.setSkin(circle, false);
            mark.setPosition(icon->quad.position);
            mark.render();
        }
    }
    const Global* global = Global::instance();
    FontQuad* font = global != nullptr ? global->fontSmall : nullptr;
    if (font == nullptr) {
        return;
    }
    for (KivBase* child = getFirstChild(); child != nullptr; child = child->getNext()) {
        auto* icon = dynamic_cast<EditorToolIcon*>(child);
        if (icon != nullptr && icon->bUnderPointer) {
            font->print(V3(pointer.x + 10.0f, pointer.y - 10.0f, pointer.z), UColor(0xffffffffu), 3, icon->name);
        }
    }
}
