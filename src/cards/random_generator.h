#pragma once

#include <cstdint>

namespace studlab {

// Source of the seed when the generator is seeded from the clock. Tests supply a fixed one.
class IClock {
public:
    virtual ~IClock() = default;
    // The high-resolution performance counter (only its low 32 bits are used).
    virtual std::uint64_t HighResolutionTicks() const = 0;
};

// The system clock behind IClock.
class TSteadyClock final : public IClock {
public:
    std::uint64_t HighResolutionTicks() const override;
};

// SplitMix64's finaliser: a bijection of 64-bit numbers whose every output bit depends on every
// input bit.
constexpr std::uint64_t MixBits64(std::uint64_t z) {
    z = (z ^ (z >> 30U)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27U)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31U);
}

// The random generator of the table. It deals in one of two ways:
//
// - the fixed series: a 32-bit linear congruential seed, 0 at start. A draw below n advances the
//   seed to seed * 134775813 + 1 (mod 2^32) and returns the high 32 bits of seed * n, a number
//   from 0 to n - 1. One series serves hand after hand, so that the same start deals the same
//   hands ("одинаковая последовательность").
// - a hand's own stream: SplitMix64 (Steele, Lea and Flood, 2014) started from the pair (seed of
//   the stream, number of the hand). Each hand draws from a stream of its own that does not
//   depend on any other hand, so hands can be dealt in any order and on any number of threads.
//   A 32-bit series restarted for every hand cannot give that: ten consecutive draws of it are
//   one of only 2^32 sequences, lying on a coarse lattice.
class TRandomGenerator {
public:
    constexpr TRandomGenerator() = default;
    constexpr explicit TRandomGenerator(std::uint32_t seed) : m_seed(seed) {}

    constexpr std::uint32_t Below(std::uint32_t n) {
        if (m_handStream) {
            m_stream += kGoldenGamma;
            // The top 32 bits times n: off from uniform by at most n / 2^32.
            return static_cast<std::uint32_t>(((MixBits64(m_stream) >> 32U) * n) >> 32U);
        }
        m_seed = m_seed * 134775813U + 1U;
        return static_cast<std::uint32_t>((std::uint64_t{m_seed} * n) >> 32U);
    }

    // Sets the fixed series to the clock's low 32 bits. A hand's stream is left as it is: it is
    // already independent of every other hand, and a clock would only make it unrepeatable.
    void SeedFrom(const IClock& clock) {
        if (!m_handStream) m_seed = static_cast<std::uint32_t>(clock.HighResolutionTicks());
    }
    // The fixed series, from `seed`.
    constexpr void SetSeed(std::uint32_t seed) {
        m_handStream = false;
        m_seed = seed;
    }
    constexpr std::uint32_t Seed() const { return m_seed; }

    // Hand `hand`'s own stream of the stream seed `seed`.
    constexpr void StartHandStream(std::uint64_t seed, std::uint64_t hand) {
        m_handStream = true;
        m_stream = MixBits64(MixBits64(seed) + MixBits64(hand + kGoldenGamma));
    }
    // Back to the fixed series, where it was left.
    constexpr void ContinueSeries() { m_handStream = false; }
    constexpr bool InHandStream() const { return m_handStream; }

private:
    static constexpr std::uint64_t kGoldenGamma = 0x9E3779B97F4A7C15ULL;

    std::uint32_t m_seed = 0;
    bool m_handStream = false;
    std::uint64_t m_stream = 0;
};

}  // namespace studlab
