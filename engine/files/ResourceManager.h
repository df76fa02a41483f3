#pragma once
// The name-to-resource registry: textures, sprite frames ("basketA:0"), sounds, music, fonts and file
// blocks are registered under their names once loaded and found by name afterwards. It does not own the
// resources (they live in the game's resource holder). Names are kept in name order (UTF-16 units), which
// is the order of a walk.
//
// The engine object owns the one resource manager; the newest ResourceManager is the process's resource
// manager (instance()) until it is destroyed.
#include <map>
#include <unordered_map>

#include "engine/core/ErrorManager.h"
#include "engine/core/Format.h"
#include "engine/core/KivBase.h"
#include "engine/core/UString.h"

class ResourceManager {
public:
    ResourceManager();
    ~ResourceManager();
    ResourceManager(const ResourceManager&) = delete;
    ResourceManager& operator=(const ResourceManager&) = delete;

    static ResourceManager* instance();

    // Adds the pair to both maps; a name that is already registered fails an assertion.
    void addResource(UStringView name, KivBase* object);
    // The resource of that name; null when missing, or fatal "Could not find resource '%s'." with `fatal`.
    KivBase* find(UStringView name, bool fatal) const;
    // The resource of that name as a T; fatal when it is missing or of another kind.
    template <class T>
    T* find(UStringView name) const
    {
        KivBase* object = find(name, true);
        T* typed = dynamic_cast<T*>(object);
        if (typed == nullptr) {
            wrongKind(name, object, kindName<T>());
        }
        return typed;
    }
    // The name a resource was registered under; null for an object that is not registered.
    const UString* nameOf(const KivBase* object) const;

    // The walk in name order: every name with its resource.
    const std::map<UString, KivBase*, std::less<>>& resources() const { return map; }

private:
    template <class T>
    static UString kindName()
    {
        if constexpr (requires { T::classRecord.getName(); }) {
            return T::classRecord.getName();
        } else {
            return u"the requested kind";
        }
    }
    [[noreturn]] static void wrongKind(UStringView name, const KivBase* object, const UString& kind);

    std::map<UString, KivBase*, std::less<>> map;
    std::unordered_map<const KivBase*, UString> names;
    ResourceManager* previous = nullptr;
};
