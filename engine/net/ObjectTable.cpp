#include "engine/net/ObjectTable.h"

#include <algorithm>

namespace {
std::size_t hashOf(int32_t uid) { return static_cast<std::size_t>(static_cast<uint32_t>(uid) * 0x9E3779B1u); }
} // namespace

bool ObjectTable::fitsFlat(int32_t uid) const
{
    const std::size_t u = static_cast<std::size_t>(uid);
    return u < FLAT_FREE || u < 4 * (count + 1);
}

void ObjectTable::growFlat(std::size_t size)
{
    flat.resize(size);
    if (sparseCount == 0) {
        return;
    }
    // Entries of the map that the flat table now covers move over.
    std::vector<SparseSlot> old;
    old.swap(sparse);
    sparseCount = 0;
    sparseUsed = 0;
    for (const SparseSlot& s : old) {
        if (s.uid <= 0) {
            continue;
        }
        if (static_cast<std::size_t>(s.uid) < flat.size()) {
            flat[static_cast<std::size_t>(s.uid)] = s.slot;
        } else {
            insertSparse(s.uid, s.slot.object, s.slot.mark);
        }
    }
}

void ObjectTable::reserveUpTo(int32_t uid)
{
    if (uid > 0 && static_cast<std::size_t>(uid) >= flat.size() && fitsFlat(uid)) {
        growFlat(static_cast<std::size_t>(uid) + 1);
    }
}

void ObjectTable::insertGrowing(int32_t uid, KivBase* object)
{
    const std::size_t u = static_cast<std::size_t>(uid);
    if (u >= flat.size() && fitsFlat(uid)) {
        growFlat(std::max<std::size_t>({u + 1, flat.size() * 2, 64}));
    }
    if (u < flat.size()) {
        flat[u] = Slot{object, 0};
    } else {
        insertSparse(uid, object, 0);
    }
    ++count;
}

void ObjectTable::erase(int32_t uid)
{
    Slot* slot = slotOf(uid);
    if (slot == nullptr || slot->object == nullptr) {
        return;
    }
    *slot = Slot{};
    --count;
    if (uid >= 0 && static_cast<std::size_t>(uid) < flat.size()) {
        return;
    }
    // A removed map slot is marked so that probing goes on past it.
    sparseEntry(uid)->uid = -1;
    --sparseCount;
}

void ObjectTable::clear()
{
    flat.clear();
    sparse.clear();
    sparseCount = 0;
    sparseUsed = 0;
    count = 0;
}

std::vector<std::pair<int32_t, KivBase*>> ObjectTable::entries() const
{
    std::vector<std::pair<int32_t, KivBase*>> out;
    out.reserve(count);
    for (std::size_t u = 0; u < flat.size(); ++u) {
        if (flat[u].object != nullptr) {
            out.emplace_back(static_cast<int32_t>(u), flat[u].object);
        }
    }
    const std::size_t flatEntries = out.size();
    for (const SparseSlot& s : sparse) {
        if (s.uid > 0) {
            out.emplace_back(s.uid, s.slot.object);
        }
    }
    // Every map UID lies beyond the flat table.
    std::sort(out.begin() + static_cast<std::ptrdiff_t>(flatEntries), out.end());
    return out;
}

ObjectTable::Iterator ObjectTable::begin() const
{
    sortedSparse.clear();
    for (const SparseSlot& s : sparse) {
        if (s.uid > 0) {
            sortedSparse.push_back(s.uid);
        }
    }
    std::sort(sortedSparse.begin(), sortedSparse.end());
    return Iterator(this, 0);
}

void ObjectTable::Iterator::skipEmpty()
{
    while (index < table->flat.size() && table->flat[index].object == nullptr) {
        ++index;
    }
}

ObjectTable::Iterator& ObjectTable::Iterator::operator++()
{
    ++index;
    skipEmpty();
    return *this;
}

std::pair<int32_t, KivBase*> ObjectTable::Iterator::operator*() const
{
    if (index < table->flat.size()) {
        return {static_cast<int32_t>(index), table->flat[index].object};
    }
    const int32_t uid = table->sortedSparse[index - table->flat.size()];
    return {uid, table->get(uid)};
}

bool ObjectTable::isMarked(int32_t uid, uint32_t mark) const
{
    const Slot* slot = slotOf(uid);
    return slot != nullptr && slot->object != nullptr && slot->mark == mark;
}

ObjectTable::Slot* ObjectTable::slotOf(int32_t uid)
{
    return const_cast<Slot*>(static_cast<const ObjectTable*>(this)->slotOf(uid));
}

const ObjectTable::Slot* ObjectTable::slotOf(int32_t uid) const
{
    if (uid >= 0 && static_cast<std::size_t>(uid) < flat.size()) {
        return &flat[static_cast<std::size_t>(uid)];
    }
    return sparseSlot(uid);
}

KivBase* ObjectTable::findSparse(int32_t uid) const
{
    const Slot* slot = sparseSlot(uid);
    return slot != nullptr ? slot->object : nullptr;
}

const ObjectTable::Slot* ObjectTable::sparseSlot(int32_t uid) const
{
    const SparseSlot* entry = const_cast<ObjectTable*>(this)->sparseEntry(uid);
    return entry != nullptr ? &entry->slot : nullptr;
}

ObjectTable::SparseSlot* ObjectTable::sparseEntry(int32_t uid)
{
    if (sparse.empty() || uid <= 0) {
        return nullptr;
    }
    const std::size_t mask = sparse.size() - 1;
    for (std::size_t i = hashOf(uid) & mask;; i = (i + 1) & mask) {
        SparseSlot& s = sparse[i];
        if (s.uid == uid) {
            return &s;
        }
        if (s.uid == 0) {
            return nullptr;
        }
    }
}

void ObjectTable::insertSparse(int32_t uid, KivBase* object, uint32_t mark)
{
    // At most half full, removed slots counted.
    if ((sparseUsed + 1) * 2 > sparse.size()) {
        std::size_t capacity = 16;
        while (capacity < (sparseCount + 1) * 4) {
            capacity *= 2;
        }
        rehashSparse(capacity);
    }
    const std::size_t mask = sparse.size() - 1;
    std::size_t i = hashOf(uid) & mask;
    while (sparse[i].uid > 0) {
        i = (i + 1) & mask;
    }
    if (sparse[i].uid == 0) {
        ++sparseUsed;
    }
    sparse[i].uid = uid;
    sparse[i].slot = Slot{object, mark};
    ++sparseCount;
}

void ObjectTable::rehashSparse(std::size_t capacity)
{
    std::vector<SparseSlot> old(capacity);
    old.swap(sparse);
    sparseCount = 0;
    sparseUsed = 0;
    for (const SparseSlot& s : old) {
        if (s.uid > 0) {
            insertSparse(s.uid, s.slot.object, s.slot.mark);
        }
    }
}
