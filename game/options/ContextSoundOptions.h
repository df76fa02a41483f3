#pragma once
// The Sound page: output quality (taken up when the audio device next starts), the sound and music
// volumes and the mute switch (heard at once), and the level music switch. Closing the page applies the
// settings once more.
#include "game/options/ContextOptionPage.h"

class ContextSoundOptions : public ContextOptionPage {
public:
    ContextSoundOptions();

    void onDeactivate(bool closing) override;
};
