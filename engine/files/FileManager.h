#pragma once
// The file layer: loose files, archives and the packed user files.
//
// Files are named by relative paths ("gfx/system/kmstudios.tga", "./levels/b1.lev"). While archives are
// read (bUseWad) a name is looked up, ignoring case, in the file table that every archive selected with
// useWad adds its entries to; otherwise, while the force-disk flag is set, and in archive-building mode,
// names are loose files. In archive-building mode each file opened while an archive is current is
// recorded into that archive's listing, and writeWads packs the listings into their archives.
//
// The engine object owns the one file manager; the newest FileManager is the process's file manager
// (instance()) until it is destroyed, for the resource classes that are made from a file name alone.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "engine/core/UString.h"
#include "engine/files/FileData.h"

class WadReader;

class FileManager {
public:
    FileManager();
    // In archive-building mode the recorded archives are written first.
    ~FileManager();
    FileManager(const FileManager&) = delete;
    FileManager& operator=(const FileManager&) = delete;

    static FileManager* instance();

    bool bUseWad = true;    // read archives at all
    bool bBuildWad = false; // archive-building mode: read loose files, record them into the current archive
    bool bForceDisk = false; // read loose files while set
    int renderMode = 1;     // 2 selects the ".hq2x" archives
    // Relative names of loose files and archives are looked up in this folder (with a trailing "/"); the
    // engine sets it to the folder of the program. Empty: the current folder.
    std::string dataFolder;

    // Where a loose file or an archive of this name lies: absolute names as they are, others in the
    // data folder of the process's file manager.
    static std::string diskPath(UStringView name);

    // Makes the archive current (with ".hq2x" appended in render mode 2). When archives are read and
    // this archive was not opened before, its directory is read and its entries join the file table.
    // A missing archive is fatal, and so is an archive of another version or a damaged one.
    void useWad(UStringView name);
    const UString& currentWad() const { return current; }

    // True while names are loose files rather than archive entries.
    bool readsLooseFiles() const { return !bUseWad || bBuildWad || bForceDisk; }
    bool exists(UStringView name) const;
    static bool existsDisk(UStringView path);
    // Returns when the loose file exists; else fatal "File %s verification failed (errno %d:%s, cwd %s)".
    static void verifyFileDisk(UStringView name);
    // verifyFileDisk while loose files are read; else fatal "File '%s' does not exist." when the file
    // table does not have it.
    void verifyFile(UStringView name) const;

    // Reads a whole file. A missing loose file is fatal ("Failed to open file '%s' (errno %d:%s, cwd %s)"),
    // and so is a name the file table does not have ("WAD entry %s not found.").
    FileData open(UStringView name);

    // Archive-building mode: packs every recorded archive and writes it (with Zopfli). Archives selected
    // but without recorded files are written empty, so that they can be selected when reading.
    void writeWads();

    // What loadUserFile found.
    enum class UserFile {
        Loaded,     // the record holds the file's payload
        Missing,    // no file yet: the record keeps its defaults
        Unreadable, // the file exists but cannot be read: the record keeps its defaults and the file is
                    // never saved over in this run
        Damaged,    // the file was read but failed a check: the record keeps its defaults and the file
                    // was copied aside (keepDamagedCopy) before a save replaces it
    };
    // Reads the packed user file folder + fileName and copies its payload over `record` only when the
    // digest checks, the stored size equals `expectedSize` and the stream inflates to exactly that size.
    // Otherwise the record is untouched and the log says why.
    static UserFile loadUserFile(void* record, std::size_t expectedSize, UStringView folder, UStringView fileName,
                                 UStringView version);
    // Writes the record as a packed user file, replacing the old one only once the new one is complete.
    // False (and nothing written) for a file that could not be read in this run.
    static bool saveUserFile(const void* record, std::size_t size, UStringView folder, UStringView fileName,
                             UStringView version);
    // Remembers that the file could not be read: saves leave it alone for the rest of the run.
    static void keepUnreadableFile(const std::string& path);
    static bool isKeptUnreadable(const std::string& path);
    // Keeps the bytes of a damaged file beside it under a name of its own, the first one free of
    // path + ".bad", ".bad2", ".bad3", ... up to ".bad<MAX_DAMAGED_COPIES>"; a copy kept before is never
    // replaced. Gives the name used (keptAs); false when no copy could be written.
    static bool keepDamagedCopy(const std::string& path, const std::vector<std::uint8_t>& bytes,
                                std::string* keptAs = nullptr);
    static constexpr int MAX_DAMAGED_COPIES = 99;
    // A file of the user folder could not be written (errno `err`). The log may live in that very folder,
    // so the first failure of the run (of the process's file manager) also goes to standard error, naming
    // the folder and the reason; the caller logs every failure as before and the game goes on.
    static void reportFailedSave(const std::string& path, int err);

private:
    struct Location {
        std::size_t archive;
        std::size_t entry;
    };
    struct Listing {
        std::string path; // the archive to write
        std::vector<std::pair<std::string, std::string>> files; // stored name, loose file it came from
        std::unordered_set<std::string> keys;
    };

    Listing& listingFor(const std::string& path);

    UString current;
    std::vector<std::unique_ptr<WadReader>> archives;
    std::unordered_set<std::string> openedArchives;
    std::unordered_map<std::string, Location> fileTable;
    std::vector<Listing> listings;
    bool listingsChanged = false; // recorded since the last writeWads
    std::atomic<bool> failedSaveReported{false};
    FileManager* previous = nullptr;
};
