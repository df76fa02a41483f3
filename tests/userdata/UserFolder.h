#pragma once
// Points the user data folder at a fresh temporary folder for the life of a test.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "engine/core/UString.h"
#include "support/TempDir.h"

class UserFolder {
public:
    UserFolder()
    {
        if (const char* old = std::getenv("XDG_DATA_HOME")) {
            saved = old;
        }
        setenv("XDG_DATA_HOME", (dir.path() + "share").c_str(), 1);
    }
    ~UserFolder()
    {
        if (saved) {
            setenv("XDG_DATA_HOME", saved->c_str(), 1);
        } else {
            unsetenv("XDG_DATA_HOME");
        }
    }
    UserFolder(const UserFolder&) = delete;
    UserFolder& operator=(const UserFolder&) = delete;

    // A file of the user data folder.
    std::string file(const UString& name) const
    {
        return dir.path() + "share/Kestrelmoor studios/TobbleXmasdemo/1.25/" + wideToUtf8(name);
    }
    std::vector<char> read(const UString& name) const
    {
        std::ifstream in(file(name), std::ios::binary);
        return std::vector<char>(std::istreambuf_iterator<char>(in), {});
    }
    void write(const UString& name, const std::vector<char>& bytes) const
    {
        std::ofstream out(file(name), std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    bool exists(const UString& name) const { return std::filesystem::exists(file(name)); }

private:
    TempDir dir;
    std::optional<std::string> saved;
};
