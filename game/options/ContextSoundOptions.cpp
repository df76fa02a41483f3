#include "game/options/ContextSoundOptions.h"

#include "game/front/Global.h"
#include "game/language/Language.h"
#include "game/menus/MenuChoiceItem.h"
#include "game/menus/MenuSoundToggleItem.h"
#include "game/menus/MenuSupport.h"
#include "game/menus/MenuToggleItem.h"
#include "game/menus/MenuVolumeItem.h"

ContextSoundOptions::ContextSoundOptions() : ContextOptionPage(STR_SOUND)
{
    GameConfiguration& config = Global::instance()->config;
    addItem(new MenuChoiceItem(64.0f, row(2), 0.0f, &config.soundQuality, 0, 2, STR_ENUMSOUNDQUALITY0,
                               MenuSupport::text(STR_SOUNDQUALITY), MenuSupport::text(STR_SOUNDQUALITYHINT)));
    addItem(new MenuVolumeItem(64.0f, row(1), 0.0f, &config.soundVolume, 0, 24, MenuSupport::text(STR_SOUNDVOLUME),
                               UString()));
    addItem(new MenuVolumeItem(64.0f, row(0), 0.0f, &config.musicVolume, 0, 24, MenuSupport::text(STR_MUSICVOLUME),
                               UString()));
    addItem(new MenuToggleItem(0.0f, row(-1), 0.0f, asFlag(config.bInGameMusic), MenuSupport::text(STR_INGAMEMUSIC),
                               MenuSupport::text(STR_INGAMEMUSICHINT)));
    addItem(new MenuSoundToggleItem(0.0f, row(-2), 0.0f, asFlag(config.bMuteAudio), MenuSupport::text(STR_MUTEAUDIO),
                                    MenuSupport::text(STR_MUTEAUDIOHINT)));
    addBackButton();
}

void ContextSoundOptions::onDeactivate(bool closing)
{
    ContextOptionPage::onDeactivate(closing);
    if (closing) {
        if (Global* global = Global::instance()) {
            global->applySettings(-1, -1);
        }
    }
}
