#include "game/userdata/LevelStats.h"

#include <cstdint>
#include <cstring>
#include <initializer_list>

#include "engine/core/MathUtil.h"

namespace {

// got / total x maximum in single precision, as the scores were always made, truncated toward zero (held
// at the integer's ends for the values only damaged records give).
int32_t share(int32_t got, int32_t total, int32_t maximum)
{
    const float ratio = static_cast<float>(got) / static_cast<float>(total);
    return truncateClamped<int32_t>(ratio * static_cast<float>(maximum));
}

// Points and full-marks flag of a counted category: the maximum (without the flag) when the level has none.
void countedCategory(int32_t got, int32_t total, int32_t maximum, int32_t& points, uint8_t& full)
{
    if (total > 0) {
        points = share(got, total, maximum);
        full = maximum > 0 && points == maximum;
    } else {
        points = maximum;
        full = 0;
    }
}

uint8_t asFlag(uint8_t value) { return value != 0 ? 1 : 0; }

} // namespace

void LevelStats::reset()
{
    bonusLevel = 0;
    score = 0;
    time = 0.0;
    targetTime = 0.0;
    requiredApples = requiredApplesGot = 0;
    bonusApples = bonusApplesGot = 0;
    sweets = sweetsGot = 0;
    secrets = secretsFound = 0;
    livesLost = applesLost = 0;
    timePoints = requiredApplesPoints = bonusApplesPoints = sweetsPoints = secretsPoints = livesPoints = 0;
    reserved = 0;
    totalPoints = 0;
    std::memset(fullMarks, 0, sizeof fullMarks);
    std::memset(newRecord, 0, sizeof newRecord);
    timesPlayed = 0;
    totalTime = 0.0;
    totalLivesLost = totalApplesLost = 0;
    completed = available = 0;
    averageFrameRate = 0;
    empty = 1;
}

void LevelStats::computeScore()
{
    const bool bonus = bonusLevel != 0;
    const int32_t base = bonus ? 0 : 100;

    if (targetTime > 0.0) {
        const float target = static_cast<float>(targetTime);
        const float f = linearStep(2.0f * target, target + 1.0f, static_cast<float>(time));
        timePoints = truncateClamped<int32_t>(static_cast<float>(base) * f);
        fullMarks[FULL_TIME] = base > 0 && timePoints == base;
    } else {
        timePoints = base;
        fullMarks[FULL_TIME] = 0;
    }

    const int32_t requiredMaximum = bonus ? 0 : (bonusApples > 0 ? 500 : 600);
    countedCategory(requiredApplesGot, requiredApples, requiredMaximum, requiredApplesPoints,
                    fullMarks[FULL_REQUIRED_APPLES]);

    const int32_t bonusMaximum = !bonus && bonusApples > 0 ? 100 : 0;
    countedCategory(bonusApplesGot, bonusApples, bonusMaximum, bonusApplesPoints, fullMarks[FULL_BONUS_APPLES]);

    countedCategory(sweetsGot, sweets, bonus ? 1000 : 100, sweetsPoints, fullMarks[FULL_SWEETS]);
    countedCategory(secretsFound, secrets, base, secretsPoints, fullMarks[FULL_SECRETS]);

    float lives = (static_cast<float>(livesLost) - 4.0f) / (0.0f - 4.0f);
    lives = lives < 0.0f ? 0.0f : (lives > 1.0f ? 1.0f : lives);
    livesPoints = truncateClamped<int32_t>(static_cast<float>(base) * lives);
    fullMarks[FULL_LIVES] = base > 0 && livesPoints == base;

    reserved = 0;
    fullMarks[FULL_RESERVED] = 0;
    const int64_t sum = int64_t{timePoints} + requiredApplesPoints + bonusApplesPoints + sweetsPoints + secretsPoints +
                        livesPoints;
    totalPoints = static_cast<int32_t>(sum < INT32_MIN ? INT32_MIN : (sum > INT32_MAX ? INT32_MAX : sum));
    fullMarks[FULL_PERFECT] = totalPoints == 1000;
}

void LevelStats::update(const LevelStats& run)
{
    const bool wasEmpty = empty != 0;
    bonusLevel = run.bonusLevel;
    targetTime = run.targetTime;

    newRecord[RECORD_SCORE] = 0;
    if (run.score > score) {
        score = run.score;
        newRecord[RECORD_SCORE] = 1;
    }

    newRecord[RECORD_TIME] = 0;
    if (wasEmpty || time > run.time) {
        time = run.time;
        // On a bonus level only a time under the par time counts as a record.
        newRecord[RECORD_TIME] = !(bonusLevel != 0 && run.time >= targetTime);
    }

    auto best = [](int32_t runTotal, int32_t runGot, int32_t& total, int32_t& got, uint8_t& flag) {
        total = runTotal;
        flag = 0;
        if (runGot > got) {
            got = runGot;
            flag = 1;
        }
    };
    best(run.requiredApples, run.requiredApplesGot, requiredApples, requiredApplesGot,
         newRecord[RECORD_REQUIRED_APPLES]);
    best(run.bonusApples, run.bonusApplesGot, bonusApples, bonusApplesGot, newRecord[RECORD_BONUS_APPLES]);
    best(run.sweets, run.sweetsGot, sweets, sweetsGot, newRecord[RECORD_SWEETS]);
    best(run.secrets, run.secretsFound, secrets, secretsFound, newRecord[RECORD_SECRETS]);

    newRecord[RECORD_LIVES_LOST] = 0;
    if (wasEmpty || run.livesLost < livesLost) {
        livesLost = run.livesLost;
        newRecord[RECORD_LIVES_LOST] = bonusLevel == 0;
    }
    newRecord[RECORD_APPLES_LOST] = 0;
    if (wasEmpty || run.applesLost < applesLost) {
        applesLost = run.applesLost;
        newRecord[RECORD_APPLES_LOST] = 1;
    }

    if (wasEmpty || run.averageFrameRate < averageFrameRate) {
        averageFrameRate = run.averageFrameRate;
    }

    computeScore();
    empty = 0;
}

void LevelStats::add(const LevelStats& other)
{
    bonusLevel = 0;
    score += other.score;
    time += other.time;
    targetTime += other.targetTime;
    requiredApples += other.requiredApples;
    requiredApplesGot += other.requiredApplesGot;
    bonusApples += other.bonusApples;
    bonusApplesGot += other.bonusApplesGot;
    sweets += other.sweets;
    sweetsGot += other.sweetsGot;
    secrets += other.secrets;
    secretsFound += other.secretsFound;
    livesLost += other.livesLost;
    applesLost += other.applesLost;
    averageFrameRate += other.averageFrameRate;
    computeScore();
    empty = 0;
}

void LevelStats::normaliseFlags()
{
    bonusLevel = asFlag(bonusLevel);
    for (uint8_t& flag : fullMarks) {
        flag = asFlag(flag);
    }
    for (uint8_t& flag : newRecord) {
        flag = asFlag(flag);
    }
    completed = asFlag(completed);
    available = asFlag(available);
    empty = asFlag(empty);
}

void LevelStats::clampCounters()
{
    for (int32_t* counter : {&score, &requiredApples, &requiredApplesGot, &bonusApples, &bonusApplesGot, &sweets,
                             &sweetsGot, &secrets, &secretsFound, &livesLost, &applesLost, &timePoints,
                             &requiredApplesPoints, &bonusApplesPoints, &sweetsPoints, &secretsPoints, &livesPoints,
                             &reserved, &totalPoints, &timesPlayed, &totalLivesLost, &totalApplesLost,
                             &averageFrameRate}) {
        *counter = *counter < 0 ? 0 : (*counter > MAXCOUNT ? MAXCOUNT : *counter);
    }
    for (double* seconds : {&time, &targetTime, &totalTime}) {
        *seconds = !(*seconds >= 0.0) ? 0.0 : (*seconds > MAXSECONDS ? MAXSECONDS : *seconds);
    }
}
