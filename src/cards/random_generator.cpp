#include "cards/random_generator.h"

#include <chrono>

namespace studlab {

std::uint64_t TSteadyClock::HighResolutionTicks() const {
    return static_cast<std::uint64_t>(
        std::chrono::high_resolution_clock::now().time_since_epoch().count());
}

}  // namespace studlab
