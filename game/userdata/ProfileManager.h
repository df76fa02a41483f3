#pragma once
// The up to ten players of the installation and the index of the current one. The record is stored whole,
// byte for byte, as the payload of the user file game id + ".pro" in the user data folder, so its layout
// (little-endian, 52888 bytes, padding zero) is a file format. Used slots stay at the front: adding takes
// the first free slot and deleting closes the gap.
//
// Construction starts with every slot free, loads the file and announces the current player; destruction
// saves.
#include <cstddef>
#include <cstdint>

#include "engine/core/UString.h"
#include "game/userdata/ProfileData.h"

class ProfileManager {
public:
    static constexpr int MAXPROFILES = 10;
    // A player's name is kept to this many UTF-16 units once the player becomes current.
    static constexpr std::size_t MAXNAMELENGTH = 16;

    ProfileManager();
    ~ProfileManager();
    // One store for the installation: a copy would save over it when destroyed.
    ProfileManager(const ProfileManager&) = delete;
    ProfileManager& operator=(const ProfileManager&) = delete;

    // Reads the ".pro" file over the store; a missing, damaged or differently sized file keeps it as it is.
    void load();
    void save() const;

    // A fresh player with this name in the first free slot, made current; nothing when all slots are used.
    void addProfile(const UString& name);
    // Removes a player: the later players move down one slot and the last slot becomes free.
    void deleteProfile(int slot);
    int countProfiles() const;
    UString getProfileName(int slot) const;
    // Shortens the current player's name to MAXNAMELENGTH units, logs the change and tells profileChanged.
    void onCurrentProfileChanged();
    // Told whenever the current player changes (the front end forgets its highlighted high-score row).
    static inline void (*profileChanged)() = nullptr;

    ProfileData& getCurrentProfile() { return profiles[currentProfile]; }
    const ProfileData& getCurrentProfile() const { return profiles[currentProfile]; }

    static UString getProfileFileName();
    static UString getFilePath();

    int32_t currentProfile;          // slot of the current player, 0..9
    uint8_t padding0[4];
    ProfileData profiles[MAXPROFILES];

private:
    void bringIntoRange();
};

static_assert(sizeof(ProfileManager) == 52888);
static_assert(offsetof(ProfileManager, profiles) == 8);
