#pragma once
// Object classes for the network tests: one with a property of every kind, a root, remote calls and servers.
#include <vector>

#include "engine/core/KivBase.h"
#include "engine/core/PropertyArrayBase.h"
#include "engine/core/PropertyBool.h"
#include "engine/core/PropertyContainer.h"
#include "engine/core/PropertyDWORD.h"
#include "engine/core/PropertyDouble.h"
#include "engine/core/PropertyEnumBase.h"
#include "engine/core/PropertyFloat.h"
#include "engine/core/PropertyInt.h"
#include "engine/core/PropertyPointer.h"
#include "engine/core/PropertyReferenceBase.h"
#include "engine/core/PropertySubObject.h"
#include "engine/core/PropertyUColor.h"
#include "engine/core/PropertyUString.h"
#include "engine/core/Reference.h"
#include "engine/core/UColor.h"
#include "engine/net/Client.h"
#include "engine/net/KivNetwork.h"
#include "engine/net/Packet.h"
#include "engine/net/RPC.h"
#include "engine/net/RootObject.h"
#include "engine/net/Server.h"

// A part held by value and listed as a sub-object.
class TestPart : public KivBase {
public:
    void addPropertiesTo(Property& list) override { list.appendChild(new PropertyFloat(u"weight", 0, &weight)); }
    float weight = 0.0f;
};

class TestThing : public KivBase {
public:
    static const RuntimeClass classRecord;
    enum Mode { MODE_A, MODE_B, MODE_C };

    const RuntimeClass* getClass() const override { return &classRecord; }
    void addPropertiesTo(Property& list) override
    {
        KivBase::addPropertiesTo(list);
        list.appendChild(new PropertyBool(u"flag", 0, &flag));
        list.appendChild(new PropertyInt(u"number", 0, &number));
        list.appendChild(new PropertyDWORD(u"word", 0, &word));
        list.appendChild(new PropertyFloat(u"f", 0, &f));
        list.appendChild(new PropertyDouble(u"d", 0, &d));
        list.appendChild(new PropertyUColor(u"colour", 0, &colour));
        list.appendChild(new PropertyUString(u"text", 0, &text, 64));
        list.appendChild(new PropertyPointer(u"other", 0, &other, &TestThing::classRecord));
        list.appendChild(new PropertyReferenceBase(u"ref", 0, &ref, &KivBase::classRecord));
        list.appendChild(new PropertyEnum<Mode>(u"mode", 0, &mode, 3));
        list.appendChild(new PropertyArray<int32_t>(u"list", 0, &values, [](UStringView name, int32_t& v) -> Property* {
            return new PropertyInt(name, 0, &v);
        }));
        list.appendChild(new PropertySubObject(u"part", 0, &part));
        auto* flags = new PropertyContainer(u"flags", 0);
        flags->appendChild(new PropertyBool(u"a", 0, &bitA));
        flags->appendChild(new PropertyBool(u"b", 0, &bitB));
        list.appendChild(flags);
    }
    void netPostReplicate() override
    {
        ++postReplicateCount;
        registrationsAllowedInPostReplicate = THEROLE != nullptr && THEROLE->bAllowNewObjectRegistations;
    }
    void netPostReplicateGlobal() override { ++postReplicateGlobalCount; }

    bool flag = false;
    int32_t number = 0;
    uint32_t word = 0;
    float f = 0.0f;
    double d = 0.0;
    UColor colour;
    UString text;
    TestThing* other = nullptr;
    Reference ref{this};
    Mode mode = MODE_A;
    std::vector<int32_t> values;
    TestPart part;
    bool bitA = false;
    bool bitB = false;
    int postReplicateCount = 0;
    int postReplicateGlobalCount = 0;
    bool registrationsAllowedInPostReplicate = true;
};

class TestRoot : public RootObject {
public:
    static const RuntimeClass classRecord;
    const RuntimeClass* getClass() const override { return &classRecord; }
    void start() override { ++startCount; }
    void peerConnected(Node*) override { ++peersConnected; }
    void peerDisconnected(Node*) override { ++peersDisconnected; }
    int startCount = 0;
    int peersConnected = 0;
    int peersDisconnected = 0;
};

// Runs on the server and the clients; a client may not call it.
class RPC_TestThing_setNumber : public RPC {
public:
    static const RuntimeClass classRecord;
    const RuntimeClass* getTargetClass() const override { return &TestThing::classRecord; }
    explicit RPC_TestThing_setNumber(KivBase* target = nullptr, int32_t value = 0, float seconds = 0.0f)
        : RPC(target), value(value), seconds(seconds)
    {
        bRunsOnServer = 1;
        bRunsOnClients = 1;
    }
    const RuntimeClass* getClass() const override { return &classRecord; }
    void netSerialize(Packet& packet) override
    {
        RPC::netSerialize(packet);
        packet.doVarInt(value);
        packet.doHalfFloat(seconds);
    }
    void invoke() override
    {
        insideServerCall = THEROLE != nullptr && THEROLE->bInsideServerCall;
        insideBroadcastCall = THEROLE != nullptr && THEROLE->bInsideBroadcastCall;
        static_cast<TestThing*>(target)->number = value;
        static_cast<TestThing*>(target)->f = seconds;
        ++invocations;
    }
    int32_t value;
    float seconds;
    static inline int invocations = 0;
    static inline bool insideServerCall = false;
    static inline bool insideBroadcastCall = false;
};

// Runs on the server only; clients may call it.
class RPC_TestThing_request : public RPC {
public:
    static const RuntimeClass classRecord;
    const RuntimeClass* getTargetClass() const override { return &TestThing::classRecord; }
    explicit RPC_TestThing_request(KivBase* target = nullptr, UString text = {}) : RPC(target), text(std::move(text))
    {
        bRunsOnServer = 1;
        bClientMayCall = 1;
    }
    const RuntimeClass* getClass() const override { return &classRecord; }
    void netSerialize(Packet& packet) override
    {
        RPC::netSerialize(packet);
        packet.doUString(text, 256);
    }
    void invoke() override { static_cast<TestThing*>(target)->text = text; }
    UString text;
};

// Runs on the clients only.
class RPC_TestThing_clientsOnly : public RPC {
public:
    static const RuntimeClass classRecord;
    const RuntimeClass* getTargetClass() const override { return &TestThing::classRecord; }
    explicit RPC_TestThing_clientsOnly(KivBase* target = nullptr) : RPC(target) { bRunsOnClients = 1; }
    const RuntimeClass* getClass() const override { return &classRecord; }
    void invoke() override { ++static_cast<TestThing*>(target)->number; }
};

class TestServer : public Server {
public:
    explicit TestServer(int32_t maxPeers = 4, double interval = 0.05)
        : Server(2, maxPeers, u"TobbleXmasdemo", 1.25, u"Tester", interval)
    {
    }

protected:
    RootObject* createRootObject() override { return new TestRoot(); }
};

class TestClient : public Client {
public:
    TestClient() : Client(2, u"TobbleXmasdemo", 1.25, u"Player", 0.05) {}
};

// Makes a thing, registers it with the role under a new UID and adds it below `parent`.
TestThing* addThing(NetRole& role, KivBase* parent);
// A populated world under a started server: root, things with every property kind and cross-references.
void buildWorld(Server& server);
