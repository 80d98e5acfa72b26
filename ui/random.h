// The process-wide uniform random generator. An unseeded generator starts from
// a fixed state, so the first numbers are the same on every start.
#pragma once
#include <cstdint>

namespace ui {

// Uniform in [0, 1).
double Rnd();
// Reseeds from the seconds since midnight.
void Randomize();
// Reseeds from a given value (Randomize uses the time of day).
void RandomizeWith(double seed);
// Back to the fixed start state (a fresh process).
void ResetRandom();

}  // namespace ui
