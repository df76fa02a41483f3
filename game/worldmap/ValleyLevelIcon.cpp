#include "game/worldmap/ValleyLevelIcon.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "engine/files/ResourceManager.h"
#include "engine/render/Skin.h"
#include "engine/render/Camera.h"
#include "engine/render/Context.h"
#include "engine/render/KivGraphics.h"
#include "engine/render/ParticleEmitter.h"
#include "engine/render/Quad.h"
#include "engine/render/Texture.h"
#include "engine/text/FontQuad.h"
#include "engine/text/TextAlign.h"
#include "game/front/Global.h"
#include "game/userdata/ProfileData.h"

namespace {
Skin* sprite(const char16_t* name) { return ResourceManager::instance()->find<Skin>(name); }

// The title stands centred on the icon, its foot this far above the icon's centre.
constexpr float TITLE_RISE = 10.0f;
constexpr std::uint32_t TITLE_ALIGN = TextAlign::CENTER | TextAlign::BOTTOM;
// Room kept between a title slid in from an edge and the edge, for the letters' outline.
constexpr float TITLE_EDGE = 4.0f;
} // namespace

ValleyLevelIcon::ValleyLevelIcon(int level, float L, const V3& P) : levelNumber(level)
{
    dotTexture = ResourceManager::instance()->find<Texture>(u"valleyDot");
    bHasInvXform = true;
    bHidden = true;
    pSkin = sprite(u"valleyIcons:0");
    ring.pSkin = sprite(u"valleyIcons:1");
    badge.pSkin = sprite(u"valleyIcons:4");
    placeOn(L, P);
}

void ValleyLevelIcon::placeOn(float L, const V3& P)
{
    arcLength = L;
    position = V3(std::trunc(P.x), std::trunc(P.y), P.z);
    updateVisuals();
}

const LevelStats& ValleyLevelIcon::record() const
{
    return Global::instance()->profiles.getCurrentProfile().levelStats[levelNumber];
}

bool ValleyLevelIcon::isSelected() const
{
    return Global::instance()->profiles.getCurrentProfile().currentLevel == levelNumber;
}

int ValleyLevelIcon::dotFrameFor(int totalPoints, int frames)
{
    const float part = std::clamp(static_cast<float>(totalPoints) / 1000.0f, 0.0f, 1.0f);
    return static_cast<int>(static_cast<float>(frames - 1) * part);
}

void ValleyLevelIcon::tick(double time, double dt)
{
    const LevelStats& rec = record();
    if (rec.completed != 0) {
        const int frames = static_cast<int>(dotTexture->skins.size());
        if (frames > 0) {
            pSkin = dotTexture->skins[static_cast<std::size_t>(dotFrameFor(rec.totalPoints, frames))];
        }
        bHidden = false;
        updateVisuals();
    } else if (rec.available != 0) {
        pSkin = sprite(u"valleyIcons:0");
        bHidden = false;
        updateVisuals();
    }
    if (isSelected() && Global::instance()->config.detail >= 1) {
        sparkleTimer += dt;
        if (sparkleTimer >= sparkleInterval) {
            sparkleTimer = 0.0;
            appendChild(new ParticleEmitter(5, position, 15.0f, 40.0f, 0.0f, 2.0f * std::numbers::pi_v<float>,
                                            UColor(0xFFFFCCCCu), 2.0));
        }
    }
    KivBase::tick(time, dt);
}

void ValleyLevelIcon::render()
{
    for (int layer = 0; layer < LAYERS; ++layer) {
        renderLayer(layer, {});
    }
}

void ValleyLevelIcon::renderLayer(int layer, const std::vector<Camera::Rect>& titleKeepClear)
{
    const LevelStats& rec = record();
    switch (layer) {
    case 0: // the sparkles
        KivBase::render();
        break;
    case 1: // the selection ring, under the icon
        if (isSelected()) {
            ring.setPosition(position);
            ring.render();
        }
        break;
    case 2:
        if (!bHidden && pSkin != nullptr) {
            bVisible = isInView();
            if (bVisible) {
                pSkin->draw(*this);
            }
        }
        break;
    case 3: // the badge of a level at full points, over the icon
        if (rec.fullMarks[LevelStats::FULL_PERFECT] != 0) {
            badge.setPosition(position);
            badge.render();
        }
        break;
    default: {
        FontQuad* font = textFont();
        if (font == nullptr) {
            break;
        }
        if (layer == 4 && rec.completed != 0) {
            font->print(V3(position.x, position.y - 10.0f, position.z), UColor(0xFFFFFFFFu), 5,
                        formatPercentTenths(rec.totalPoints));
        }
        if (layer == 5 && showsTitle()) {
            std::optional<float> slide = 0.0f;
            if (const Context* context = Context::getCurrent(); context != nullptr && context->camera != nullptr) {
                Camera::Rect visible;
                context->camera->getVisibleRect(visible, position.z);
                slide = titleSlide(titleRect(), visible, titleKeepClear);
            }
            if (slide.has_value()) {
                font->print(V3(position.x + titleShift.x + *slide, position.y + TITLE_RISE + titleShift.y, position.z),
                            UColor(0xFF80FF00u), TITLE_ALIGN, ProfileData::levelNumberToTitle(levelNumber));
            }
        }
        break;
    }
    }
}

FontQuad* ValleyLevelIcon::textFont() const
{
    // Every title and percentage is outlined: the plain font's light green vanishes on the summer and autumn
    // grass.
    return Global::instance()->fontSmallOutline;
}

bool ValleyLevelIcon::showsTitle() const { return record().available != 0; }

Camera::Rect ValleyLevelIcon::titleRect() const
{
    // Centred over the icon, its foot TITLE_RISE above the icon's centre, then moved by the map's layout.
    const FontQuad* font = textFont();
    Camera::Rect rect;
    rect.left = rect.right = position.x + titleShift.x;
    rect.bottom = rect.top = position.y + TITLE_RISE + titleShift.y;
    if (font != nullptr) {
        const float half = static_cast<float>(font->measureLine(ProfileData::levelNumberToTitle(levelNumber))) *
                           font->getScaleX() / 2.0f;
        rect.left -= half;
        rect.right += half;
        rect.top += static_cast<float>(font->getScaledLineHeight());
    }
    return rect;
}

std::optional<float> ValleyLevelIcon::titleSlide(const Camera::Rect& rect, const Camera::Rect& visible,
                                                 const std::vector<Camera::Rect>& keepClear) const
{
    // The room: the screen less a margin for the letters' outline, and beside whatever stands at the
    // title's height (an arrow), with the same margin.
    const float roomLeft = visible.left + TITLE_EDGE, roomRight = visible.right - TITLE_EDGE;
    constexpr float SLACK = 0.01f; // for the rounding of the sums below
    auto besideRow = [&](const Camera::Rect& other) { return other.bottom < rect.top && rect.bottom < other.top; };
    // Over its icon: above some of the icon's width.
    const float reach = pSkin != nullptr ? pSkin->width / 2.0f : 0.0f;
    std::optional<float> best;
    auto consider = [&](float slide) {
        const float left = rect.left + slide, right = rect.right + slide;
        const bool overIcon = left <= position.x + reach + SLACK && position.x - reach <= right + SLACK;
        const bool inside = left >= roomLeft - SLACK && right <= roomRight + SLACK;
        const bool clear = std::none_of(keepClear.begin(), keepClear.end(), [&](const Camera::Rect& other) {
            return besideRow(other) && other.left < right - SLACK && left + SLACK < other.right;
        });
        if (overIcon && inside && clear && (!best.has_value() || std::abs(slide) < std::abs(*best))) {
            best = slide;
        }
    };
    // The least slide is one that stays put or brings an edge of the title against the room's edge.
    consider(0.0f);
    consider(roomLeft - rect.left);
    consider(roomRight - rect.right);
    for (const Camera::Rect& other : keepClear) {
        if (besideRow(other)) {
            consider(other.right + TITLE_EDGE - rect.left);
            consider(other.left - TITLE_EDGE - rect.right);
        }
    }
    return best;
}

V3 ValleyLevelIcon::getNavigationPoint(int index)
{
    // A locked level is not on the map yet, so navigation passes it by.
    if (index != 0 || bHidden) {
        return NONE;
    }
    const Context* context = nullptr;
    for (KivBase* node = getParent(); node != nullptr && context == nullptr; node = node->getParent()) {
        context = dynamic_cast<const Context*>(node);
    }
    const KivGraphics* graphics = KivGraphics::instance();
    const float w = graphics != nullptr ? static_cast<float>(graphics->width) : 800.0f;
    if (context == nullptr || context->camera == nullptr) {
        return position;
    }
    const Camera& camera = *context->camera;
    Camera::Rect rect;
    camera.getVisibleRect(rect, camera.lookAt.z);
    const float s = (position.z - camera.eye.z) / (w * 0.5f);
    return V3((position.x - rect.left) / s, (position.y - rect.bottom) / s, position.z);
}
