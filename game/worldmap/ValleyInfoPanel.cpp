#include "game/worldmap/ValleyInfoPanel.h"

#include <algorithm>
#include <cmath>

#include "engine/core/Format.h"
#include "engine/files/ResourceManager.h"
#include "engine/render/Skin.h"
#include "engine/kiv/Kiv.h"
#include "engine/render/Camera.h"
#include "engine/render/Context.h"
#include "engine/render/KivGraphics.h"
#include "engine/render/Quad.h"
#include "engine/render/SlicedSkin.h"
#include "engine/text/FontQuad.h"
#include "engine/text/TextAlign.h"
#include "engine/text/TextSprite.h"
#include "game/front/Global.h"
#include "game/language/Language.h"
#include "game/userdata/ProfileData.h"
#include "game/worldmap/ValleyLevelIcon.h"

namespace {
constexpr std::uint32_t INK = 0x80000000u;   // black at half opacity
constexpr std::uint32_t FADED = 0x40000000u; // black at quarter opacity: the category is not in the level

UString textOf(int id)
{
    const Kiv* kiv = Kiv::instance();
    return kiv != nullptr && kiv->language != nullptr ? UString(kiv->language->getText(static_cast<std::uint32_t>(id)))
                                                      : UString();
}

struct Row {
    int label;
    UString value;
    std::uint32_t color;
    bool full;
    std::uint32_t tint;
    bool record;
};

UString countPair(int32_t got, int32_t available) { return formatString(u"%d/%d", got, available); }

constexpr float COLUMN_GAP = 8.0f;   // between the labels and the values, and before the badges
constexpr float SIDE_MARGIN = 18.0f; // from the bubble's sides to the rows
constexpr float MIN_WIDTH = 250.0f;
constexpr float TAIL_STRIP = 20.0f;  // the clear strip along the foot of the bubble's frame
constexpr float MOVE_COST = 10.0f;   // per unit that the bubble is moved from its usual place
constexpr float MUST_KEEP = 1.0e6f;  // for covering anything that must stay in sight, however little
constexpr float OFF_SCREEN = 1.0e8f;  // for any part off the screen: more than all that must stay in sight

float textWidth(const FontQuad& font, const UString& text)
{
    return static_cast<float>(font.measureLine(text)) * font.getScaleX();
}

// A badge is drawn at the display's pixel size.
float badgeWidth(const Skin& skin)
{
    const KivGraphics* graphics = KivGraphics::instance();
    return skin.width * (graphics != nullptr ? graphics->pixelFactor[0] : 1.0f);
}

float badgeHeight(const Skin& skin)
{
    const KivGraphics* graphics = KivGraphics::instance();
    return skin.height * (graphics != nullptr ? graphics->pixelFactor[1] : 1.0f);
}
} // namespace

ValleyInfoPanel::ValleyInfoPanel()
{
    bubble = new SlicedSkin(ResourceManager::instance()->find<Quad>(u"gui-game-speechBubble:2"));
    bubble->setBorders(35, 20, 35, 20);
    setSkin(bubble, true);
}

void ValleyInfoPanel::setLevel(ValleyLevelIcon* newIcon)
{
    icon = newIcon;
    const LevelStats& s = Global::instance()->profiles.getCurrentProfile().levelStats[icon->levelNumber];
    while (getLastChild() != nullptr) {
        getLastChild()->destroy();
    }

    using LS = LevelStats;
    auto faded = [](int32_t available) { return available > 0 ? INK : FADED; };
    const Row rows[ROWS] = {
        {STR_STATSSCORE, formatNumber(s.score), INK, s.fullMarks[LS::FULL_PERFECT] != 0, 0xFFFFFFFFu,
         s.newRecord[LS::RECORD_SCORE] != 0},
        {STR_STATSAPPLESREQUIRED, countPair(s.requiredApplesGot, s.requiredApples), faded(s.requiredApples),
         s.fullMarks[LS::FULL_REQUIRED_APPLES] != 0, 0xFFFF8000u, s.newRecord[LS::RECORD_REQUIRED_APPLES] != 0},
        {STR_STATSAPPLESBONUS, countPair(s.bonusApplesGot, s.bonusApples), faded(s.bonusApples),
         s.fullMarks[LS::FULL_BONUS_APPLES] != 0, 0xFFFF0000u, s.newRecord[LS::RECORD_BONUS_APPLES] != 0},
        {STR_STATSSWEETS, countPair(s.sweetsGot, s.sweets), faded(s.sweets), s.fullMarks[LS::FULL_SWEETS] != 0,
         0xFFFF00FFu, s.newRecord[LS::RECORD_SWEETS] != 0},
        {STR_STATSSECRETS, countPair(s.secretsFound, s.secrets), faded(s.secrets), s.fullMarks[LS::FULL_SECRETS] != 0,
         0xFF0080FFu, s.newRecord[LS::RECORD_SECRETS] != 0},
        {STR_STATSDEATHS, formatString(u"%d", s.livesLost), s.bonusLevel != 0 ? FADED : INK,
         s.fullMarks[LS::FULL_LIVES] != 0, 0xFF00FFFFu, s.newRecord[LS::RECORD_LIVES_LOST] != 0},
        {STR_STATSTIME, formatString(u"%s/%s", formatMinutesSeconds(s.time), formatMinutesSeconds(s.targetTime)), INK,
         s.fullMarks[LS::FULL_TIME] != 0, 0xFF00FF00u, s.newRecord[LS::RECORD_TIME] != 0},
    };

    // The columns from what they hold: the labels, the values right-aligned after the longest label, then
    // a column for each kind of badge that shows in any row, as wide as its icon.
    FontQuad* font = Global::instance()->fontSmall;
    const float hf = static_cast<float>(font->getScaledLineHeight());
    rowHeight = hf;
    Skin* fullSkin = ResourceManager::instance()->find<Skin>(u"valleyIcons:2");
    Skin* recordSkin = ResourceManager::instance()->find<Skin>(u"valleyIcons:3");
    float labelWidth = 0.0f, valueWidth = 0.0f;
    bool anyFull = false, anyRecord = false;
    UString labels[ROWS];
    for (int i = 0; i < ROWS; ++i) {
        labels[i] = textOf(rows[i].label);
        labelWidth = std::max(labelWidth, textWidth(*font, labels[i]));
        valueWidth = std::max(valueWidth, textWidth(*font, rows[i].value));
        anyFull = anyFull || rows[i].full;
        anyRecord = anyRecord || rows[i].record;
    }
    const float valueRight = labelWidth + COLUMN_GAP + valueWidth;
    const float fullWidth = anyFull ? badgeWidth(*fullSkin) : 0.0f;
    const float recordWidth = anyRecord ? badgeWidth(*recordSkin) : 0.0f;
    const float badgesLeft = valueRight + (anyFull || anyRecord ? COLUMN_GAP : 0.0f);
    const float blockWidth = badgesLeft + fullWidth + recordWidth;
    // The rows' extent before they move into the bubble; a badge may stand above and below its row.
    block = {0.0f, -99999.0f, blockWidth, 99999.0f};
    for (int r = 1; r <= ROWS; ++r) {
        float half = hf / 2.0f;
        if (rows[r - 1].full) {
            half = std::max(half, badgeHeight(*fullSkin) / 2.0f);
        }
        if (rows[r - 1].record) {
            half = std::max(half, badgeHeight(*recordSkin) / 2.0f);
        }
        block.top = std::max(block.top, -static_cast<float>(r) * hf + half);
        block.bottom = std::min(block.bottom, -static_cast<float>(r) * hf - half);
    }

    bubble->setSize(std::max(MIN_WIDTH, std::ceil(blockWidth) + 2.0f * SIDE_MARGIN), 7.0f * hf + 50.0f);
    bubble->setOriginByAlignment(1);
    placeBeside(*icon);

    for (int r = 1; r <= ROWS; ++r) {
        const Row& row = rows[r - 1];
        const float y = -static_cast<float>(r) * hf;
        auto* label = new TextSprite(0.0f, y, 0.0f, labels[r - 1], font, UColor(row.color));
        label->flags = TextAlign::LEFT | TextAlign::VCENTER;
        label->bShadow = false;
        appendChild(label);
        auto* value = new TextSprite(valueRight, y, 0.0f, row.value, font, UColor(row.color));
        value->flags = TextAlign::RIGHT | TextAlign::VCENTER;
        value->bShadow = false;
        appendChild(value);
        if (row.full) {
            auto* full = new Renderable();
            full->pSkin = fullSkin;
            full->scaleMode = SCALE_PIXELS;
            full->color = UColor(row.tint);
            full->setPosition(V3(badgesLeft + fullWidth / 2.0f, y, 0.0f));
            appendChild(full);
        }
        if (row.record) {
            auto* record = new Renderable();
            record->pSkin = recordSkin;
            record->scaleMode = SCALE_PIXELS;
            record->setPosition(V3(badgesLeft + fullWidth + recordWidth / 2.0f, y, 0.0f));
            appendChild(record);
        }
    }

    const V3 offset = blockOffset(boundsCenter, scale.y);
    for (KivBase* child = getFirstChild(); child != nullptr; child = child->getNext()) {
        auto* item = static_cast<Renderable*>(child);
        item->position += offset;
        item->updateVisuals();
    }
}

V3 ValleyInfoPanel::blockOffset(const V3& centre, float sy) const
{
    // The block in the middle of the bubble; the rows a little towards the side away from its tail strip.
    const float rowsMiddle = -(1.0f + static_cast<float>(ROWS)) * rowHeight / 2.0f;
    return V3(std::trunc(centre.x - (block.left + block.right) / 2.0f),
              std::trunc(centre.y - rowsMiddle + 10.0f * sy), centre.z);
}

Camera::Rect ValleyInfoPanel::bodyAt(const V3& centre, float sy) const
{
    Camera::Rect rect{centre.x - bubble->width / 2.0f, centre.y + bubble->height / 2.0f,
                      centre.x + bubble->width / 2.0f, centre.y - bubble->height / 2.0f};
    // The frame's strip for a tail is clear; it lies on the side of the icon.
    if (sy > 0.0f) {
        rect.bottom += TAIL_STRIP;
    } else {
        rect.top -= TAIL_STRIP;
    }
    return rect;
}

Camera::Rect ValleyInfoPanel::coveredAt(const V3& centre, float sy) const
{
    const Camera::Rect body = bodyAt(centre, sy);
    const V3 offset = blockOffset(centre, sy);
    return {std::min(body.left, block.left + offset.x), std::max(body.top, block.top + offset.y),
            std::max(body.right, block.right + offset.x), std::min(body.bottom, block.bottom + offset.y)};
}

Camera::Rect ValleyInfoPanel::bubbleRect() const { return bodyAt(boundsCenter, scale.y); }

Camera::Rect ValleyInfoPanel::coveredRect() const { return coveredAt(boundsCenter, scale.y); }

V3 ValleyInfoPanel::positionFor(const ValleyLevelIcon& beside, const Placement& where)
{
    return V3(std::trunc(beside.position.x - (18.0f + where.slide) * where.sx),
              std::trunc(beside.position.y + (10.0f + where.lift) * where.sy), beside.position.z);
}

void ValleyInfoPanel::placeBeside(const ValleyLevelIcon& beside)
{
    // It opens towards the middle of the screen. Where that covers what must stay in sight, or more of
    // other levels than it need, it moves: further from the icon, back over it along the other axis, or
    // to another side; it takes the place that covers least, near the icon.
    float sx = 1.0f, sy = 1.0f;
    const Camera* camera = nullptr;
    if (const Context* context = Context::getCurrent(); context != nullptr && context->camera != nullptr) {
        camera = context->camera;
        sx = beside.position.x > camera->eye.x ? -1.0f : 1.0f;
        sy = beside.position.y > camera->eye.y ? -1.0f : 1.0f;
    }
    // What must stay in sight: the HUD, its own icon and title, and the next level's title, which the player
    // most likely looks for; any other level's icon and title should.
    std::vector<Obstacle> obstacles;
    for (const Camera::Rect& hud : keepClear) {
        obstacles.push_back({hud, true});
    }
    const KivBase* layer = beside.getParent();
    for (const KivBase* c = layer != nullptr ? layer->getFirstChild() : &beside; c != nullptr;
         c = layer != nullptr ? c->getNext() : nullptr) {
        const auto* other = dynamic_cast<const ValleyLevelIcon*>(c);
        if (other == nullptr || other->bHidden) {
            continue;
        }
        const bool must = other == &beside || other->levelNumber == beside.levelNumber + 1;
        if (other->pSkin != nullptr) {
            const float hw = other->pSkin->width / 2.0f, hh = other->pSkin->height / 2.0f;
            const V3& p = other->position;
            obstacles.push_back({{p.x - hw, p.y + hh, p.x + hw, p.y - hh}, must});
        }
        if (other->showsTitle()) {
            obstacles.push_back({other->titleRect(), must});
        }
    }
    Camera::Rect view{-1.0e9f, 1.0e9f, 1.0e9f, -1.0e9f};
    if (camera != nullptr) {
        camera->getVisibleRect(view, beside.position.z);
    }

    // The bubble's frame is cornered at its position and opens towards the sides of its scale.
    const float sides[4][2] = {{sx, sy}, {sx, -sy}, {-sx, sy}, {-sx, -sy}};
    constexpr float STEP = 10.0f;
    constexpr int LIFTS = 20, SLIDES = 25;
    Placement best{sx, sy, 0.0f, 0.0f};
    float bestCost = -1.0f;
    for (const auto& side : sides) {
        for (int lift = 0; lift < LIFTS && bestCost != 0.0f; ++lift) {
            for (int slide = 0; slide < SLIDES && bestCost != 0.0f; ++slide) {
                const Placement where{side[0], side[1], STEP * static_cast<float>(lift), STEP * static_cast<float>(slide)};
                const V3 corner = positionFor(beside, where);
                const V3 centre(corner.x + where.sx * bubble->width / 2.0f, corner.y + where.sy * bubble->height / 2.0f,
                                corner.z);
                const float cost = coverCost(coveredAt(centre, where.sy), obstacles, view) +
                                   MOVE_COST * (where.lift + where.slide);
                if (bestCost < 0.0f || cost < bestCost) {
                    bestCost = cost;
                    best = where;
                }
            }
        }
    }
    position = positionFor(beside, best);
    scale = V3(best.sx, best.sy, 1.0f);
    updateVisuals();
}

float ValleyInfoPanel::coverCost(const Camera::Rect& box, const std::vector<Obstacle>& obstacles,
                                 const Camera::Rect& view)
{
    auto overlap = [&box](const Camera::Rect& r) {
        const float w = std::min(box.right, r.right) - std::max(box.left, r.left);
        const float h = std::min(box.top, r.top) - std::max(box.bottom, r.bottom);
        return w > 0.0f && h > 0.0f ? w * h : 0.0f;
    };
    // Anything that must stay in sight outweighs all else, and the bubble's own place on the screen
    // outweighs that: on a small screen it may have to cover something.
    float cost = 0.0f;
    auto add = [&cost](float covered, float weight) {
        if (covered > 0.0f) {
            cost += covered + weight;
        }
    };
    add((box.right - box.left) * (box.top - box.bottom) - overlap(view), OFF_SCREEN);
    for (const Obstacle& o : obstacles) {
        add(overlap(o.rect), o.must ? MUST_KEEP : 0.0f);
    }
    return cost;
}

void ValleyInfoPanel::render()
{
    if (bHidden) {
        return;
    }
    Renderable::render();
    const Kiv* kiv = Kiv::instance();
    const Global* global = Global::instance();
    if (kiv == nullptr || kiv->bRelease || icon == nullptr || global->fontTiny == nullptr) {
        return;
    }
    const LevelStats& s = global->profiles.getCurrentProfile().levelStats[icon->levelNumber];
    const UString lines[4] = {
        formatString(u"sum_timesPlayed=%d", s.timesPlayed),
        formatString(u"sum_totalPlayingTime=%s", formatMinutesSeconds(s.totalTime)),
        formatString(u"sum_totalDeaths=%d", s.totalLivesLost),
        formatString(u"sum_totalSpoils=%d", s.totalApplesLost),
    };
    for (int k = 1; k <= 4; ++k) {
        global->fontTiny->print(V3(position.x, position.y - 10.0f * static_cast<float>(k), position.z),
                                UColor(0xFFFFFFFFu), 3, lines[k - 1]);
    }
}
