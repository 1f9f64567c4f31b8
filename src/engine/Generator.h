#pragma once

#include <array>
#include <cstdint>

namespace kivora {

// The process' one pseudo-random generator (xoshiro256**).
//
// Reseed mixes the value into the state it already has, so re-seeding with the same value twice
// never replays a stream: tickets drawn in one second (one seed) still differ. The starting
// state comes from the operating system, so two runs started in the same second differ too.
class Generator {
public:
    using State = std::array<uint64_t, 4>;

    // State from the operating system's entropy source.
    Generator();
    // A fixed state, for tests and tools that must repeat themselves.
    explicit Generator(const State& state);
    // A fixed state expanded from one number.
    static Generator FromSeed(uint64_t seed);

    void Reseed(int32_t value);
    void Reseed(float timeOfDay);

    // 0 <= r < 1, a multiple of 2^-24: 24 random bits, so a float holds it exactly.
    float NextRandom();

    // The conversion NextRandom uses, from a 64-bit output (only its top 24 bits count).
    static float ToUnitFloat(uint64_t bits) {
        return static_cast<float>(bits >> 40) * (1.0f / 16777216.0f);
    }

    const State& state() const { return state_; }

private:
    uint64_t Next();
    void Absorb(uint64_t tag, uint64_t value);

    State state_;
};

} // namespace kivora
