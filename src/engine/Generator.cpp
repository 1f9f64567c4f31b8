#include "Generator.h"

#include <bit>
#include <random>

namespace kivora {

namespace {

uint64_t SplitMix64(uint64_t& x) {
    uint64_t z = (x += 0x9e3779b97f4a7c15ULL);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
}

Generator::State Expand(uint64_t seed) {
    Generator::State s{};
    for (auto& word : s) {
        word = SplitMix64(seed);
    }
    return s;
}

constexpr uint64_t kIntTag = 0x494e5453454544ULL;  // seeds from ComputeSeed
constexpr uint64_t kFloatTag = 0x464c545345454ULL; // time-of-day seeds for the bonus

} // namespace

Generator::Generator() {
    std::random_device device;
    for (auto& word : state_) {
        word = (static_cast<uint64_t>(device()) << 32) ^ device();
    }
    if ((state_[0] | state_[1] | state_[2] | state_[3]) == 0) {
        state_ = Expand(0);
    }
}

Generator::Generator(const State& state) : state_(state) {
    if ((state_[0] | state_[1] | state_[2] | state_[3]) == 0) {
        state_ = Expand(0); // the one state xoshiro can never leave
    }
}

Generator Generator::FromSeed(uint64_t seed) {
    return Generator(Expand(seed));
}

uint64_t Generator::Next() {
    const uint64_t result = std::rotl(state_[1] * 5, 7) * 9;
    const uint64_t t = state_[1] << 17;
    state_[2] ^= state_[0];
    state_[3] ^= state_[1];
    state_[1] ^= state_[2];
    state_[0] ^= state_[3];
    state_[2] ^= t;
    state_[3] = std::rotl(state_[3], 45);
    return result;
}

// Every word of the new state is a hash of the old word, the value and one output of the old
// state: it depends on both, and because every re-seed consumes an output, repeating a value
// never repeats a state.
void Generator::Absorb(uint64_t tag, uint64_t value) {
    uint64_t key = Next() ^ (tag * 0x9e3779b97f4a7c15ULL) ^ (value << 17) ^ value;
    for (auto& word : state_) {
        uint64_t x = word ^ SplitMix64(key);
        word = SplitMix64(x);
    }
    if ((state_[0] | state_[1] | state_[2] | state_[3]) == 0) {
        state_ = Expand(tag);
    }
}

void Generator::Reseed(int32_t value) {
    Absorb(kIntTag, static_cast<uint64_t>(static_cast<uint32_t>(value)));
}

void Generator::Reseed(float timeOfDay) {
    Absorb(kFloatTag, std::bit_cast<uint32_t>(timeOfDay));
}

float Generator::NextRandom() {
    return ToUnitFloat(Next());
}

} // namespace kivora
