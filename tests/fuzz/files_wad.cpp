// Feeds arbitrary bytes to the archive reader as a whole archive and reads every entry it accepts.
// Damage must end in the fatal path (a FatalError in test mode), never in a crash or a huge allocation.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "engine/core/ErrorManager.h"
#include "engine/files/WadFormat.h"
#include "engine/files/WadReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    ErrorManager::setThrowForTests(true);
    std::vector<std::uint8_t> archive(data, data + size);
    // Half of the inputs get a valid magic and version, so that the fuzzer spends its time on the
    // directory and the entries rather than on the first eight bytes.
    if (size >= 8 && (data[0] & 1) != 0) {
        std::memcpy(archive.data(), &WAD_MAGIC, 4);
        std::memcpy(archive.data() + 4, &WAD_VERSION, 4);
    }
    try {
        WadReader reader("fuzz.dat", std::move(archive));
        for (std::size_t i = 0; i < reader.entries().size(); ++i) {
            (void)reader.read(i);
        }
    } catch (const FatalError&) {
    }
    return 0;
}
