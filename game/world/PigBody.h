#pragma once
// The pig characters: type 1 is the pig, types 2 to 4 the three piglets; the type chooses the sprites.
// Built by the replicated construct call with the type.
#include "game/world/A99Object.h"

class PigBody : public A99Object {
public:
    static const RuntimeClass classRecord;
    static constexpr int32_t TYPE_PIG = 1;
    static constexpr int32_t TYPE_LAST_PIGLET = 4;

    PigBody();

    const RuntimeClass* getClass() const override { return &classRecord; }
    void addPropertiesTo(Property& list) override;
    void checkLoadedValues() override;
    void afterEdit() override;

    void construct(int32_t bodyType);
    virtual void local_construct(int32_t bodyType);

    int32_t type = TYPE_PIG;

protected:
    explicit PigBody(LevelAccess::ListId home);
    // The sprite of the type.
    void applyTypeSkin();
};

class RPC_PigBody_construct : public RPC {
public:
    static const RuntimeClass classRecord;
    explicit RPC_PigBody_construct(KivBase* target = nullptr, int32_t bodyType = PigBody::TYPE_PIG);
    const RuntimeClass* getClass() const override { return &classRecord; }
    const RuntimeClass* getTargetClass() const override { return &PigBody::classRecord; }
    void netSerialize(Packet& packet) override;
    void addPropertiesTo(Property& list) override;
    void invoke() override;
    int32_t bodyType;
};
