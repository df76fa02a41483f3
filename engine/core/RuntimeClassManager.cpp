#include "engine/core/RuntimeClassManager.h"

#include <algorithm>

#include "engine/core/ErrorManager.h"
#include "engine/core/Logger.h"

void RuntimeClassManager::registerClass(RuntimeClass* record)
{
    record->next = firstRecord;
    firstRecord = record;
    bDirty = true;
}

void RuntimeClassManager::unregisterClass(RuntimeClass* record)
{
    RuntimeClass* previous = nullptr;
    for (RuntimeClass* r = firstRecord; r != nullptr; r = const_cast<RuntimeClass*>(r->next)) {
        if (r == record) {
            if (previous != nullptr) {
                previous->next = r->next;
            } else {
                firstRecord = const_cast<RuntimeClass*>(r->next);
            }
            break;
        }
        previous = r;
    }
    std::erase(classArray, record);
    byId.clear();
    bDirty = true;
}

void RuntimeClassManager::rebuildClassArray()
{
    bDirty = false;
    classArray.clear();
    for (const RuntimeClass* r = firstRecord; r != nullptr; r = r->next) {
        classArray.push_back(const_cast<RuntimeClass*>(r));
    }
    std::stable_sort(classArray.begin(), classArray.end(),
                     [](const RuntimeClass* a, const RuntimeClass* b) { return a->name < b->name; });
    byId.clear();
    bBadClasses = false;
    for (std::size_t i = 0; i < classArray.size(); ++i) {
        classArray[i]->index = static_cast<int32_t>(i);
        byId.emplace(classArray[i]->id, classArray[i]);
        if (i > 0 && classArray[i - 1]->name == classArray[i]->name) {
            bBadClasses = true;
            Logger::logFrom("RuntimeClassManager::buildClassArray", u"Duplicate class name '%s'.",
                            classArray[i]->name);
        }
    }
    // Two classes under one name would share a class id on the wire and in level files.
    KIV_ASSERT(!bBadClasses);
}

const std::vector<RuntimeClass*>& RuntimeClassManager::getClasses()
{
    buildClassArray();
    return classArray;
}

int32_t RuntimeClassManager::getClassCount()
{
    buildClassArray();
    return static_cast<int32_t>(classArray.size());
}

const RuntimeClass* RuntimeClassManager::findClassByName(UStringView name)
{
    buildClassArray();
    auto it = std::lower_bound(classArray.begin(), classArray.end(), name,
                               [](const RuntimeClass* a, UStringView n) { return UStringView(a->name) < n; });
    if (it != classArray.end() && (*it)->name == name) {
        return *it;
    }
    return nullptr;
}

const RuntimeClass* RuntimeClassManager::findClassById(uint32_t id)
{
    buildClassArray();
    auto it = byId.find(id);
    return it != byId.end() ? it->second : nullptr;
}
