// One xorshift64* generator per process. Its unseeded state is a constant, so
// the numbers drawn before any reseed are the same on every start.
#include "ui/random.h"

#include <cstring>

#include "ui/backend.h"

namespace ui {
namespace {

constexpr std::uint64_t kStartState = 0x9E3779B97F4A7C15ull;
std::uint64_t g_state = kStartState;

std::uint64_t Next() {
  g_state ^= g_state >> 12;
  g_state ^= g_state << 25;
  g_state ^= g_state >> 27;
  return g_state * 0x2545F4914F6CDD1Dull;
}

// splitmix64 spreads a seed over the whole state and never yields 0.
std::uint64_t Mix(std::uint64_t z) {
  z += 0x9E3779B97F4A7C15ull;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  z ^= z >> 31;
  return z ? z : kStartState;
}

}  // namespace

double Rnd() { return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0); }

void RandomizeWith(double seed) {
  std::uint64_t bits = 0;
  std::memcpy(&bits, &seed, sizeof bits);
  g_state = Mix(bits);
}

void Randomize() { RandomizeWith(sys::SecondsSinceMidnight()); }

void ResetRandom() { g_state = kStartState; }

}  // namespace ui
