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

// The one random generator of the table: a 32-bit linear congruential seed, 0 at start.
// A draw below n advances the seed to seed * 134775813 + 1 (mod 2^32) and returns the high
// 32 bits of seed * n, a number from 0 to n - 1.
class TRandomGenerator {
public:
    constexpr TRandomGenerator() = default;
    constexpr explicit TRandomGenerator(std::uint32_t seed) : m_seed(seed) {}

    constexpr std::uint32_t Below(std::uint32_t n) {
        m_seed = m_seed * 134775813U + 1U;
        return static_cast<std::uint32_t>((std::uint64_t{m_seed} * n) >> 32);
    }
    void SeedFrom(const IClock& clock) {
        m_seed = static_cast<std::uint32_t>(clock.HighResolutionTicks());
    }
    constexpr std::uint32_t Seed() const { return m_seed; }
    constexpr void SetSeed(std::uint32_t seed) { m_seed = seed; }

private:
    std::uint32_t m_seed = 0;
};

}  // namespace studlab
