#pragma once
// One line of the end-of-level results: it plays in the middle of the screen (label, value, a counted-up
// percentage with a bell, a star and a trophy bursting in), then slides, shrinking, into its place in the
// results table. Its script runs on its state machine (states 1 to 4) after its start delay.
#include <cstdint>

#include "engine/core/KivBase.h"
#include "engine/core/UColor.h"
#include "engine/core/UString.h"

class Renderable;
class TextSprite;

class StatsRow : public KivBase {
public:
    StatsRow(int32_t target, const V3& rowPosition, UColor starColour, int32_t semitoneOffset, bool trophy,
             bool star, bool totalRow, const UString& label, const UString& value, double startDelay);
    ~StatsRow() override;

    void tick(double time, double dt) override;
    void onStateChange() override;

    // The part of a row's slide into the table that takes its texts off the middle line, where the next
    // row appears; the next row waits for it.
    static constexpr double CLEAR_TIME = 0.5;

    double duration = 1.0;
    int32_t target;
    V3 rowPosition;
    int32_t semitoneOffset;
    bool bTrophy;
    bool bStar;
    bool bTotalRow;
    int32_t centreLineY = -50;
    TextSprite* labelText;
    TextSprite* valueText;
    TextSprite* counterText;
    Renderable* starSprite = nullptr;
    Renderable* trophySprite = nullptr;

private:
    // Deletes the texts and badges that were never attached.
    void deleteDetached();
    void addBadge(Renderable* sprite, float x, UColor particleColour, int textId);
};
