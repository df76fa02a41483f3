#pragma once
// A hint: with a skin it is a sign the pig reads with its action; without one it fires when the pig
// enters its area. After hintDelay seconds it shows its text in a hint overlay or, with bSpeechBubble, as a
// speech bubble of its originator (the pig when there is none). An automatic hint shows once; a hint whose
// previousHint has not been shown waits. A hint box waits while another overlay is open and counts as
// shown once it opened; with the in-game help off, such hints count as shown unseen.
#include "engine/core/Reference.h"
#include "game/world/TriggerArea.h"

class Skin;

class TriggerHint : public TriggerArea {
public:
    static const RuntimeClass classRecord;
    static constexpr float QUERY_RANGE = 96.0f;
    // Longest hint key a level may carry (UTF-8 bytes).
    static constexpr std::size_t MAX_KEY_BYTES = 1023;

    TriggerHint();

    const RuntimeClass* getClass() const override { return &classRecord; }
    void tick(double time, double dt) override;
    void addPropertiesTo(Property& list) override;
    void checkValues(const LevelDataCheck::Run& run) override;

    bool queryAction(const V3& hero, int32_t& priority, float& distance) override;
    void use(Pig* pig) override;
    void onHeroEnter(Pig* pig) override;

    bool isSign() const { return pSkin != nullptr; }
    void trigger();
    // The wait mode of a speech bubble, from the text (before its placeholders are replaced) and its key.
    static int32_t waitModeFor(const UString& text, const UString& key);
    // The text with the control placeholders replaced by the names of the bound keys.
    static UString replacePlaceholders(const UString& text);

    UString hintTitleID;
    UString hintTextID;
    Skin* pIconSkin = nullptr;
    bool bSpeechBubble = false;
    bool bAutomatic = false;
    Reference originator{this};
    Reference previousHint{this};
    V3 hintNudge;
    float hintDelay = 0.0f;
    bool bShown = false;

private:
    // The text to show: the touch variant in touch mode when there is one; empty for a touch-only text
    // outside touch mode.
    UString hintText() const;
    // The text in a speech bubble of the originator (of the pig when there is none).
    void speak(const UString& text);

    bool bTriggered = false;
    double delayLeft = 0.0;
};
