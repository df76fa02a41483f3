#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

#include "engine/core/ErrorManager.h"
#include "engine/core/Logger.h"
#include "engine/net/NetAddress.h"
#include "engine/net/NetConnection.h"
#include "engine/net/NetDatagram.h"
#include "engine/net/NetTrafficRecorder.h"
#include "engine/net/Node.h"
#include "support/TempDir.h"

namespace {

const NetAddress LOCAL_ANY_PORT(0x7F000001u, 0);

long receiveWithin(NetConnection& c, uint8_t* buffer, std::size_t capacity, NetAddress& from)
{
    // A datagram on the loopback interface arrives at once, but give the system a moment.
    for (int i = 0; i < 200; ++i) {
        const long n = c.receive(buffer, capacity, from);
        if (n >= 0) {
            return n;
        }
        struct timespec pause = {0, 1000000};
        nanosleep(&pause, nullptr);
    }
    return -1;
}

} // namespace

TEST(NetAddress, LayoutDefaultsAndParsing)
{
    NetAddress a;
    const uint8_t expected[16] = {2, 0, 0x59, 0xDE, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}; // any-address, 23006
    EXPECT_EQ(std::memcmp(&a, expected, 16), 0);
    EXPECT_EQ(a.getPort(), 23006);

    a.setBoth(u"localhost", 80);
    EXPECT_EQ(a.toString(), u"127.0.0.1:80");
    a.setBoth(u"no-such-host.invalid", 81);
    EXPECT_EQ(a.toString(), u"127.0.0.1:81");

    a.setFromString(u"192.168.1.2:23006");
    const uint8_t parsed[16] = {2, 0, 0x59, 0xDE, 192, 168, 1, 2, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(std::memcmp(&a, parsed, 16), 0);
    a.setFromString(u"10.0.0.7");
    EXPECT_EQ(a.toString(), u"10.0.0.7:0");
    a.setFromString(u"10.0.0.7:99999");
    EXPECT_EQ(a.getPort(), 0);
}

TEST(NetConnection, RealUdpOnLoopbackLogsItsBindingAndExchangesDatagrams)
{
    std::vector<UString> lines;
    Logger::setObserver([&](UStringView line) { lines.emplace_back(line); });
    NetConnection a(LOCAL_ANY_PORT, false);
    NetConnection b(LOCAL_ANY_PORT, false);
    Logger::setObserver(nullptr);
    ASSERT_FALSE(a.isEmulated());
    EXPECT_NE(a.getLocalAddress().getPort(), 0);
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[0], u"NetConnection::NetConnection(): Binding to address: 127.0.0.1:0.");
    EXPECT_EQ(lines[1], u"NetConnection::NetConnection(): Bound to address: " + a.getLocalAddress().toString() + u".");

    const char hello[] = "hello";
    a.send(hello, 5, b.getLocalAddress());
    uint8_t buffer[64];
    NetAddress from;
    ASSERT_EQ(receiveWithin(b, buffer, sizeof(buffer), from), 5);
    EXPECT_EQ(std::memcmp(buffer, hello, 5), 0);
    EXPECT_EQ(from, a.getLocalAddress());
    EXPECT_EQ(b.receive(buffer, sizeof(buffer), from), -1); // non-blocking: nothing more waiting

    // A port in use is a fatal bind failure.
    ErrorManager::setThrowForTests(true);
    try {
        NetConnection clash(a.getLocalAddress(), false);
        FAIL() << "bound twice";
    } catch (const FatalError& e) {
        EXPECT_NE(e.report.find(u"bind"), UString::npos);
        EXPECT_NE(e.report.find(u"EADDRINUSE"), UString::npos);
    }
}

TEST(NetConnection, EmulatedLocalhostUsesInProcessQueues)
{
    std::vector<UString> lines;
    Logger::setObserver([&](UStringView line) { lines.emplace_back(line); });
    NetConnection a(LOCAL_ANY_PORT, true);
    NetConnection b(LOCAL_ANY_PORT, true);
    Logger::setObserver(nullptr);
    ASSERT_TRUE(a.isEmulated());
    EXPECT_NE(a.getLocalAddress(), b.getLocalAddress());
    EXPECT_EQ(lines.at(0), u"NetConnection::NetConnection(): Creating emulated localhost connection: " +
                               a.getLocalAddress().toString() + u".");

    a.send("xy", 2, b.getLocalAddress());
    a.send("z", 1, b.getLocalAddress());
    uint8_t buffer[4];
    NetAddress from;
    EXPECT_EQ(b.receive(buffer, 4, from), 2);
    EXPECT_EQ(from, a.getLocalAddress());
    EXPECT_EQ(b.receive(buffer, 4, from), 1);
    EXPECT_EQ(buffer[0], 'z');
    EXPECT_EQ(b.receive(buffer, 4, from), -1);

    // A datagram to a closed emulated port is lost, as on a real link.
    NetAddress gone = b.getLocalAddress();
    {
        NetConnection c(LOCAL_ANY_PORT, true);
        gone = c.getLocalAddress();
    }
    a.send("q", 1, gone);

    ErrorManager::setThrowForTests(true);
    EXPECT_THROW(NetConnection(a.getLocalAddress(), true), FatalError);
}

TEST(NetDatagram, ParserRejectsDamagedDatagrams)
{
    HandshakeDatagram h{};
    h.tag = HandshakeDatagram::HANDSHAKE_TAG;
    h.type = HandshakeDatagram::CONNECT;
    NetDatagram::seal(h);
    HandshakeDatagram hOut;
    DataDatagramHeader dOut;
    auto* bytes = reinterpret_cast<uint8_t*>(&h);
    EXPECT_EQ(NetDatagram::parse(bytes, sizeof(h), hOut, dOut), NetDatagram::Kind::Handshake);
    EXPECT_EQ(NetDatagram::parse(bytes, sizeof(h) - 1, hOut, dOut), NetDatagram::Kind::Bad);
    bytes[30] ^= 1;
    EXPECT_EQ(NetDatagram::parse(bytes, sizeof(h), hOut, dOut), NetDatagram::Kind::Bad);

    std::vector<uint8_t> datagram;
    Node sender(NetAddress(), 7, 0.0);
    const std::vector<uint8_t> message(NetDatagram::MAX_FRAGMENT_PAYLOAD + 10, 0xAB);
    sender.queueMessage(message.data(), message.size());
    std::vector<std::vector<uint8_t>> sent;
    sender.buildDatagrams(42, 0.0, [&](const uint8_t* b, std::size_t n) { sent.emplace_back(b, b + n); });
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(NetDatagram::parse(sent[0].data(), sent[0].size(), hOut, dOut), NetDatagram::Kind::Data);
    EXPECT_EQ(dOut.senderWord, 42u);
    EXPECT_EQ(dOut.fragmentCount, 2);
    EXPECT_EQ(NetDatagram::parse(sent[1].data(), sent[1].size(), hOut, dOut), NetDatagram::Kind::Data);
    EXPECT_EQ(dOut.payloadSize, 10);

    std::vector<uint8_t> flipped = sent[1];
    flipped.back() ^= 0x10;
    EXPECT_EQ(NetDatagram::parse(flipped.data(), flipped.size(), hOut, dOut), NetDatagram::Kind::Bad);
    std::vector<uint8_t> cut(sent[0].begin(), sent[0].end() - 1); // a short middle fragment
    NetDatagram::seal(cut.data(), cut.size());
    EXPECT_EQ(NetDatagram::parse(cut.data(), cut.size(), hOut, dOut), NetDatagram::Kind::Bad);
    std::vector<uint8_t> longer = sent[1]; // a last fragment that carries a byte more than its header says
    longer.push_back(0xAB);
    NetDatagram::seal(longer.data(), longer.size());
    EXPECT_EQ(NetDatagram::parse(longer.data(), longer.size(), hOut, dOut), NetDatagram::Kind::Bad);
    EXPECT_EQ(NetDatagram::parse(sent[0].data(), 3, hOut, dOut), NetDatagram::Kind::Bad);
}

// Two nodes over a link that drops, duplicates and reorders datagrams: every message arrives once, whole
// and in order, large ones included.
TEST(Node, LossyLinkLosesNoMessage)
{
    std::mt19937 random(1234);
    Node a(NetAddress(0x7F000001u, 1), 2, 0.0);
    Node b(NetAddress(0x7F000001u, 2), 1, 0.0);
    std::vector<std::vector<uint8_t>> expected;
    std::vector<std::vector<uint8_t>> received;

    struct InFlight {
        std::vector<uint8_t> bytes;
        Node* to;
    };
    std::vector<InFlight> link;
    auto transmit = [&](Node* to) {
        return [&link, to](const uint8_t* bytes, std::size_t n) { link.push_back({{bytes, bytes + n}, to}); };
    };

    double now = 0.0;
    int sequence = 0;
    for (int step = 0; step < 400; ++step, now += 0.05) {
        if (step < 300 && step % 3 != 2) {
            // Messages of 1 byte up to several fragments.
            std::vector<uint8_t> message(1 + random() % (step % 50 == 0 ? 9000 : 300));
            for (auto& byte : message) {
                byte = static_cast<uint8_t>(sequence + random());
            }
            ++sequence;
            a.queueMessage(message.data(), message.size());
            expected.push_back(message);
        }
        a.buildDatagrams(1, now, transmit(&b));
        b.buildDatagrams(2, now, transmit(&a));

        // The link: 30 % lost, 10 % doubled, the rest shuffled.
        std::vector<InFlight> arriving;
        for (auto& d : link) {
            const unsigned roll = random() % 100;
            if (roll < 30) {
                continue;
            }
            if (roll < 40) {
                arriving.push_back(d);
            }
            arriving.push_back(std::move(d));
        }
        link.clear();
        std::shuffle(arriving.begin(), arriving.end(), random);
        for (const auto& d : arriving) {
            HandshakeDatagram h;
            DataDatagramHeader header;
            ASSERT_EQ(NetDatagram::parse(d.bytes.data(), d.bytes.size(), h, header), NetDatagram::Kind::Data);
            d.to->receive(header, d.bytes.data() + sizeof(header), now, [&](const uint8_t* bytes, std::size_t n) {
                ASSERT_EQ(d.to, &b);
                received.emplace_back(bytes, bytes + n);
            });
        }
    }
    ASSERT_EQ(received.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(received[i], expected[i]) << "message " << i;
    }
    EXPECT_EQ(a.getSendQueueLength(), 0u);
    EXPECT_GT(a.resends, 0u);
    EXPECT_GT(b.duplicates, 0u);
    EXPECT_GT(a.getRoundTripTime(), 0.0);
}

TEST(Node, HostileFragmentsAreCountedNotBuffered)
{
    Node n(NetAddress(), 1, 0.0);
    DataDatagramHeader header{};
    header.fragmentCount = NetDatagram::MAX_FRAGMENTS;
    header.payloadSize = NetDatagram::MAX_FRAGMENT_PAYLOAD;
    const std::vector<uint8_t> payload(NetDatagram::MAX_FRAGMENT_PAYLOAD);
    int delivered = 0;
    auto deliver = [&](const uint8_t*, std::size_t) { ++delivered; };
    // Far ahead of the window.
    header.sequence = 1 + Node::RECEIVE_WINDOW;
    EXPECT_EQ(n.receive(header, payload.data(), 0.0, deliver), Node::Result::BadFragment);
    // Many huge messages: the buffer limit stops them.
    int refused = 0;
    for (uint32_t s = 2; s < 10; ++s) {
        header.sequence = s;
        refused += n.receive(header, payload.data(), 0.0, deliver) == Node::Result::BadFragment;
    }
    EXPECT_GT(refused, 0);
    // A fragment that disagrees about the count of its message.
    header.sequence = 2;
    header.fragmentCount = 3;
    EXPECT_EQ(n.receive(header, payload.data(), 0.0, deliver), Node::Result::BadFragment);
    EXPECT_EQ(delivered, 0);
}

TEST(NetTrafficRecorder, KeepsTheLatestDatagramsWithinItsLimit)
{
    TempDir dir;
    NetTrafficRecorder recorder(3 * (sizeof(NetTrafficRecord) + 10));
    const uint8_t bytes[10] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    for (int i = 0; i < 5; ++i) {
        recorder.record(i % 2 == 0, NetAddress(0x7F000001u, static_cast<uint16_t>(i)), bytes, sizeof(bytes));
    }
    EXPECT_EQ(recorder.getRecordCount(), 3u);
    const std::string path = dir.file("crash.net");
    ASSERT_TRUE(recorder.writeToFile(path));
    std::FILE* f = std::fopen(path.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    NetTrafficFileHeader header{};
    ASSERT_EQ(std::fread(&header, sizeof(header), 1, f), 1u);
    EXPECT_EQ(std::memcmp(header.magic, "KIVNET01", 8), 0);
    EXPECT_EQ(header.recordCount, 3u);
    EXPECT_EQ(header.droppedRecords, 2u);
    NetTrafficRecord record{};
    ASSERT_EQ(std::fread(&record, sizeof(record), 1, f), 1u);
    EXPECT_EQ(record.peer.getPort(), 2); // the oldest kept
    EXPECT_EQ(record.direction, 1);
    EXPECT_EQ(record.size, 10u);
    std::fclose(f);
    EXPECT_FALSE(recorder.writeToFile(dir.file("no/such/folder/x.net")));
}
