#pragma once
// A role's registered objects by UID. The UIDs a role hands out grow one by one from a small start, so
// they sit in a flat table indexed by UID; a UID far beyond the others (a stream may name any) goes to an
// open-addressing map instead. Walks over the table go in UID order. Each entry has a mark that tree
// walks set, so that a walk knows which objects it has taken without a set of its own.
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

class KivBase;

class ObjectTable {
public:
    // The object with that UID, or null.
    KivBase* get(int32_t uid) const
    {
        if (uid >= 0 && static_cast<std::size_t>(uid) < flat.size()) {
            return flat[static_cast<std::size_t>(uid)].object;
        }
        return sparseCount != 0 ? findSparse(uid) : nullptr;
    }
    bool contains(int32_t uid) const { return get(uid) != nullptr; }
    // Enters an object under a UID above 0 that is not in use.
    void insert(int32_t uid, KivBase* object)
    {
        if (uid >= 0 && static_cast<std::size_t>(uid) < flat.size()) {
            flat[static_cast<std::size_t>(uid)] = Slot{object, 0};
            ++count;
            return;
        }
        insertGrowing(uid, object);
    }
    // Forgets the UID (nothing when it is not in use).
    void erase(int32_t uid);
    void clear();
    std::size_t size() const { return count; }
    bool empty() const { return count == 0; }
    // Room in the flat table for UIDs up to `uid` without growing again.
    void reserveUpTo(int32_t uid);
    // Every entry as (UID, object), in UID order.
    std::vector<std::pair<int32_t, KivBase*>> entries() const;

    // A walk over the entries as (UID, object) pairs in UID order, like a map's. The table must not change
    // during the walk.
    class Iterator {
    public:
        std::pair<int32_t, KivBase*> operator*() const;
        Iterator& operator++();
        bool operator==(const Iterator& other) const { return index == other.index; }

    private:
        friend class ObjectTable;
        Iterator(const ObjectTable* table, std::size_t index) : table(table), index(index) { skipEmpty(); }
        void skipEmpty();
        const ObjectTable* table;
        std::size_t index; // into the flat table, then into the sorted map UIDs
    };
    Iterator begin() const;
    Iterator end() const { return Iterator(this, flat.size() + sortedSparse.size()); }

    // Tree walks: a new mark for each walk; markOnce sets the walk's mark on the object's entry and answers
    // whether the object is registered under its UID and was not marked by this walk before.
    uint32_t newMark() { return ++lastMark; }
    bool markOnce(int32_t uid, const KivBase* object, uint32_t mark)
    {
        Slot* slot = uid >= 0 && static_cast<std::size_t>(uid) < flat.size() ? &flat[static_cast<std::size_t>(uid)]
                                                                             : slotOf(uid);
        if (slot == nullptr || slot->object != object || slot->mark == mark) {
            return false;
        }
        slot->mark = mark;
        return true;
    }
    bool isMarked(int32_t uid, uint32_t mark) const;

private:
    struct Slot {
        KivBase* object = nullptr;
        uint32_t mark = 0;
    };
    struct SparseSlot {
        int32_t uid = 0; // 0 empty, -1 removed
        Slot slot;
    };

    // UIDs below this always fit the flat table; above it, those within four times the entry count.
    static constexpr std::size_t FLAT_FREE = 1u << 16;

    bool fitsFlat(int32_t uid) const;
    void insertGrowing(int32_t uid, KivBase* object);
    void growFlat(std::size_t size);
    KivBase* findSparse(int32_t uid) const;
    const Slot* sparseSlot(int32_t uid) const;
    SparseSlot* sparseEntry(int32_t uid);
    void insertSparse(int32_t uid, KivBase* object, uint32_t mark);
    void rehashSparse(std::size_t capacity);
    Slot* slotOf(int32_t uid);
    const Slot* slotOf(int32_t uid) const;

    std::vector<Slot> flat;
    std::vector<SparseSlot> sparse; // power-of-two size, linear probing
    std::size_t sparseCount = 0;
    std::size_t sparseUsed = 0; // entries and removed slots
    std::size_t count = 0;
    mutable uint32_t lastMark = 0;
    mutable std::vector<int32_t> sortedSparse; // the map's UIDs in order, made by begin
};
