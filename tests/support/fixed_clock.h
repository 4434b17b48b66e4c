#pragma once

#include <cstdint>

#include "cards/random_generator.h"

namespace studlab::testing {

// A clock that always reads the same ticks, for generators seeded from the clock.
class TFixedClock final : public IClock {
public:
    explicit TFixedClock(std::uint64_t ticks) : m_ticks(ticks) {}
    std::uint64_t HighResolutionTicks() const override { return m_ticks; }

private:
    std::uint64_t m_ticks;
};

}  // namespace studlab::testing
