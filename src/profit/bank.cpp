#include "profit/bank.h"

#include <algorithm>

namespace studlab {

std::int64_t ComputeBank(std::span<const std::int64_t> results,
                         const std::function<void()>& processEvents) {
    constexpr std::size_t kEventsEvery = 1 << 16;
    std::int64_t smallest = 0;
    std::int64_t endingHere = 0;  // smallest sum of a run that ends at the current hand
    for (std::size_t i = 0; i < results.size(); ++i) {
        endingHere = std::min<std::int64_t>(endingHere, 0) + results[i];
        smallest = std::min(smallest, endingHere);
        if (processEvents && (i + 1) % kEventsEvery == 0) processEvents();
    }
    return -smallest;
}

}  // namespace studlab
