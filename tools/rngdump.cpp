// Writes the generator's stream, as a Start uses it, to stdout as raw 32-bit words for dieharder
// (-g 200). Each 32-bit word is built from consecutive NextRandom values the way a draw consumes
// them: a re-seed with the time of day before every "ticket" of eight values, so the mixing of
// re-seeds is part of what is tested.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "engine/Generator.h"

int main(int argc, char* argv[]) {
    // Optional: the number of words to write; endless by default.
    const long long limit = argc > 1 ? std::atoll(argv[1]) : -1;
    kivora::Generator generator = kivora::Generator::FromSeed(20090429);
    int32_t second = 36000;
    int valuesInTicket = 0;
    constexpr int kBufferWords = 4096;
    uint32_t buffer[kBufferWords];
    long long written = 0;
    while (limit < 0 || written < limit) {
        int count = 0;
        for (; count < kBufferWords && (limit < 0 || written + count < limit); ++count) {
            uint32_t word = 0;
            for (int half = 0; half < 2; ++half) {
                if (valuesInTicket == 0) {
                    // A frozen-ish clock: many tickets share one second, as in a real Start.
                    generator.Reseed(second);
                }
                valuesInTicket = (valuesInTicket + 1) % 8;
                // 16 of the 24 bits of each value, so words carry no constant bits.
                const float r = generator.NextRandom();
                const auto bits = static_cast<uint32_t>(r * 16777216.0f) >> 8;
                word = (word << 16) | bits;
            }
            buffer[count] = word;
            if ((written + count) % 50000 == 49999) {
                ++second;
            }
        }
        if (std::fwrite(buffer, sizeof(uint32_t), static_cast<size_t>(count), stdout) !=
            static_cast<size_t>(count)) {
            return 0; // the reader has gone: dieharder stops reading when its tests are done
        }
        written += count;
    }
    return 0;
}
