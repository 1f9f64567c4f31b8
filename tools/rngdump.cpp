// Writes the generator's stream, as a Start uses it, to stdout as raw 32-bit words for dieharder
// (-g 200 reads them from stdin).
//
// The values come in the order of a run of 6/49 tickets with a bonus: the ticket's seed (the
// time of day in whole seconds), six values, the bonus' re-seed with the unrounded time of day,
// one value. A simulated clock moves on by a few microseconds per read, so thousands of tickets
// share one seed and hundreds of bonuses share one float time, as they do in a real Start.
// Every value's 24 bits go into the output, packed end to end: four values make three words.
//
//   rngdump [words]     (endless without a count; it stops when the reader goes away)
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "engine/Generator.h"
#include "engine/Seed.h"

namespace {

class Stream {
public:
    // Four values, 96 bits, into three words.
    void NextWords(uint32_t words[3]) {
        uint32_t v[4];
        for (uint32_t& value : v) {
            value = static_cast<uint32_t>(NextValue() * 16777216.0f);
        }
        words[0] = (v[0] << 8) | (v[1] >> 16);
        words[1] = (v[1] << 16) | (v[2] >> 8);
        words[2] = (v[2] << 24) | v[3];
    }

private:
    float NextValue() {
        if (position_ == 0) {
            generator_.Reseed(kivora::RoundHalfEven(ReadClock()));
        } else if (position_ == 6) {
            generator_.Reseed(ReadClock());
        }
        position_ = (position_ + 1) % 7;
        return generator_.NextRandom();
    }

    float ReadClock() {
        const double t = now_;
        now_ += 4e-6;
        if (now_ >= 86399.99) {
            now_ = 0.0;
        }
        return static_cast<float>(t);
    }

    kivora::Generator generator_ = kivora::Generator::FromSeed(20090429);
    double now_ = 36000.0;
    int position_ = 0;
};

} // namespace

int main(int argc, char* argv[]) {
    const long long limit = argc > 1 ? std::atoll(argv[1]) : -1;
    Stream stream;
    constexpr int kBufferWords = 3 * 1365;
    uint32_t buffer[kBufferWords];
    long long written = 0;
    while (limit < 0 || written < limit) {
        for (int i = 0; i < kBufferWords; i += 3) {
            stream.NextWords(buffer + i);
        }
        long long count = kBufferWords;
        if (limit >= 0 && limit - written < count) {
            count = limit - written;
        }
        const auto words = static_cast<size_t>(count);
        if (std::fwrite(buffer, sizeof(uint32_t), words, stdout) != words) {
            return 0; // the reader has gone: dieharder stops reading when its tests are done
        }
        written += count;
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}
