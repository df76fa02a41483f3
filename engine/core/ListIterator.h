#pragma once
// Walks a list object's children in order. With flags 0 it visits the live, active children forwards.
//   for (ListIterator it(list, ListIterator::RELEASE_DELETED); it.current() != nullptr; it.next()) { ... }
#include <cstdint>

class KivBase;

class ListIterator {
public:
    static constexpr uint32_t BACKWARDS = 1;
    // A child flagged for deletion is destroyed once the walk has left it.
    static constexpr uint32_t RELEASE_DELETED = 2;
    static constexpr uint32_t INCLUDE_INACTIVE = 4;

    ListIterator(KivBase* list, uint32_t flags = 0);

    KivBase* current() const { return node; }
    template <class T>
    T* currentAs() const { return static_cast<T*>(node); }
    // Moves on to the next live node (null at the end).
    KivBase* next();

private:
    KivBase* step(KivBase* from) const;
    KivBase* skipToVisible(KivBase* from) const;

    uint32_t flags;
    KivBase* node = nullptr;
};
