#include "engine/net/NetTrafficRecorder.h"

#include <chrono>
#include <cstdio>
#include <cstring>

namespace {
double secondsNow()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}
} // namespace

NetTrafficRecorder::NetTrafficRecorder(std::size_t byteLimit) : byteLimit(byteLimit), startTime(secondsNow()) {}

void NetTrafficRecorder::record(bool sent, const NetAddress& peer, const void* bytes, std::size_t size)
{
    Entry entry{};
    entry.record.time = secondsNow() - startTime;
    entry.record.direction = sent ? 1 : 0;
    entry.record.size = static_cast<uint32_t>(size);
    entry.record.peer = peer;
    const auto* first = static_cast<const uint8_t*>(bytes);
    entry.bytes.assign(first, first + size);
    keptBytes += sizeof(NetTrafficRecord) + size;
    records.push_back(std::move(entry));
    while (keptBytes > byteLimit && !records.empty()) {
        keptBytes -= sizeof(NetTrafficRecord) + records.front().bytes.size();
        records.pop_front();
        ++dropped;
    }
}

bool NetTrafficRecorder::writeToFile(const std::string& path) const
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    NetTrafficFileHeader header{};
    std::memcpy(header.magic, "KIVNET01", 8);
    header.recordCount = static_cast<uint32_t>(records.size());
    header.droppedRecords = dropped;
    bool ok = std::fwrite(&header, sizeof(header), 1, file) == 1;
    for (const Entry& entry : records) {
        ok = ok && std::fwrite(&entry.record, sizeof(entry.record), 1, file) == 1;
        ok = ok && (entry.bytes.empty() || std::fwrite(entry.bytes.data(), entry.bytes.size(), 1, file) == 1);
    }
    ok = std::fclose(file) == 0 && ok;
    return ok;
}
