#include "engine/net/Node.h"

#include <algorithm>
#include <cstring>

Node::Node(const NetAddress& address, uint32_t peerWord, double now)
    : address(address), peerWord(peerWord), lastReceiveTime(now)
{
}

void Node::queueMessage(const uint8_t* bytes, std::size_t size)
{
    if (size == 0) {
        return;
    }
    Outgoing& message = outgoing[nextSequence++];
    message.bytes.assign(bytes, bytes + size);
}

double Node::resendInterval() const
{
    return std::clamp(2.0 * roundTripTime + 0.05, MIN_RESEND_INTERVAL, MAX_RESEND_INTERVAL);
}

void Node::buildDatagrams(uint32_t ownWord, double now,
                          const std::function<void(const uint8_t*, std::size_t)>& send)
{
    uint32_t ackBits = 0;
    for (uint32_t i = 0; i < 32; ++i) {
        const auto it = incoming.find(nextExpected + 1 + i);
        if (it != incoming.end() && it->second.fragmentsReceived == it->second.fragmentCount) {
            ackBits |= 1u << i;
        }
    }
    uint8_t datagram[NetDatagram::MAX_DATAGRAM];
    DataDatagramHeader header{};
    header.senderWord = ownWord;
    header.ack = nextExpected;
    header.ackBits = ackBits;
    auto emit = [&](const uint8_t* payload, std::size_t size) {
        header.payloadSize = static_cast<uint16_t>(size);
        std::memcpy(datagram, &header, sizeof(header));
        if (size > 0) {
            std::memcpy(datagram + sizeof(header), payload, size);
        }
        NetDatagram::seal(datagram, sizeof(header) + size);
        send(datagram, sizeof(header) + size);
        ++datagramsSent;
    };

    bool sentAny = false;
    const double interval = resendInterval();
    for (auto& [sequence, message] : outgoing) {
        if (message.sendCount > 0 && now - message.lastSendTime < interval) {
            continue;
        }
        if (message.sendCount > 0) {
            ++resends;
        } else {
            message.firstSendTime = now;
        }
        message.lastSendTime = now;
        ++message.sendCount;
        const std::size_t size = message.bytes.size();
        const std::size_t count = (size + NetDatagram::MAX_FRAGMENT_PAYLOAD - 1) / NetDatagram::MAX_FRAGMENT_PAYLOAD;
        header.sequence = sequence;
        header.fragmentCount = static_cast<uint16_t>(count);
        for (std::size_t i = 0; i < count; ++i) {
            const std::size_t offset = i * NetDatagram::MAX_FRAGMENT_PAYLOAD;
            header.fragmentIndex = static_cast<uint16_t>(i);
            emit(message.bytes.data() + offset, std::min(NetDatagram::MAX_FRAGMENT_PAYLOAD, size - offset));
        }
        sentAny = true;
    }
    if (!sentAny) {
        header.sequence = 0;
        header.fragmentIndex = 0;
        header.fragmentCount = 0;
        emit(nullptr, 0);
    }
}

void Node::acknowledgeOne(std::map<uint32_t, Outgoing>::iterator it, double now)
{
    if (it->second.sendCount == 1) {
        // Only a message sent once gives an unambiguous round trip.
        const double sample = now - it->second.firstSendTime;
        roundTripTime = roundTripTime == 0.0 ? sample : roundTripTime * 0.875 + sample * 0.125;
    }
    outgoing.erase(it);
}

void Node::acknowledge(uint32_t ack, uint32_t ackBits, double now)
{
    while (!outgoing.empty() && outgoing.begin()->first < ack) {
        acknowledgeOne(outgoing.begin(), now);
    }
    for (uint32_t i = 0; ackBits != 0 && i < 32; ++i) {
        if (ackBits & (1u << i)) {
            const auto it = outgoing.find(ack + 1 + i);
            if (it != outgoing.end()) {
                acknowledgeOne(it, now);
            }
        }
    }
}

Node::Result Node::receive(const DataDatagramHeader& header, const uint8_t* payload, double now,
                           const std::function<void(const uint8_t*, std::size_t)>& deliver)
{
    lastReceiveTime = now;
    ++datagramsReceived;
    acknowledge(header.ack, header.ackBits, now);
    if (header.fragmentCount == 0) {
        return Result::Ok;
    }
    const uint32_t sequence = header.sequence;
    if (sequence < nextExpected) {
        ++duplicates;
        return Result::Duplicate;
    }
    if (sequence - nextExpected >= RECEIVE_WINDOW) {
        ++badFragments;
        return Result::BadFragment;
    }
    auto it = incoming.find(sequence);
    if (it == incoming.end()) {
        const std::size_t capacity = std::size_t(header.fragmentCount) * NetDatagram::MAX_FRAGMENT_PAYLOAD;
        if (bufferedBytes + capacity > MAX_BUFFERED_BYTES) {
            ++badFragments;
            return Result::BadFragment;
        }
        it = incoming.emplace(sequence, Incoming{}).first;
        it->second.fragmentCount = header.fragmentCount;
        it->second.received.assign(header.fragmentCount, false);
        it->second.bytes.resize(capacity);
        bufferedBytes += capacity;
    }
    Incoming& message = it->second;
    if (message.fragmentCount != header.fragmentCount) {
        ++badFragments;
        return Result::BadFragment;
    }
    if (message.received[header.fragmentIndex]) {
        ++duplicates;
        return Result::Duplicate;
    }
    message.received[header.fragmentIndex] = true;
    ++message.fragmentsReceived;
    const std::size_t offset = std::size_t(header.fragmentIndex) * NetDatagram::MAX_FRAGMENT_PAYLOAD;
    std::memcpy(message.bytes.data() + offset, payload, header.payloadSize);
    if (header.fragmentIndex + 1 == header.fragmentCount) {
        // The last fragment fixes the message's length.
        message.bytes.resize(offset + header.payloadSize);
    }

    // Hand on every whole message that is next in order.
    for (auto next = incoming.find(nextExpected);
         next != incoming.end() && next->second.fragmentsReceived == next->second.fragmentCount;
         next = incoming.find(nextExpected)) {
        const std::vector<uint8_t> bytes = std::move(next->second.bytes);
        bufferedBytes -= std::size_t(next->second.fragmentCount) * NetDatagram::MAX_FRAGMENT_PAYLOAD;
        incoming.erase(next);
        ++nextExpected;
        ++messagesDelivered;
        deliver(bytes.data(), bytes.size());
    }
    return Result::Ok;
}
