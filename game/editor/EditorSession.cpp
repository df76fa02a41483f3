#include "game/editor/EditorSession.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "engine/files/FileIO.h"
#include "engine/files/FileManager.h"
#include "engine/input/KivInput.h"
#include "engine/kiv/Kiv.h"
#include "engine/net/Packet.h"
#include "engine/render/KivGraphics.h"
#include "engine/text/Console.h"
#include "engine/text/FontQuad.h"
#include "game/editor/ContextEditor.h"
#include "game/level/ContextHUD.h"
#include "game/level/ContextLevelManager.h"
#include "game/front/Global.h"
#include "game/level/GameController.h"
#include "game/level/GameServer.h"
#include "game/level/LevelServices.h"
#include "game/level/MessageDisplay.h"
#include "game/level/MyRootObject.h"

namespace {
constexpr int KEY_S = 0x1F;
constexpr int KEY_F4 = 0x3E;
// How long an outcome stands whole on the screen once spelt out, and the room it leaves at either side
// (pixels), of the screen's edges and of the editor's panel.
constexpr double MESSAGE_SECONDS = 4.0;
constexpr float SCREEN_MARGIN = 10.0f;

// A line wider than its room is drawn smaller, down to this part of its size.
constexpr float SMALLEST_FIT = 0.5f;

// Where a line of the editor stands whole: the centre and width of its room, in the HUD's units (screen
// pixels from the centre).
struct LineRoom {
    float centre = 0.0f;
    float width = 0.0f; // 0 when there is no screen
};

// The screen within its margins, less the editor's panel while one is shown: the wider side of it.
LineRoom lineRoom(const GameController& level)
{
    const KivGraphics* graphics = KivGraphics::instance();
    if (graphics == nullptr || graphics->width <= 0) {
        return {};
    }
    const float half = static_cast<float>(graphics->width) / 2.0f;
    float left = SCREEN_MARGIN - half;
    float right = half - SCREEN_MARGIN;
    float panelLeft = 0.0f;
    float panelRight = 0.0f;
    if (level.editor != nullptr && level.editor->panelSpan(panelLeft, panelRight)) {
        const float beforePanel = std::min(right, panelLeft - SCREEN_MARGIN);
        const float afterPanel = std::max(left, panelRight + SCREEN_MARGIN);
        if (beforePanel - left >= right - afterPanel) {
            right = beforePanel;
        } else {
            left = afterPanel;
        }
    }
    // A whole pixel, so that the glyphs of a line that fits stand on pixels.
    return {std::floor((left + right) / 2.0f), std::max(0.0f, right - left)};
}

// The line as the screen shows it: paths in the user folder named from that folder on, and sentences
// after the first (the outcome and its reason) left to the console while the line would have to be drawn
// smaller than SMALLEST_FIT to fit its room.
UString screenLine(const UString& line, const FontQuad* font, float room, const std::string& userFolder)
{
    UString shown = line;
    const UString folder = toUString(userFolder.c_str());
    if (const std::size_t at = folder.empty() ? UString::npos : shown.find(folder); at != UString::npos) {
        shown.erase(at, folder.size());
    }
    const float widest = room / SMALLEST_FIT;
    std::size_t end = UString::npos;
    while (font != nullptr && widest > 0.0f && static_cast<float>(font->measureLine(shown)) > widest &&
           (end = shown.rfind(u". ")) != UString::npos) {
        shown.erase(end + 1);
    }
    return shown;
}

} // namespace

double EditorSession::report(const UString& line)
{
    Kiv* kiv = Kiv::instance();
    if (kiv != nullptr && kiv->console != nullptr) {
        kiv->console->addLine(line);
    } else {
        Logger::logFrom("EditorSession", u"%s", line);
    }
    GameController* level = GameController::getCurrent();
    if (level == nullptr || level->contextHUD == nullptr) {
        return 0.0; // no message line
    }
    return showLine(*level, line);
}

void EditorSession::refitLine()
{
    GameController* level = GameController::getCurrent();
    if (level == nullptr || level->contextHUD == nullptr || !level->isEditing()) {
        return;
    }
    const MessageDisplay& display = level->contextHUD->messenger2;
    if (display.getFirstChild() == nullptr || display.text.empty()) {
        return;
    }
    // A line that stands in its room is left to stand (laid out again, it would spell itself anew).
    const LineRoom room = lineRoom(*level);
    if (display.laidOutX != room.centre || display.laidOutWidth != room.width) {
        showLine(*level, UString(display.text));
    }
}

double EditorSession::showLine(GameController& level, const UString& line)
{
    Kiv* kiv = Kiv::instance();
    MessageDisplay& display = level.contextHUD->messenger2;
    const LineRoom room = lineRoom(level);
    const UString shown = screenLine(line, display.font, room.width, kiv != nullptr ? kiv->userFolder : std::string());
    // Each letter stays its time from when it appears: the last one sets how long the whole line stands.
    const double seconds = MESSAGE_SECONDS + MessageDisplay::LETTER_DELAY * static_cast<double>(shown.size());
    // The line is laid out in its room when it is set; the level's own messages keep the display's place.
    const V3 home = display.position;
    const float homeWidth = display.maxWidth;
    display.position.x = room.centre;
    display.maxWidth = room.width;
    level.local_setMessage(2, 0, static_cast<float>(seconds), shown);
    display.position = home;
    display.maxWidth = homeWidth;
    return seconds;
}

namespace {
// Takes away before a save what the level's next pass would (what is marked deleted, such as the editor
// proxy of a deleted object), so that the file holds none of it.
void dropDeleted(NetRole& role)
{
    for (const auto& [uid, object] : role.objectMap.entries()) {
        // One may have gone with another already.
        if (role.findObjectOrNull(uid) == object && object->bDeleted) {
            object->destroy();
        }
    }
}

// A menu open over the level (the pause menu) is closed, as its own close does: the level stands still
// under it, with the outcome's line, and a level written with it open would not load.
void closeMenu(GameServer& server)
{
    if (auto* root = dynamic_cast<MyRootObject*>(server.root); root != nullptr) {
        root->local_closeOverlay();
    }
}
} // namespace

EditorSession::EditorSession(const UString& file, ContextLevelManager* owner) : levelFile(file), owner(owner) {}

bool EditorSession::isAllowed()
{
    const Global* global = Global::instance();
    return global != nullptr && global->bEditorAllowed;
}

std::string EditorSession::savedLevelPath(UStringView file)
{
    const Kiv* kiv = Kiv::instance();
    const std::string folder = kiv != nullptr ? kiv->userFolder : std::string();
    const std::string name = std::filesystem::path(wideToUtf8(UString(file))).filename().string();
    return folder + "levels/" + name;
}

bool EditorSession::isSaveKey(const KivInput& input)
{
    return input.wasKeyPressed(KEY_S) && input.getModifierState() == KivInput::MODIFIER_CTRL;
}

void EditorSession::tick(GameServer& server, const KivInput& input)
{
    if (!startMessage.empty()) {
        report(startMessage);
        startMessage.clear();
    }
    if (input.wasKeyPressed(KEY_F4)) {
        toggleEditing(server);
    } else if (isSaveKey(input)) {
        save(server);
    }
}

namespace {
std::vector<std::uint8_t> fullState(const GameServer& server)
{
    Packet level(Packet::FLAG_COMMANDS | Packet::FLAG_STORED);
    server.writeFullState(level);
    return std::vector<std::uint8_t>(level.data(), level.data() + level.size());
}
} // namespace

std::vector<std::uint8_t> EditorSession::levelBytes(GameServer& server)
{
    closeMenu(server);
    dropDeleted(server);
    return fullState(server);
}

std::vector<std::uint8_t> EditorSession::editedState(GameServer& server)
{
    // The clocks run on while the level stands, and every overlay opened (the pause menu) takes up an
    // object number: neither is an edit.
    std::vector<std::pair<KivBase*, double>> clocks;
    clocks.reserve(server.objectMap.size());
    for (const auto& [uid, object] : server.objectMap.entries()) {
        clocks.emplace_back(object, object->timeInState);
        object->timeInState = 0.0;
    }
    const int32_t nextUid = server.nextObjectUID;
    server.nextObjectUID = 0;
    std::vector<std::uint8_t> state = fullState(server);
    server.nextObjectUID = nextUid;
    for (const auto& [object, clock] : clocks) {
        object->timeInState = clock;
    }
    return state;
}

void EditorSession::rememberSaved(GameServer& server) { savedState = editedState(server); }

bool EditorSession::hasUnsavedEdits(GameServer& server)
{
    if (isPlayTest() || !server.bEditing) {
        return false;
    }
    const GameController* gc = owner != nullptr ? owner->getGameController() : GameController::getCurrent();
    if (gc != nullptr && gc->editor != nullptr && gc->editor->holdsTypedText()) {
        return true;
    }
    return editedState(server) != savedState;
}

bool EditorSession::takeTypedText(UString& why)
{
    GameController* gc = owner != nullptr ? owner->getGameController() : GameController::getCurrent();
    return gc == nullptr || gc->editor == nullptr || gc->editor->takeTypedText(why);
}

void EditorSession::toggleEditing(GameServer& server)
{
    // What the panel shows is what is played and kept. (During a play test the text goes into the level
    // played, which is not kept: a refusal, which its field says, stops nothing.)
    if (UString refused; !takeTypedText(refused) && server.bEditing) {
        report(formatString(u"Play test not started: the typed value is refused (%s).", refused));
        return;
    }
    if (!server.bEditing) {
        UString why;
        if (putBackKept(server, why)) {
            report(u"Editing on: the level stands as it stood before the play test.");
        } else {
            report(formatString(u"Editing not resumed: the level kept before the play test could not be read "
                                u"again. (%s)",
                                why));
        }
        return;
    }
    std::vector<std::uint8_t> bytes = levelBytes(server);
    // Played, it could not be put back: the play test would lose the edits.
    if (const UString why = ContextLevelManager::whyNotLoadable(bytes); !why.empty()) {
        report(formatString(u"Play test not started: the level would not load again. (%s)", why));
        return;
    }
    keptLevel = std::move(bytes);
    keptState = editedState(server);
    keptEdited = 0;
    if (const GameController* gc = GameController::getCurrent(); gc != nullptr && gc->editor != nullptr) {
        const KivBase* edited = gc->editor->edited.get();
        keptEdited = edited != nullptr ? edited->objectUID : 0;
        keptPanel = gc->editor->panelPos;
    }
    runPlayTest(server, u"Editing off: play test.");
}

void EditorSession::runPlayTest(GameServer& server, const UString& started)
{
    server.bEditing = false;
    try {
        server.runLevelStart();
    } catch (const PacketDecodeError& error) {
        const UString path = levelFile.empty() ? UString(u"(memory)") : toUString(savedLevelPath(levelFile).c_str());
        Logger::logFrom("EditorSession::toggleEditing", u"The edited level %s cannot be played (%s); editing goes on.",
                        path, error.message);
        // What the set-up made before it stopped goes with the level played.
        UString why;
        report(putBackKept(server, why)
                   ? formatString(u"Play test not started: the level cannot be set up. (%s)", error.message)
                   : formatString(u"Play test not started: the level cannot be set up, nor read again. (%s; %s)",
                                  error.message, why));
        return;
    }
    report(started);
}

bool EditorSession::readKeptAgain(UString& why)
{
    why = owner->restoreEdited(keptLevel);
    if (!why.empty()) {
        return false;
    }
    GameController* gc = owner->getGameController();
    KivBase* edited = keptEdited > 0 ? owner->server->findObjectOrNull(keptEdited) : nullptr;
    if (gc != nullptr && gc->editor != nullptr && edited != nullptr) {
        gc->editor->editObject(edited);
        gc->editor->panelPos = keptPanel;
        gc->editor->placePanel();
    }
    return true;
}

bool EditorSession::putBackKept(GameServer& server, UString& why)
{
    if (owner == nullptr || keptLevel.empty()) {
        server.bEditing = true;
        return true;
    }
    if (!readKeptAgain(why)) {
        // The level played stays, standing still.
        server.bEditing = true;
        return false;
    }
    keptLevel.clear();
    keptState.clear();
    // The play test's fade (the level start's opening wipe, or its end's fade out) ends with it.
    LevelServices::setFade(0.0f, 0.0f);
    return true;
}

void EditorSession::endPlayTest(GameServer& played)
{
    if (played.levelResultCode == ContextLevelManager::RESULT_RESTART && owner != nullptr) {
        UString why;
        if (readKeptAgain(why)) {
            runPlayTest(*owner->server, u"Play test started again: the level as it stood when the play test began.");
            return;
        }
        played.bEditing = true;
        report(formatString(u"Play test not started again: the level kept before it could not be read again. (%s)",
                            why));
    } else {
        toggleEditing(played);
    }
    if (owner == nullptr || owner->server == &played) {
        // The level played stands still under the editor: nothing ends it.
        played.levelResultCode = 0;
        closeMenu(played);
        LevelServices::setFade(0.0f, 0.0f);
    }
}

bool EditorSession::save(GameServer& server)
{
    // Every outcome shows on the level's line.
    closeMenu(server);
    // What the panel shows is what is saved. (During a play test the text goes into the level played, which
    // is not saved: a refusal, which its field says, stops nothing.)
    if (UString refused; !takeTypedText(refused) && !isPlayTest()) {
        report(formatString(u"Level not saved: the typed value is refused (%s). The copy saved before stays as "
                            u"it was.",
                            refused));
        return false;
    }
    if (levelFile.empty()) {
        report(u"Level not saved: it has no file name.");
        return false;
    }
    const std::string path = savedLevelPath(levelFile);
    const UString shownPath = toUString(path.c_str());
    if (FileManager::isKeptUnreadable(path)) {
        report(formatString(u"Level not saved: %s is kept as it was. The copy there could not be used nor copied "
                            u"aside, so no save replaces it in this run.",
                            shownPath));
        return false;
    }
    // A play test changes nothing of what is saved: the level as it stood before it.
    const std::vector<std::uint8_t> bytes = isPlayTest() ? keptLevel : levelBytes(server);
    // What is written is what the next start reads: bytes it would refuse replace no earlier copy.
    if (const UString refused = ContextLevelManager::whyNotLoadable(bytes); !refused.empty()) {
        report(formatString(u"Level not saved: it would not load again (%s). The copy saved before stays as it was.",
                            refused));
        return false;
    }
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), error);
    // As the user files are written: a temporary file flushed to the disk, renamed over the old one.
    const bool written = !error && FileIO::writeFileReplacing(path, bytes.data(), bytes.size());
    if (!written) {
        // The level saved before (if any) stays as it was.
        FileManager::reportFailedSave(path, error ? error.value() : errno);
        report(formatString(u"Level not saved: %s could not be written.", shownPath));
        return false;
    }
    savedState = isPlayTest() ? keptState : editedState(server);
    report(formatString(u"Level saved: %s", shownPath));
    return true;
}

void EditorSession::savedCopyRefused(const UString& why, const std::string& keptAs)
{
    UString reason = why;
    while (!reason.empty() && reason.back() == u'.') {
        reason.pop_back();
    }
    // Where the copy is and why come first: the screen leaves later sentences to the console when the line
    // is too wide.
    startMessage = !keptAs.empty()
                       ? formatString(u"Copy not used, kept as %s: %s. The archive's level is shown, and Ctrl+S "
                                      u"saves it in place of the copy.",
                                      toUString(keptAs.c_str()), reason)
                       : formatString(u"Copy not used, %s is left as it is: %s. The archive's level is shown, and "
                                      u"no save replaces the copy in this run.",
                                      toUString(savedLevelPath(levelFile).c_str()), reason);
}
