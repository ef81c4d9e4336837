#pragma once

#include <cstdint>
#include <functional>

namespace dice {

// The state of the process-wide generator. Zero until something seeds it; a plain word,
// since every caller runs on the GUI thread.
extern std::uint32_t GeneratorSeed;

// Advances the seed one step and returns floor(seed * n / 2^32), so 0 .. n-1 for n >= 1.
std::int32_t RandomBelow(std::int32_t n);

// Seeds the generator with the milliseconds since midnight UTC.
void SeedFromClock();

// A UTC time of day as the system clock reports it.
struct UtcTimeOfDay {
    std::uint16_t hour = 0;
    std::uint16_t minute = 0;
    std::uint16_t second = 0;
    std::uint16_t milliseconds = 0;
};

using UtcClock = std::function<UtcTimeOfDay()>;

// Replaces the clock SeedFromClock reads; an empty function restores the system clock.
void SetUtcClock(UtcClock clock);

// The system clock's current UTC time of day.
UtcTimeOfDay SystemUtcTimeOfDay();

}  // namespace dice
