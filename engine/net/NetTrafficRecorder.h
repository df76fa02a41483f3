#pragma once
// Keeps the latest datagrams a host sent and received, for the ".net" crash file. The file is a header
// and one record per datagram, oldest first, each followed by the datagram's bytes.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "engine/net/NetAddress.h"

struct NetTrafficFileHeader {
    char magic[8];          // "KIVNET01"
    uint32_t recordCount;
    uint32_t droppedRecords; // older records that no longer fitted
};
static_assert(sizeof(NetTrafficFileHeader) == 16);

struct NetTrafficRecord {
    double time;         // seconds since the recorder was made
    uint8_t direction;   // 0 received, 1 sent
    uint8_t reserved[3];
    uint32_t size;       // bytes that follow
    NetAddress peer;     // sender of a received datagram, receiver of a sent one
};
static_assert(sizeof(NetTrafficRecord) == 32);
static_assert(offsetof(NetTrafficRecord, peer) == 16);

class NetTrafficRecorder {
public:
    static constexpr std::size_t DEFAULT_LIMIT = 4u << 20;

    explicit NetTrafficRecorder(std::size_t byteLimit = DEFAULT_LIMIT);

    void record(bool sent, const NetAddress& peer, const void* bytes, std::size_t size);
    // Writes the kept datagrams; false when the file cannot be written.
    bool writeToFile(const std::string& path) const;

    std::size_t getRecordCount() const { return records.size(); }

private:
    struct Entry {
        NetTrafficRecord record;
        std::vector<uint8_t> bytes;
    };

    std::size_t byteLimit;
    std::size_t keptBytes = 0;
    uint32_t dropped = 0;
    double startTime;
    std::deque<Entry> records;
};
