#pragma once
// One headless engine for the editor tests, with the game's data loaded from the built archives, the
// game's fonts and minimal GUI theme, and helpers to load a real level for editing through the level
// manager, press keys and the mouse, and read the console.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/core/UString.h"
#include "engine/core/V3.h"
#include "support/KivHarness.h"

class ContextEditor;
class ContextLevelManager;
class ContextManager;
class EditorObject;
class GameController;
class MyGlobal;
class PropertyField;
class PropertyFieldValue;

class EditorEnvironment {
public:
    static EditorEnvironment& get();

    KivHarness* harness = nullptr; // lives as long as the program
    MyGlobal* global = nullptr;

private:
    EditorEnvironment();
};

class EditorTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    KivHarness& harness() { return *env->harness; }
    ContextManager& stack();
    // Loads the level of that number through a level manager on the stack, with or without the "-editor"
    // option; false (and a failure) when the level archive lacks it.
    bool loadLevel(bool editorAllowed, int number = 4);
    void closeLevel();
    GameController& level();
    ContextEditor& editor();

    // Frames of the whole stack (input polled, ticked, drawn).
    void frames(int count);
    // Ticks of the whole stack at the frame step, without input or drawing (the level's clocks run).
    void ticks(int count);
    // Ticks until the level's controller is in that state; false (and a failure) when `limit` ticks pass.
    bool tickToState(int32_t state, int limit);
    // A key tap (down for one frame, then up for one), by the window system's key name.
    void tap(const std::string& key);
    void tapWith(const std::string& modifier, const std::string& key);
    // Mouse at screen pixels from the lower-left corner.
    void mouseMove(float x, float y);
    void mouseButton(int button, bool down);
    // A world point of the game layer in screen pixels from the lower-left corner.
    V3 gameToScreen(const V3& world);
    // Centres the editor camera on the object at one unit a pixel, points at it and presses the left button;
    // answers where on the screen it was pressed.
    V3 pressOn(const EditorObject& object);

    // The editor panel's row of the property with that name (depth first), or null.
    PropertyField* panelRow(UStringView name);
    // A click on the value row of that property, then the text typed into its box one character a frame,
    // without Enter; the row, or null (and a failure) when the panel has no such row.
    PropertyFieldValue* typeInto(UStringView name, const std::string& text);

    // Console lines printed since the test began that contain `text`.
    int consoleCount(const std::string& text) const;
    int consoleIndex(const std::string& text, int from = 0) const;
    std::string consoleLine(int index) const;

    void saveScreenshot(const std::string& name);
    // A frame of the whole stack, then its pixels (0xAARRGGBB rows from the top).
    std::vector<std::uint32_t> screen();
    // The stack drawn as it stands, without a tick, then its pixels.
    std::vector<std::uint32_t> drawn();

    EditorEnvironment* env = nullptr;
    std::unique_ptr<ContextLevelManager> manager;
    int levelNumber = -1;
    std::size_t consoleStart = 0;
    float mouseX = 0.0f;
    float mouseY = 0.0f;
};
