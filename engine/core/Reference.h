#pragma once
// A member that refers to another object without owning it. It links itself into the target's list of
// back-references, so deleting the target empties it. Whenever a reference that had a target is emptied
// (set to null, or its target deleted) its owner receives an event of type 0 naming the reference.
class KivBase;

class Reference {
public:
    explicit Reference(KivBase* owner = nullptr) : owner(owner) {}
    ~Reference();
    Reference(const Reference&) = delete;
    Reference& operator=(const Reference&) = delete;

    void set(KivBase* object);
    KivBase* get() const { return target; }
    template <class T>
    T* getAs() const { return static_cast<T*>(target); }
    KivBase* getOwner() const { return owner; }
    void setOwner(KivBase* object) { owner = object; }

private:
    void linkTo(KivBase* object);
    void unlinkFromTarget();

    KivBase* owner = nullptr;
    KivBase* target = nullptr;
    Reference* prevInTarget = nullptr;
    Reference* nextInTarget = nullptr;
};
