#pragma once
// The saver's one random generator: uniform numbers 0 <= r < 1, seeded once.
#include <cstdint>
#include <functional>
#include <random>

namespace velun {

class UniformRandom {
 public:
  using SeedSource = std::function<std::uint64_t()>;

  // By default the seed comes from the clock; tests and tools hand in their own.
  explicit UniformRandom(SeedSource seedSource = ClockSeed);

  // Takes a new seed from the seed source; the verse source does this once, at load.
  void Seed();
  // The next number r, 0 <= r < 1.
  double Next();
  // A place from 1 to count with equal chance: floor(r * count) + 1.
  std::int16_t Draw(std::int16_t count);

  static std::uint64_t ClockSeed();
  static SeedSource FixedSeed(std::uint64_t seed) {
    return [seed] { return seed; };
  }

 private:
  SeedSource seedSource_;
  std::mt19937_64 engine_;
};

}  // namespace velun
