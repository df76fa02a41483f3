#include "game/online/ScoreUploadData.h"

#include <cstring>

#include "engine/files/Md5.h"

ScoreUploadData ScoreUploadData::fromConfiguration(const GameConfiguration& config)
{
    ScoreUploadData data;
    std::memset(static_cast<void*>(&data), 0, sizeof data);
    std::memcpy(data.gameId, config.gameId, sizeof data.gameId);
    std::memcpy(data.version, config.version, sizeof data.version);
    std::memcpy(data.reservedText, config.reservedText, sizeof data.reservedText);
    data.installationId = config.installationId;
    // The code and the two zero bytes after it in the configuration.
    std::memcpy(data.countryCode, reinterpret_cast<const char*>(&config) + offsetof(GameConfiguration, countryCode),
                sizeof data.countryCode);
    std::memcpy(static_cast<void*>(data.highScores), static_cast<const void*>(config.highScores), sizeof data.highScores);
    const Md5Digest digest = md5DigestPrefixed(HIGHSCOREENTRY::DIGEST_SALT, &data, sizeof data);
    std::memcpy(data.digest, digest.data(), sizeof data.digest);
    return data;
}
