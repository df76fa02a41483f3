#pragma once
// Base of every engine and game object: a node of the object tree (BasicLink) with a state machine
// (StateBase), a replicated object id, flags for the child walks and events, and an event listener.
// A plain KivBase serves as a container of child objects.
#include <cstddef>
#include <cstdint>

#include "engine/core/BasicLink.h"
#include "engine/core/KivEvent.h"
#include "engine/core/RuntimeClass.h"
#include "engine/core/StateBase.h"
#include "engine/core/V3.h"

class Packet;
class Property;
class PropertyContainer;
class Reference;

class KivBase : public BasicLink, public StateBase {
public:
    static const RuntimeClass classRecord;

    // What the network layer adds to every object. Each hook may be null.
    struct NetHooks {
        // Deletes a registered object through the current role (replicated deletion). Answers false when
        // no role took it; the object is then deleted at once. A taken object must leave its parent.
        bool (*destroyReplicated)(KivBase& object) = nullptr;
        // Called while a registered object is being deleted, so the role forgets it.
        void (*forgetObject)(KivBase& object) = nullptr;
        // Sends the remote state change when the role says so, then runs local_gotoState where it must run.
        void (*gotoState)(KivBase& object, int32_t newState, double delay) = nullptr;
    };
    static void setNetHooks(const NetHooks& hooks);

    KivBase() = default;

    // Objects come from the object pool; delete hands back the size of the object's own class.
    static void* operator new(std::size_t size);
    static void operator delete(void* block, std::size_t size) noexcept;

    // Virtual operations, in table order.
    virtual const RuntimeClass* getClass() const { return &classRecord; }
    ~KivBase() override;
    // Registered objects go to the network role for replicated deletion; others are deleted at once.
    virtual void destroy();
    virtual void tick(double time, double dt);
    virtual void render();
    // The object under `point`: the children from the last to the first, then this object.
    virtual KivBase* findObjectUnderPointer(const V3& point);
    virtual bool isPointInside(const V3& point);
    virtual bool dispatchCapture(KivEvent& event);
    virtual bool dispatchBubble(KivEvent& event);
    virtual bool onEventCapture(KivEvent& event);
    virtual bool onEvent(KivEvent& event);
    virtual bool onEventBubble(KivEvent& event);
    virtual void onKIVmodeChange(int from, int to);
    virtual void onInputModeChange();
    // Releases resources that nothing uses, and takes them back.
    virtual void purge();
    virtual void unpurge();
    // The parent's UID (netSerializeParent), then the object's own data: what its property list
    // serialises, written and read through its class's layout (PropertyLayout) where it has one.
    virtual void netSerialize(Packet& packet);
    virtual void netSerializeData(Packet& packet);
    virtual void netPostReplicate();
    virtual void netPostReplicateGlobal();
    // Destroys the last child until no child is left.
    virtual void destroyAllChildren();
    virtual void addChild(KivBase* child);
    virtual void removeChild(KivBase* child);

    // The parent's UID (0 for none or an unregistered parent); reading moves the object to the end of
    // that parent's children, so a replayed stream rebuilds the tree in order. Defined by the network layer.
    void netSerializeParent(Packet& packet);
    // The UID netSerializeParent writes for the parent: 0 for none or one that no role has registered.
    uint32_t streamParentUID() const;
    // Moves the object to the end of `newParent`'s children (nothing for null); a new parent that fails
    // checkPlacement is reported through the packet. Defined by the network layer.
    void placeBelow(const Packet& packet, KivBase* newParent);
    // Reports through the packet a new parent that lies below the object, or one that would put the object
    // or its children deeper than the role allows (NetRole::MAX_TREE_DEPTH). Defined by the network layer.
    void checkPlacement(const Packet& packet, const KivBase* newParent) const;
    // Replicated add-child and post-replicate calls (defined by the network layer): run on every peer.
    void netAddChild(KivBase* child);
    void netCallPostReplicate();
    void netCallPostReplicateGlobal();

    // objectUID, then the state machine as a nested list.
    void addPropertiesTo(Property& list) override;
    // A new list, owned by the caller, named after the class and the address.
    PropertyContainer* getProperties();

    // Offers `event` to the target's parent (capture), the target, then the parents (bubble); the first
    // step that answers true ends it.
    static bool sendEvent(KivEvent& event);

    // Goes to `newState` after `delay` seconds (at once for 0 or less); a repeated request for the state
    // already pending does not restart the countdown. Replicated when a network role is present.
    void gotoState(int32_t newState, double delay);
    void local_gotoState(int32_t newState, double delay);

    bool isValidUID() const { return objectUID > 0; }
    bool isDerivedFrom(const RuntimeClass* runtimeClass) const;
    // The object's class by its name in the source ("HullVertex"), for messages: the class registry knows
    // a game class only by its id.
    UString getTypeName() const;
    // True when this object or one of its ancestors ignores events.
    bool isIgnoringEvents() const;

    KivBase* getParent() const { return static_cast<KivBase*>(getParentLink()); }
    KivBase* getFirstChild() const { return static_cast<KivBase*>(getFirstChildLink()); }
    KivBase* getLastChild() const { return static_cast<KivBase*>(getLastChildLink()); }
    KivBase* getNext() const { return static_cast<KivBase*>(getNextLink()); }
    KivBase* getPrev() const { return static_cast<KivBase*>(getPrevLink()); }

    int32_t objectUID = 0;
    bool bDeleted = false; // flagged for deletion: the walks skip it, tick and render destroy it
    bool bIgnoreEvents = false;
    KivBase* eventListener = nullptr;

private:
    friend class Reference;
    Reference* firstBackReference = nullptr;
};
