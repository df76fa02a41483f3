#pragma once
// The class registry. Every RuntimeClass record registers itself here during static initialisation;
// buildClassArray sorts the records by name (UTF-16 code units) and each record's index becomes its
// position. That index is the class id in datagrams and level files, so the set of registered names fixes
// every class id. Two records with the same name set bBadClasses and stop the program.
#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "engine/core/RuntimeClass.h"

class RuntimeClassManager {
public:
    static RuntimeClassManager* getInstance()
    {
        static RuntimeClassManager instance;
        return &instance;
    }

    void registerClass(RuntimeClass* record);
    void unregisterClass(RuntimeClass* record);
    // Sorts the records and sets their indices; later calls rebuild only when the records changed.
    // Duplicate names are logged and fail the assertion "!bBadClasses".
    void buildClassArray()
    {
        if (bDirty) {
            rebuildClassArray();
        }
    }

    // The look-ups build the array first when records have changed since.
    const std::vector<RuntimeClass*>& getClasses();
    int32_t getClassCount();
    // By registry index; null when out of range.
    const RuntimeClass* getClassByIndex(int32_t index)
    {
        buildClassArray();
        if (index < 0 || static_cast<std::size_t>(index) >= classArray.size()) {
            return nullptr;
        }
        return classArray[static_cast<std::size_t>(index)];
    }
    const RuntimeClass* findClassByName(UStringView name);
    const RuntimeClass* findClassById(uint32_t id);

    bool bBadClasses = false;

private:
    RuntimeClassManager() = default;
    void rebuildClassArray();

    RuntimeClass* firstRecord = nullptr;
    bool bDirty = true;
    std::vector<RuntimeClass*> classArray;
    std::unordered_map<uint32_t, const RuntimeClass*> byId;
};
