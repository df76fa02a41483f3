#pragma once
// A fresh folder under the system's temporary folder, removed with everything in it at the end of scope.
#include <string>

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    // With a trailing "/".
    const std::string& path() const { return dir; }
    std::string file(const std::string& name) const { return dir + name; }

private:
    std::string dir;
};
