#include "verses/random.h"

#include <chrono>
#include <cmath>

#include "startup/failure.h"

namespace velun {

UniformRandom::UniformRandom(SeedSource seedSource) : seedSource_(std::move(seedSource)) {}

std::uint64_t UniformRandom::ClockSeed() {
  return static_cast<std::uint64_t>(
      std::chrono::high_resolution_clock::now().time_since_epoch().count());
}

void UniformRandom::Seed() { engine_.seed(seedSource_()); }

double UniformRandom::Next() {
  // 53 random bits: every value is exact and strictly below 1.
  return static_cast<double>(engine_() >> 11) * 0x1.0p-53;
}

std::int16_t UniformRandom::Draw(std::int16_t count) {
  if (count < 1) RaiseInvalidArgument();
  const double place = std::floor(Next() * count) + 1;
  return static_cast<std::int16_t>(place);
}

}  // namespace velun
