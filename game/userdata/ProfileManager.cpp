#include "game/userdata/ProfileManager.h"

#include <algorithm>
#include <cstring>

#include "engine/core/GameInfo.h"
#include "engine/core/Logger.h"
#include "engine/files/FileManager.h"
#include "game/userdata/GameConfiguration.h"

ProfileManager::ProfileManager()
{
    // Every slot free, with id 0 and all statistics zero.
    std::memset(static_cast<void*>(this), 0, sizeof *this);
    currentProfile = 0;
    load();
    onCurrentProfileChanged();
}

ProfileManager::~ProfileManager() { save(); }

void ProfileManager::load()
{
    FileManager::loadUserFile(this, sizeof *this, GameConfiguration::getSaveFolder(), getProfileFileName(),
                              GameInfo::VERSION);
    bringIntoRange();
}

void ProfileManager::save() const
{
    FileManager::saveUserFile(this, sizeof *this, GameConfiguration::getSaveFolder(), getProfileFileName(),
                              GameInfo::VERSION);
}

// A file written by this program is left as it is; a hand-edited or foreign one cannot index outside the
// slots or the level tables.
void ProfileManager::bringIntoRange()
{
    currentProfile = std::clamp(currentProfile, 0, MAXPROFILES - 1);
    for (ProfileData& profile : profiles) {
        profile.bringIntoRange();
    }
}

void ProfileManager::addProfile(const UString& name)
{
    for (int slot = 0; slot < MAXPROFILES; ++slot) {
        if (profiles[slot].name[0] == 0) {
            profiles[slot] = ProfileData();
            profiles[slot].setName(name);
            currentProfile = slot;
            onCurrentProfileChanged();
            return;
        }
    }
}

void ProfileManager::deleteProfile(int slot)
{
    if (slot < 0 || slot >= MAXPROFILES) {
        return;
    }
    for (int i = slot; i < MAXPROFILES - 1; ++i) {
        profiles[i] = profiles[i + 1];
    }
    profiles[MAXPROFILES - 1].reset();
    if (slot < currentProfile) {
        // The current player moved down with the others.
        --currentProfile;
    } else if (slot == currentProfile && profiles[slot].name[0] == 0) {
        currentProfile = 0;
    }
}

int ProfileManager::countProfiles() const
{
    return static_cast<int>(
        std::count_if(std::begin(profiles), std::end(profiles), [](const ProfileData& p) { return p.name[0] != 0; }));
}

UString ProfileManager::getProfileName(int slot) const
{
    return slot >= 0 && slot < MAXPROFILES ? profiles[slot].getName() : UString();
}

void ProfileManager::onCurrentProfileChanged()
{
    ProfileData& profile = getCurrentProfile();
    UString name = profile.getName();
    if (name.size() > MAXNAMELENGTH) {
        name.resize(MAXNAMELENGTH);
        profile.setName(name);
    }
    Logger::logFrom("ProfileManager::onCurrentProfileChanged", u"Changing profile to '%s'...", name);
    if (profileChanged != nullptr) {
        profileChanged();
    }
}

UString ProfileManager::getProfileFileName() { return UString(GameInfo::GAME_ID) + u".pro"; }

UString ProfileManager::getFilePath() { return GameConfiguration::getSaveFolder() + getProfileFileName(); }
