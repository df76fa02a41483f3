#pragma once
// Sets an environment variable for the life of the object, then puts back what was there before.
#include <cstdlib>
#include <string>

class EnvironmentVariable {
public:
    EnvironmentVariable(const char* name, const std::string& value) : name(name)
    {
        if (const char* old = std::getenv(name)) {
            saved = old;
            had = true;
        }
        setenv(name, value.c_str(), 1);
    }
    ~EnvironmentVariable()
    {
        if (had) {
            setenv(name, saved.c_str(), 1);
        } else {
            unsetenv(name);
        }
    }
    EnvironmentVariable(const EnvironmentVariable&) = delete;
    EnvironmentVariable& operator=(const EnvironmentVariable&) = delete;

private:
    const char* name;
    std::string saved;
    bool had = false;
};
