#include "game/worldmap/ContextValley.h"

#include <algorithm>
#include <cmath>

#include "engine/audio/KivAudio.h"
#include "engine/audio/SoundStream.h"
#include "engine/core/ErrorManager.h"
#include "engine/files/ResourceManager.h"
#include "engine/render/Skin.h"
#include "engine/input/KivInput.h"
#include "engine/kiv/Kiv.h"
#include "engine/render/Camera.h"
#include "engine/render/KivGraphics.h"
#include "engine/text/FontQuad.h"
#include "game/front/ContextManager.h"
#include "game/front/Global.h"
#include "game/front/TransitionWipe.h"
#include "game/language/Language.h"
#include "game/level/ContextLevelManager.h"
#include "game/level/MessageDisplay.h"
#include "game/menus/ContextDialog.h"
#include "game/menus/MenuBackButton.h"
#include "game/menus/MenuButton.h"
#include "game/menus/MenuSupport.h"
#include "game/userdata/ProfileData.h"
#include "game/worldmap/ContextEnding.h"
#include "game/worldmap/ContextRecipe.h"
#include "game/worldmap/MenuSprite.h"
#include "game/worldmap/ValleyDashedLine.h"
#include "game/worldmap/ValleyIconLayer.h"
#include "game/worldmap/ValleyInfoPanel.h"
#include "game/worldmap/ValleyLevelIcon.h"
#include "game/worldmap/ValleyPathPoints.h"

namespace {
constexpr int LAST_LEVEL = ProfileData::NUMLEVELS - 1;
// Half the height of the sandy road across the unenlarged map, in pixels.
constexpr float ROAD_HALF_HEIGHT = 12.0f;

void statementFailed(const char* statement)
{
    ErrorManager::assertionFailed(statement, "ContextValley::onStateChange", __FILE__, __LINE__);
}
} // namespace

ProfileData& ContextValley::player() { return Global::instance()->profiles.getCurrentProfile(); }

ContextValley::ContextValley()
{
    bDeleteWhenClosed = true;
    // A damaged profile may name a level that does not exist.
    ProfileData& profile = player();
    if (profile.currentLevel < 0 || profile.currentLevel > LAST_LEVEL) {
        profile.currentLevel = 0;
    }

    background = new Renderable();
    background->pSkin = ResourceManager::instance()->find<Skin>(u"valley:0");
    appendChild(background);

    dashedLine = new ValleyDashedLine();
    appendChild(dashedLine);

    // The icons take their places on the road with the layout below.
    iconLayer = new ValleyIconLayer();
    appendChild(iconLayer);
    for (int i = 0; i < ProfileData::NUMLEVELS; ++i) {
        auto* icon = new ValleyLevelIcon(i, 0.0f, V3());
        iconLayer->appendChild(icon);
        addNavigationEntry(icon);
    }

    infoPanel = new ValleyInfoPanel();
    infoPanel->bHidden = true;
    appendChild(infoPanel);

    hudMenu = new ContextMenu();
    hudMenu->navigationOwner = this;
    appendChild(hudMenu);

    arrowLeft = new MenuSprite();
    arrowLeft->pSkin = ResourceManager::instance()->find<Skin>(u"valleyArrow:0");
    arrowLeft->scale = V3(-1.0f, 1.0f, 1.0f);
    arrowLeft->bNavigable = true;
    arrowLeft->bHasInvXform = true;
    hudMenu->addItem(arrowLeft);

    arrowRight = new MenuSprite();
    arrowRight->pSkin = ResourceManager::instance()->find<Skin>(u"valleyArrow:0");
    arrowRight->bNavigable = true;
    arrowRight->bHasInvXform = true;
    hudMenu->addItem(arrowRight);

    buttonBack = new MenuBackButton(0.0f, 0.0f, 0.0f, MenuSupport::text(STR_BACK), UString());
    buttonBack->setWidth(160);
    hudMenu->addItem(buttonBack);

    buttonPlay = new MenuButton(0.0f, 0.0f, 0.0f, MenuSupport::text(STR_PLAY), UString());
    buttonPlay->setWidth(160);
    hudMenu->addItem(buttonPlay);

    buttonRecipe = new MenuButton(0.0f, 0.0f, 0.0f, MenuSupport::text(STR_RECIPEDOTS), UString());
    buttonRecipe->setWidth(256);
    hudMenu->addItem(buttonRecipe);

    hudStrip = new Renderable();
    hudStrip->pSkin = ResourceManager::instance()->find<Skin>(u"gui-game-hud:0");
    hudMenu->appendChild(hudStrip);

    layOut();
    enterStateNow(profile.levelStats[0].completed == 0 ? STATE_WELCOME : STATE_CHOOSE);
}

float ContextValley::mapScaleFor(int w, int h)
{
    return std::max({1.0f, static_cast<float>(w) / ValleyPathPoints::PICTURE_WIDTH,
                     static_cast<float>(h) / (ValleyPathPoints::PICTURE_HEIGHT * ValleyPathPoints::Y_SCALE)});
}

void ContextValley::layOut()
{
    const int w = screenWidth(), h = screenHeight();
    laidOutWidth = w;
    laidOutHeight = h;
    // Both layers see the screen in pixels, as a new camera does.
    for (Camera* view : {camera, hudMenu->camera}) {
        view->eye.z = -static_cast<float>(w / 2);
        view->aspectFactor = static_cast<float>(h) / static_cast<float>(w);
    }

    // The map: the picture, the road on it and the icons on the road, all enlarged alike; the icons, the
    // road's dashes and the texts keep their size in pixels.
    const float newScale = mapScaleFor(w, h);
    const float grow = newScale / mapScale;
    mapScale = newScale;
    path.clear();
    ValleyPathPoints::build(path, ValleyPathPoints::Y_SCALE, mapScale);
    const Skin* picture = background->pSkin;
    background->setScale(V3(mapScale * ValleyPathPoints::PICTURE_WIDTH / picture->width,
                            mapScale * ValleyPathPoints::Y_SCALE * ValleyPathPoints::PICTURE_HEIGHT / picture->height,
                            1.0f));
    int level = 0;
    for (KivBase* child = iconLayer->getFirstChild(); child != nullptr; child = child->getNext(), ++level) {
        const float L = ValleyPathPoints::arcLengthOfLevel(level, path.totalLength);
        static_cast<ValleyLevelIcon*>(child)->placeOn(L, path.evaluateL(L));
    }
    // A pan or a growing road under way goes on over the map at its new size.
    for (InterpolatedValue* value : {&scroll, &pathReveal}) {
        value->value *= grow;
        value->from *= grow;
        value->to *= grow;
    }
    dashedLine->rebuild(path, pathReveal.value);
    // The titles stay inside the picture, a few units in from its edges for the letters' overhang: the
    // scrolling brings all of it on screen. On an enlarged map they stand higher, over the grass beside
    // the wider road as they do at 800 x 600.
    placeTitles(mapScale * ValleyPathPoints::PICTURE_WIDTH / 2.0f - 6.0f, ROAD_HALF_HEIGHT * (mapScale - 1.0f));

    // The HUD at the screen's edges.
    const float areaX = static_cast<float>(w / 2 + rowHeight / 2 - marginX);
    const float areaY = static_cast<float>(h / 2 - marginY);
    arrowLeft->setPosition(V3(static_cast<float>(40 - w / 2), 0.0f, 0.0f));
    arrowRight->setPosition(V3(static_cast<float>(w / 2 - 40), 0.0f, 0.0f));
    buttonBack->setPosition(V3(80.0f - areaX, -areaY, 0.0f));
    buttonPlay->setPosition(V3(areaX - 80.0f, -areaY, 0.0f));
    buttonRecipe->setPosition(V3(0.0f, areaY - static_cast<float>(rowHeight), 0.0f));
    hudStrip->setPosition(V3(0.0f, static_cast<float>(h / 2), 0.0f));
}

ContextValley::~ContextValley() { deleteLevelManager(); }

void ContextValley::deleteLevelManager()
{
    if (levelManager != nullptr) {
        levelManager->unlink();
        delete levelManager;
        levelManager = nullptr;
    }
}

void ContextValley::placeTitles(float halfWidth, float lift)
{
    constexpr float GAP = 4.0f;
    auto meet = [](const Camera::Rect& a, const Camera::Rect& b) {
        return a.left < b.right && b.left < a.right && a.bottom < b.top && b.bottom < a.top;
    };
    auto moved = [](Camera::Rect r, float dx, float dy) {
        r.left += dx;
        r.right += dx;
        r.top += dy;
        r.bottom += dy;
        return r;
    };
    // Level by level along the road: each title is moved the least it takes to clear the titles placed
    // before it, sideways as long as it still stands over its icon, or else upwards.
    std::vector<Camera::Rect> placed;
    for (int level = 0; level <= LAST_LEVEL; ++level) {
        ValleyLevelIcon* icon = getIcon(level);
        icon->titleShift = V3(0.0f, lift, 0.0f);
        const Camera::Rect home = icon->titleRect();
        float baseX = 0.0f;
        if (home.left < -halfWidth) {
            baseX = -halfWidth - home.left;
        } else if (home.right > halfWidth) {
            baseX = halfWidth - home.right;
        }
        const Camera::Rect base = moved(home, baseX, 0.0f);
        std::vector<std::pair<float, float>> moves = {{0.0f, 0.0f}};
        for (const Camera::Rect& other : placed) {
            if (meet(base, other)) {
                moves.emplace_back(other.right + GAP - base.left, 0.0f);
                moves.emplace_back(other.left - GAP - base.right, 0.0f);
                moves.emplace_back(0.0f, other.top + GAP - base.bottom);
            }
        }
        std::stable_sort(moves.begin(), moves.end(), [](const auto& a, const auto& b) {
            return std::abs(a.first) + std::abs(a.second) < std::abs(b.first) + std::abs(b.second);
        });
        std::pair<float, float> chosen(0.0f, 0.0f);
        for (const auto& [dx, dy] : moves) {
            const Camera::Rect r = moved(base, dx, dy);
            const bool overIcon = r.left <= icon->position.x && icon->position.x <= r.right;
            const bool inside = r.left >= -halfWidth - 0.5f && r.right <= halfWidth + 0.5f;
            if (overIcon && inside &&
                std::none_of(placed.begin(), placed.end(), [&](const Camera::Rect& o) { return meet(r, o); })) {
                chosen = {dx, dy};
                break;
            }
        }
        icon->titleShift = V3(baseX + chosen.first, lift + chosen.second, 0.0f);
        placed.push_back(icon->titleRect());
    }
}

ValleyLevelIcon* ContextValley::getIcon(int level) const
{
    int i = 0;
    for (KivBase* child = iconLayer->getFirstChild(); child != nullptr; child = child->getNext(), ++i) {
        if (i == level) {
            return static_cast<ValleyLevelIcon*>(child);
        }
    }
    return nullptr;
}

float ContextValley::scrollLimit() const
{
    return std::max(0.0f, mapScale * ValleyPathPoints::PICTURE_WIDTH / 2.0f - static_cast<float>(laidOutWidth / 2));
}

float ContextValley::scrollTargetOf(int level) const
{
    const float limit = scrollLimit();
    return std::clamp(getIcon(level)->position.x, -limit, limit);
}

void ContextValley::enterStateAfter(int32_t newState, double delay)
{
    if (stateGoto != newState) {
        stateGoto = newState;
        stateLeft = delay;
    }
}

void ContextValley::tickContents(double time, double dt)
{
    // The screen may have changed its size while the map was open (the graphics options of a level's
    // pause menu, say).
    if (screenWidth() != laidOutWidth || screenHeight() != laidOutHeight) {
        layOut();
    }
    ContextMenu::tickContents(time, dt);
    ProfileData& profile = player();
    const float limit = scrollLimit();
    const bool choosing = state == STATE_CHOOSE;

    const bool playShown = choosing;
    buttonPlay->bHidden = !playShown;
    buttonPlay->bDisabled = !playShown;
    const bool recipeShown = profile.levelStats[3].completed != 0;
    buttonRecipe->bHidden = !recipeShown;
    buttonRecipe->bDisabled = !recipeShown;

    const float cx = camera->eye.x;
    arrowLeft->bHidden = !choosing || cx < 1.0f - limit;
    arrowRight->bHidden = !choosing || cx > limit - 1.0f;

    KivInput* input = Kiv::instance()->input;
    const bool pointerMode = input->getInputMode() == KivInput::INPUT_POINTER;
    auto arrowUnderPointer = [&](MenuSprite* arrow) {
        return !arrow->bHidden && arrow->isPointInside(hudMenu->pointer);
    };
    if (arrowUnderPointer(arrowLeft) && (pointerMode || input->getTouchFlag(0))) {
        scroll.setValue(cx - ARROW_SPEED * static_cast<float>(dt));
    }
    if (arrowUnderPointer(arrowRight) && (pointerMode || input->getTouchFlag(0))) {
        scroll.setValue(cx + ARROW_SPEED * static_cast<float>(dt));
    }
    if (const KivTouchPoint* touch = input->getTouchPoint(0); touch != nullptr && touch->isDragged()) {
        // The map follows the finger: screen pixels are units of the map's plane.
        scroll.setValue(cx - input->pointerMotion.x);
    }

    scroll.tick(time, dt);
    const float x = std::clamp(scroll.value, -limit, limit);
    camera->eye.x = x;
    camera->lookAt.x = x;
    camera->lookAt.y = camera->eye.y;
    // The titles at the screen's edges keep clear of the arrows.
    arrowsOverMap(iconLayer->titleKeepClear, 0.0f);

    pathReveal.tick(time, dt);
    if (pathReveal.progress < 1.0f) {
        dashedLine->rebuild(path, pathReveal.value);
    }

    buttonBack->bHidden = true;
    buttonBack->bDisabled = true;
    bEscapeCloses = false;
    infoPanel->bHidden = true;

    if (state != STATE_CHOOSE) {
        return;
    }
    buttonBack->bHidden = false;
    buttonBack->bDisabled = false;
    bEscapeCloses = true;
    if (buttonPlay->takeClick() && stateGoto != STATE_FADE_OUT) {
        enterStateNow(STATE_FADE_OUT);
    }
    if (buttonRecipe->takeClick()) {
        MenuSupport::pushScreen(new ContextRecipe());
    }
    const bool overArrow = arrowUnderPointer(arrowLeft) || arrowUnderPointer(arrowRight);
    auto quiet = [](const MenuButton* b) { return b->bHidden || !b->bHovered; };
    if (!overArrow && quiet(buttonPlay) && quiet(buttonBack) && quiet(buttonRecipe)) {
        pickLevel();
    }
}

void ContextValley::pickLevel()
{
    KivInput* input = Kiv::instance()->input;
    const float threshold = input->getInputMode() == KivInput::INPUT_TOUCH ? PICK_TOUCH : PICK_MOUSE;
    ValleyLevelIcon* nearest = nullptr;
    float best = 999999.0f;
    for (KivBase* child = iconLayer->getFirstChild(); child != nullptr; child = child->getNext()) {
        auto* icon = static_cast<ValleyLevelIcon*>(child);
        const float d = (icon->position - pointer).length();
        if (d < best) {
            best = d;
            nearest = icon;
        }
    }
    if (nearest == nullptr || best >= threshold) {
        return;
    }
    ProfileData& profile = player();
    const int n = nearest->levelNumber;
    const LevelStats& rec = profile.levelStats[n];
    const KivTouchPoint* touch = input->getTouchPoint(0);
    if (rec.available != 0 && touch != nullptr && touch->hasFlag(KivTouchPoint::FLAG_TAP)) {
        if (profile.currentLevel == n) {
            if (stateGoto != STATE_FADE_OUT) {
                enterStateNow(STATE_FADE_OUT);
            }
        } else {
            profile.currentLevel = n;
        }
    }
    if (rec.completed != 0) {
        infoPanel->keepClear = hudOverMap(nearest->position.z);
        infoPanel->setLevel(nearest);
        infoPanel->bHidden = false;
    }
}

void ContextValley::addOverMap(std::vector<Camera::Rect>& rects, const Renderable* item, float w, float h,
                               float z) const
{
    if (item == nullptr || item->bHidden) {
        return;
    }
    // The HUD and the map each fill the screen: a point keeps its share of the width and the height.
    Camera::Rect map, hud;
    camera->getVisibleRect(map, z);
    hudMenu->camera->getVisibleRect(hud, 0.0f);
    const float sx = (map.right - map.left) / (hud.right - hud.left);
    const float sy = (map.top - map.bottom) / (hud.top - hud.bottom);
    const V3& c = item->position;
    rects.push_back({map.left + (c.x - w / 2.0f - hud.left) * sx, map.bottom + (c.y + h / 2.0f - hud.bottom) * sy,
                     map.left + (c.x + w / 2.0f - hud.left) * sx, map.bottom + (c.y - h / 2.0f - hud.bottom) * sy});
}

void ContextValley::addSpriteOverMap(std::vector<Camera::Rect>& rects, const Renderable* sprite, float z) const
{
    if (sprite->pSkin != nullptr) {
        addOverMap(rects, sprite, sprite->pSkin->width * std::fabs(sprite->scale.x),
                   sprite->pSkin->height * std::fabs(sprite->scale.y), z);
    }
}

std::vector<Camera::Rect> ContextValley::hudOverMap(float z) const
{
    std::vector<Camera::Rect> rects;
    const MenuButton* const buttons[] = {buttonBack, buttonPlay, buttonRecipe};
    for (const MenuButton* button : buttons) {
        addOverMap(rects, button, button->frameWidth(), button->frameHeight(), z);
    }
    const Renderable* const sprites[] = {arrowLeft, arrowRight, hudStrip};
    for (const Renderable* sprite : sprites) {
        addSpriteOverMap(rects, sprite, z);
    }
    return rects;
}

void ContextValley::arrowsOverMap(std::vector<Camera::Rect>& rects, float z) const
{
    rects.clear();
    addSpriteOverMap(rects, arrowLeft, z);
    addSpriteOverMap(rects, arrowRight, z);
}

void ContextValley::renderContents()
{
    ContextMenu::renderContents();
    hudMenu->camera->render();
    const Global* global = Global::instance();
    if (global->fontMedium == nullptr) {
        return;
    }
    const LevelStats& totals = player().totals;
    const UString line = formatString(UStringView(MenuSupport::text(STR_TOTALSCORE)), formatNumber(totals.score),
                                      formatPercentTenths(totals.totalPoints));
    global->fontMedium->print(V3(0.0f, static_cast<float>(screenHeight() / 2) - 5.0f, 0.0f), UColor(0x80000000u), 5,
                              line);
}

void ContextValley::onActivate(bool firstActivation)
{
    ContextMenu::onActivate(firstActivation);
    if (state != STATE_LEVEL_RUNNING) {
        return;
    }
    if (levelManager != nullptr && levelResult() == RESULT_RESTART) {
        enterStateNow(STATE_LEVEL_RETURNED);
    } else {
        enterStateAfter(STATE_LEVEL_RETURNED, 1.0);
    }
}

void ContextValley::onStateChange()
{
    ProfileData& profile = player();
    switch (state) {
    case STATE_WELCOME: {
        auto* message = new MessageDisplay(Global::instance()->fontLarge, V3(0.0f, 20.0f, 0.0f));
        hudMenu->appendChild(message);
        message->setMessage(MenuSupport::text(STR_WELCOME), 3.0);
        enterStateAfter(STATE_CHOOSE, 4.0);
        break;
    }
    case STATE_CHOOSE:
        buttonPlay->bClicked = false;
        scroll.setTarget(scrollTargetOf(profile.currentLevel));
        for (int i = 0; i < ProfileData::NUMLEVELS; ++i) {
            if (profile.levelStats[i].available != 0) {
                pathReveal.setTarget(getIcon(i)->arcLength);
            }
        }
        break;
    case STATE_FADE_OUT:
        if (ContextManager* screens = MenuSupport::screens(); screens != nullptr && screens->transitionWipe != nullptr) {
            screens->transitionWipe->targetLevel = 1.0f;
        }
        if (KivAudio* audio = Kiv::instance()->audio) {
            audio->fadeMusic(0.0f, 1.0);
        }
        enterStateAfter(STATE_START_LEVEL, 1.1);
        break;
    case STATE_START_LEVEL:
        if (levelManager != nullptr) {
            statementFailed("levelManager == NULL");
        }
        levelManager = new ContextLevelManager(profile.currentLevel);
        MenuSupport::screens()->addContext(levelManager);
        enterStateNow(STATE_LEVEL_RUNNING);
        break;
    case STATE_LEVEL_RETURNED:
        bookReturnedLevel();
        break;
    case STATE_NEXT_UNLOCKED:
        unlockNextLevel();
        break;
    default:
        break;
    }
}

void ContextValley::bookReturnedLevel()
{
    if (levelManager == nullptr) {
        statementFailed("levelManager != NULL");
    }
    ProfileData& profile = player();
    const int level = profile.currentLevel;
    LevelStats& rec = profile.levelStats[level];
    const int result = levelResult();
    // Every returned run counts, restarts and abandoned runs too; the scores were merged by the level. A
    // play test that was refused before it began is no run, and a level left from the editor is none of
    // the player's: nothing of it is booked or saved.
    const bool playersRun = levelManager->isPlayersRun();
    if (playersRun && result != RESULT_NOT_PLAYED) {
        rec.timesPlayed += 1;
        if (const LevelStats* run = runStats()) {
            rec.totalTime += run->time;
            rec.totalLivesLost += run->livesLost;
            rec.totalApplesLost += run->applesLost;
        }
    }
    if (result == RESULT_RESTART) {
        deleteLevelManager();
        enterStateNow(STATE_START_LEVEL);
        return;
    }
    bUnlocking = false;
    if (playersRun && result == RESULT_FINISHED) {
        rec.completed = 1;
        profile.totals.reset();
        for (const LevelStats& stats : profile.levelStats) {
            profile.totals.add(stats);
        }
        if (profile.levelStats[LAST_LEVEL].completed != 0 && profile.totals.totalPoints == 1000) {
            pushDialog(STR_HINTALLCOMPLETETITLE, STR_HINTALLCOMPLETE);
        }
        if (level < LAST_LEVEL && profile.levelStats[level + 1].available == 0) {
            bUnlocking = true;
            scroll.setTarget(scrollTargetOf(level + 1));
            pathReveal.setTarget(getIcon(level + 1)->arcLength);
        }
    }
    deleteLevelManager();
    if (KivAudio* audio = Kiv::instance()->audio) {
        audio->setMusic(ResourceManager::instance()->find<SoundStream>(u"musicMenu"));
    }
    if (playersRun) {
        Global::instance()->saveUserData();
    }
    if (bUnlocking) {
        enterStateAfter(STATE_NEXT_UNLOCKED, 3.0);
    } else {
        enterStateNow(STATE_CHOOSE);
    }
}

void ContextValley::unlockNextLevel()
{
    ProfileData& profile = player();
    const int next = std::min(profile.currentLevel + 1, LAST_LEVEL);
    profile.levelStats[next].available = 1;
    profile.currentLevel = next;
    MenuSupport::playSound(u"saveProgress");
    const bool help = Global::instance()->config.bTutorial != 0;
    const bool touch = Kiv::instance()->input->getInputMode() == KivInput::INPUT_TOUCH;
    switch (next) {
    case 2:
        if (help) {
            pushDialog(STR_HINTVALLEYPERCENTAGESTITLE,
                       touch ? STR_IOS_HINTVALLEYPERCENTAGES : STR_HINTVALLEYPERCENTAGES);
        }
        break;
    case 3:
        if (help) {
            pushDialog(STR_HINTVALLEYBONUSTITLE, STR_HINTVALLEYBONUS);
        }
        break;
    case 4:
        if (help) {
            pushDialog(STR_HINTVALLEYRECIPETITLE, STR_HINTVALLEYRECIPE);
        }
        break;
    case 5:
        if (help) {
            pushDialog(STR_HINTVALLEYBESTTITLE, STR_HINTVALLEYBEST);
        }
        break;
    case 6:
        if (help) {
            pushDialog(STR_HINTPARTIMETITLE, STR_HINTPARTIME);
        }
        break;
    case 8: pushDialog(STR_HINTVALLEYSEASONTITLE, STR_HINTVALLEYSEASON1); break;
    case 16: pushDialog(STR_HINTVALLEYSEASONTITLE, STR_HINTVALLEYSEASON2); break;
    case 24: pushDialog(STR_HINTVALLEYSEASONTITLE, STR_HINTVALLEYSEASON3); break;
    case LAST_LEVEL: MenuSupport::pushScreen(new ContextEnding()); break;
    default: break;
    }
    Global::instance()->saveUserData();
    enterStateNow(STATE_CHOOSE);
}

void ContextValley::pushDialog(int title, int text)
{
    auto* dialog = new ContextDialog();
    dialog->title = MenuSupport::text(title);
    dialog->text = MenuSupport::text(text);
    dialog->buildContents();
    MenuSupport::pushScreen(dialog);
}

int ContextValley::levelResult() const { return levelManager != nullptr ? levelManager->getResultCode() : 0; }

const LevelStats* ContextValley::runStats() const
{
    return levelManager != nullptr ? levelManager->getLevelStats() : nullptr;
}
