#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/core/ErrorManager.h"
#include "engine/core/KivBase.h"
#include "engine/core/ListIterator.h"
#include "engine/core/Reference.h"
#include "engine/net/KivNetwork.h"
#include "engine/net/NetRole.h"

namespace {
// An object that writes what happens to it into a shared journal.
class Probe : public KivBase {
public:
    Probe(std::string name, std::vector<std::string>* journal) : name(std::move(name)), journal(journal) {}
    ~Probe() override { note("delete"); }

    void tick(double time, double dt) override
    {
        note("tick");
        if (flagSelfOnTick) {
            bDeleted = true;
        }
        KivBase::tick(time, dt);
    }
    bool onEventCapture(KivEvent& e) override { note("capture"); return answerCapture || KivBase::onEventCapture(e); }
    bool onEvent(KivEvent& e) override
    {
        note("event");
        lastEventType = e.type;
        lastReference = e.reference;
        return answerEvent || KivBase::onEvent(e);
    }
    bool onEventBubble(KivEvent& e) override { note("bubble"); return answerBubble || KivBase::onEventBubble(e); }
    void onStateChange() override { ++stateChanges; note("state " + std::to_string(state)); }

    void note(const std::string& what) const
    {
        if (journal != nullptr) {
            journal->push_back(name + " " + what);
        }
    }

    std::string name;
    std::vector<std::string>* journal;
    bool flagSelfOnTick = false;
    bool answerCapture = false;
    bool answerEvent = false;
    bool answerBubble = false;
    int stateChanges = 0;
    int lastEventType = -1;
    Reference* lastReference = nullptr;
};

std::vector<std::string> childNames(const KivBase& parent)
{
    std::vector<std::string> names;
    for (KivBase* c = parent.getFirstChild(); c != nullptr; c = c->getNext()) {
        names.push_back(static_cast<Probe*>(c)->name);
    }
    return names;
}
} // namespace

TEST(BasicLink, AppendInsertCountAndReparent)
{
    KivBase root;
    auto* a = new Probe("a", nullptr);
    auto* b = new Probe("b", nullptr);
    auto* c = new Probe("c", nullptr);
    root.appendChild(a);
    root.appendChild(c);
    root.insertChildAfter(b, a);
    EXPECT_EQ(childNames(root), (std::vector<std::string>{"a", "b", "c"}));
    auto* d = new Probe("d", nullptr);
    root.insertChildAfter(d, c); // after the last: becomes the last
    EXPECT_EQ(root.getLastChild(), d);
    auto* e = new Probe("e", nullptr);
    root.insertChildAfter(e, nullptr); // no sibling given: first
    EXPECT_EQ(childNames(root), (std::vector<std::string>{"e", "a", "b", "c", "d"}));
    EXPECT_EQ(root.countChildren(), 5);

    // Appending elsewhere moves the node.
    a->appendChild(d);
    EXPECT_EQ(root.countChildren(), 4);
    EXPECT_EQ(d->getParent(), a);

    root.setChildrenFlag(1);
    EXPECT_TRUE(a->bInactive && b->bInactive);
    EXPECT_FALSE(d->bInactive); // only direct children
    root.setChildrenFlag(0);
    EXPECT_FALSE(a->bInactive);
}

TEST(BasicLink, DeletingANodeDeletesItsChildrenLastFirst)
{
    std::vector<std::string> journal;
    auto* root = new Probe("root", &journal);
    auto* a = new Probe("a", &journal);
    root->appendChild(a);
    a->appendChild(new Probe("a1", &journal));
    root->appendChild(new Probe("b", &journal));
    root->appendChild(new Probe("c", &journal));
    delete root;
    // The destructor body runs first, then the children go, the last first, each with its own children.
    EXPECT_EQ(journal, (std::vector<std::string>{"root delete", "c delete", "b delete", "a delete", "a1 delete"}));
}

TEST(BasicLink, RefusesCycles)
{
    ErrorManager::setThrowForTests(true);
    KivBase root;
    auto* child = new KivBase;
    root.appendChild(child);
    EXPECT_THROW(child->appendChild(&root), FatalError);
    EXPECT_THROW(root.appendChild(&root), FatalError);
}

TEST(KivBase, EventOfferRunsCaptureFromTheTopThenTargetThenBubbleUpwards)
{
    std::vector<std::string> journal;
    Probe root("root", &journal);
    auto* mid = new Probe("mid", &journal);
    auto* target = new Probe("target", &journal);
    root.appendChild(mid);
    mid->appendChild(target);

    KivEvent event;
    event.type = 4;
    event.target = target;
    EXPECT_FALSE(KivBase::sendEvent(event));
    EXPECT_EQ(journal, (std::vector<std::string>{"root capture", "mid capture", "target event", "mid bubble",
                                                  "root bubble"}));

    // The first step that answers true ends the offer.
    journal.clear();
    root.answerCapture = true;
    EXPECT_TRUE(KivBase::sendEvent(event));
    EXPECT_EQ(journal, (std::vector<std::string>{"root capture"}));
    root.answerCapture = false;

    journal.clear();
    mid->answerBubble = true;
    EXPECT_TRUE(KivBase::sendEvent(event));
    EXPECT_EQ(journal, (std::vector<std::string>{"root capture", "mid capture", "target event", "mid bubble"}));
    mid->answerBubble = false;
}

TEST(KivBase, IgnoredEventsStopCaptureSkipTheTargetAndEndTheBubble)
{
    std::vector<std::string> journal;
    Probe root("root", &journal);
    auto* mid = new Probe("mid", &journal);
    auto* target = new Probe("target", &journal);
    root.appendChild(mid);
    mid->appendChild(target);
    KivEvent event;
    event.target = target;

    // An ancestor whose events are off swallows the event in the capture step.
    mid->bIgnoreEvents = true;
    EXPECT_TRUE(KivBase::sendEvent(event));
    EXPECT_TRUE(journal.empty());
    EXPECT_TRUE(target->isIgnoringEvents());
    mid->bIgnoreEvents = false;

    // A target whose events are off is skipped; capture and bubble still run.
    target->bIgnoreEvents = true;
    EXPECT_FALSE(KivBase::sendEvent(event));
    EXPECT_EQ(journal, (std::vector<std::string>{"root capture", "mid capture", "mid bubble", "root bubble"}));
}

TEST(KivBase, HandlersForwardToTheEventListener)
{
    std::vector<std::string> journal;
    Probe listener("listener", &journal);
    listener.answerEvent = true;
    KivBase root;
    auto* target = new KivBase;
    root.appendChild(target);
    target->eventListener = &listener;
    KivEvent event;
    event.target = target;
    EXPECT_TRUE(KivBase::sendEvent(event));
    EXPECT_EQ(journal, (std::vector<std::string>{"listener event"}));
}

TEST(StateBase, CountdownSwitchesOnceWhenItRunsOut)
{
    Probe o("o", nullptr);
    o.gotoState(2, 1.0);
    EXPECT_EQ(o.state, 0);
    EXPECT_EQ(o.stateGoto, 2);
    o.tick(0.0, 0.5);
    EXPECT_EQ(o.state, 0);
    EXPECT_DOUBLE_EQ(o.timeInState, 0.5);
    // A repeated request for the pending state does not restart the countdown.
    o.gotoState(2, 1.0);
    EXPECT_DOUBLE_EQ(o.stateLeft, 0.5);
    o.tick(0.5, 0.5);
    EXPECT_EQ(o.state, 2);
    EXPECT_DOUBLE_EQ(o.timeInState, 0.0);
    EXPECT_EQ(o.stateChanges, 1);
    o.tick(1.0, 0.25);
    EXPECT_EQ(o.stateChanges, 1);
    EXPECT_DOUBLE_EQ(o.timeInState, 0.25);
    // Requesting the state the object is in changes nothing.
    o.gotoState(2, 0.0);
    EXPECT_EQ(o.stateChanges, 1);
}

TEST(StateBase, ZeroOrNegativeDelayEntersAtOnceAndANewRequestReplacesThePendingOne)
{
    Probe o("o", nullptr);
    o.timeInState = 3.0;
    o.gotoState(5, 0.0);
    EXPECT_EQ(o.state, 5);
    EXPECT_EQ(o.stateChanges, 1);
    EXPECT_DOUBLE_EQ(o.timeInState, 0.0);
    o.gotoState(6, 2.0);
    o.gotoState(7, -1.0);
    EXPECT_EQ(o.state, 7);
    EXPECT_EQ(o.stateGoto, 7);
    EXPECT_EQ(o.stateChanges, 2);
    o.tick(0.0, 3.0); // the replaced countdown does not fire later
    EXPECT_EQ(o.state, 7);
    EXPECT_EQ(o.stateChanges, 2);

    o.enterStateNow(9);
    EXPECT_EQ(o.state, 9);
    EXPECT_EQ(o.stateChanges, 3);
    o.enterStateNow(9);
    EXPECT_EQ(o.stateChanges, 3);
}

TEST(KivBase, TickSkipsInactiveAndDestroysFlaggedChildrenAsItPasses)
{
    std::vector<std::string> journal;
    Probe root("root", &journal);
    auto* a = new Probe("a", &journal);
    auto* b = new Probe("b", &journal);
    auto* c = new Probe("c", &journal);
    auto* d = new Probe("d", &journal);
    root.appendChild(a);
    root.appendChild(b);
    root.appendChild(c);
    root.appendChild(d);
    b->flagSelfOnTick = true; // flags itself while visited
    c->bInactive = true;
    d->bDeleted = true; // flagged earlier: skipped, then destroyed
    root.tick(0.0, 0.1);
    EXPECT_EQ(journal, (std::vector<std::string>{"root tick", "a tick", "b tick", "b delete", "d delete"}));
    EXPECT_EQ(childNames(root), (std::vector<std::string>{"a", "c"}));
}

TEST(KivBase, DestroyHandsRegisteredObjectsToTheNetworkRole)
{
    static std::vector<KivBase*> handed;
    handed.clear();
    KivBase::NetHooks hooks;
    hooks.destroyReplicated = [](KivBase& o) {
        handed.push_back(&o);
        o.unlink();
        return true;
    };
    KivBase::setNetHooks(hooks);
    {
        KivBase root;
        auto* local = new KivBase;
        auto* registered = new KivBase;
        registered->objectUID = 7;
        root.appendChild(local);
        root.appendChild(registered);
        root.destroyAllChildren();
        EXPECT_EQ(root.countChildren(), 0);
        ASSERT_EQ(handed.size(), 1u);
        EXPECT_EQ(handed[0], registered);
        registered->objectUID = 0;
        delete registered;
    }
    KivBase::setNetHooks({});
}

TEST(ListIterator, FlagsChooseDirectionInactiveNodesAndRelease)
{
    std::vector<std::string> journal;
    Probe list("list", &journal);
    for (const char* n : {"a", "b", "c", "d"}) {
        list.appendChild(new Probe(n, &journal));
    }
    auto* b = static_cast<Probe*>(list.getFirstChild()->getNext());
    auto* c = static_cast<Probe*>(b->getNext());
    b->bInactive = true;
    c->bDeleted = true;

    auto walk = [&](uint32_t flags) {
        std::vector<std::string> seen;
        for (ListIterator it(&list, flags); it.current() != nullptr; it.next()) {
            seen.push_back(it.currentAs<Probe>()->name);
        }
        return seen;
    };
    EXPECT_EQ(walk(0), (std::vector<std::string>{"a", "d"}));
    EXPECT_EQ(walk(ListIterator::BACKWARDS), (std::vector<std::string>{"d", "a"}));
    EXPECT_EQ(walk(ListIterator::INCLUDE_INACTIVE), (std::vector<std::string>{"a", "b", "d"}));
    EXPECT_TRUE(journal.empty());
    EXPECT_EQ(walk(ListIterator::RELEASE_DELETED), (std::vector<std::string>{"a", "d"}));
    EXPECT_EQ(journal, (std::vector<std::string>{"c delete"}));
    EXPECT_EQ(list.countChildren(), 3);

    // A node flagged during the visit goes once the walk has left it.
    journal.clear();
    ListIterator it(&list, ListIterator::RELEASE_DELETED);
    ASSERT_EQ(it.currentAs<Probe>()->name, "a");
    it.current()->bDeleted = true;
    EXPECT_TRUE(journal.empty());
    EXPECT_EQ(static_cast<Probe*>(it.next())->name, "d");
    EXPECT_EQ(journal, (std::vector<std::string>{"a delete"}));
}

TEST(Reference, EmptiesWhenTheTargetDiesAndTellsItsOwner)
{
    std::vector<std::string> journal;
    Probe root("root", &journal);
    auto* owner = new Probe("owner", &journal);
    root.appendChild(owner);
    Reference first(owner);
    Reference second(owner);
    auto* target = new KivBase;
    first.set(target);
    second.set(target);
    EXPECT_EQ(first.get(), target);

    delete target;
    EXPECT_EQ(first.get(), nullptr);
    EXPECT_EQ(second.get(), nullptr);
    // Each reference announces itself: capture from the owner's parent, the owner, then the bubble.
    EXPECT_EQ(journal, (std::vector<std::string>{"root capture", "owner event", "root bubble", "root capture",
                                                  "owner event", "root bubble"}));
    EXPECT_EQ(owner->lastEventType, KivEvent::REFERENCE_CLEARED);
    EXPECT_TRUE(owner->lastReference == &first || owner->lastReference == &second);
}

TEST(Reference, SetNullAnnouncesButRetargetingAndEmptySetsDoNot)
{
    std::vector<std::string> journal;
    Probe owner("owner", &journal);
    KivBase a;
    KivBase b;
    Reference ref(&owner);
    ref.set(nullptr);
    EXPECT_TRUE(journal.empty());
    ref.set(&a);
    ref.set(&b);
    EXPECT_TRUE(journal.empty());
    ref.set(nullptr);
    EXPECT_EQ(journal, (std::vector<std::string>{"owner event"}));
    EXPECT_EQ(owner.lastReference, &ref);

    // A reference that goes first leaves its target's list clean: the target's death reaches only the
    // references still alive.
    auto* target = new KivBase;
    {
        Reference shortLived(&owner);
        shortLived.set(target);
    }
    Reference other(&owner);
    other.set(target);
    journal.clear();
    delete target;
    EXPECT_EQ(journal, (std::vector<std::string>{"owner event"}));
    EXPECT_EQ(owner.lastReference, &other);
}

TEST(Reference, OwnerDeletedWithTheTargetInItsSubtree)
{
    // The owner holds a reference to its own child: deleting the owner deletes the child first, which
    // empties the reference while the owner is still whole.
    struct Holder : KivBase {
        Reference ref{this};
        int cleared = 0;
        bool onEvent(KivEvent& e) override
        {
            cleared += e.type == KivEvent::REFERENCE_CLEARED;
            return true;
        }
    };
    auto* holder = new Holder;
    auto* child = new KivBase;
    holder->appendChild(child);
    holder->ref.set(child);
    holder->destroyAllChildren();
    EXPECT_EQ(holder->ref.get(), nullptr);
    EXPECT_EQ(holder->cleared, 1);
    delete holder;
}

TEST(StateBase, TheCountdownSwitchLetsTheHookBroadcastOnEveryRole)
{
    // A hook that records whether the role was inside a broadcast call when it ran.
    class Watcher : public KivBase {
    public:
        void onStateChange() override { seen.push_back(THEROLE != nullptr && THEROLE->bInsideBroadcastCall); }
        std::vector<bool> seen;
    };
    Watcher o;
    o.gotoState(1, 0.5);
    o.tick(0.0, 1.0); // without a role
    for (const bool isServer : {true, false}) {
        o.gotoState(isServer ? 2 : 3, 0.5);
        NetRole role(2, isServer, u"TobbleXmasdemo", 1.25, u"", 0.05);
        role.bInsideBroadcastCall = true; // as while a received or broadcast call runs
        o.tick(0.0, 0.25);
        EXPECT_EQ(o.seen.size(), isServer ? 1u : 2u);
        o.tick(0.0, 0.25);
        // The switch happens on both sides; only the server's hook may send.
        EXPECT_EQ(o.state, isServer ? 2 : 3);
        EXPECT_TRUE(role.bInsideBroadcastCall); // put back after the hook
        THEROLE = nullptr;
    }
    EXPECT_EQ(o.seen, (std::vector<bool>{false, false, true}));
}
