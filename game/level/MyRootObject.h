#pragma once
// The root of every level's object tree (UID 1 of the level's role): the player node, the level's
// GameController and the overlay that is open. Each frame it ticks the level, or, while an overlay is
// open, only the player node and the overlay, so an open overlay pauses the level. It opens the pause
// menu on Escape, the Pause key or a touch on the HUD's pause button.
#include "engine/core/UString.h"
#include "engine/net/RPC.h"
#include "engine/net/RootObject.h"

class GameController;
class Overlay;

class MyRootObject : public RootObject {
public:
    static const RuntimeClass classRecord;
    const RuntimeClass* getClass() const override { return &classRecord; }

    MyRootObject() = default;
    // Destroys the open overlay, then the tree.
    ~MyRootObject() override;

    void addPropertiesTo(Property& list) override;
    void tick(double time, double dt) override;
    void render() override;
    // The empty world: the player node and a freshly constructed GameController.
    void start() override;

    void openOverlay(Overlay* overlay);
    void local_openOverlay(Overlay* overlay);
    void local_closeOverlay();
    void local_addSystemMessage(const UString& text, bool flag);

    KivBase* playerInfoList = nullptr;
    GameController* gameController = nullptr;
    Overlay* contextOverlay = nullptr;

private:
    bool isPauseRequested() const;
    void removeOverlay();
};

// Argument: the overlay (object reference).
class RPC_MyRootObject_openOverlay : public RPC {
public:
    static const RuntimeClass classRecord;
    explicit RPC_MyRootObject_openOverlay(KivBase* target = nullptr, Overlay* overlay = nullptr);
    const RuntimeClass* getClass() const override { return &classRecord; }
    const RuntimeClass* getTargetClass() const override { return &MyRootObject::classRecord; }
    void netSerialize(Packet& packet) override;
    void addPropertiesTo(Property& list) override;
    void invoke() override;
    Overlay* overlay;
};

class RPC_MyRootObject_closeOverlay : public RPC {
public:
    static const RuntimeClass classRecord;
    explicit RPC_MyRootObject_closeOverlay(KivBase* target = nullptr);
    const RuntimeClass* getClass() const override { return &classRecord; }
    const RuntimeClass* getTargetClass() const override { return &MyRootObject::classRecord; }
    void invoke() override;
};

// Arguments: a text (at most 256 characters) and one flag bit.
class RPC_MyRootObject_addSystemMessage : public RPC {
public:
    static const RuntimeClass classRecord;
    explicit RPC_MyRootObject_addSystemMessage(KivBase* target = nullptr, const UString& text = {}, bool flag = false);
    const RuntimeClass* getClass() const override { return &classRecord; }
    const RuntimeClass* getTargetClass() const override { return &MyRootObject::classRecord; }
    void netSerialize(Packet& packet) override;
    void addPropertiesTo(Property& list) override;
    void invoke() override;
    UString text;
    bool flag;
};
