#pragma once

#include <cstdint>
#include <functional>
#include <span>

namespace studlab {

// The bank a player needs: the largest loss over any run of consecutive hands, that is the
// negated smallest sum of consecutive results (0 when no run loses). One pass over the results;
// `processEvents`, when given, runs every so many entries so that a window stays responsive.
std::int64_t ComputeBank(std::span<const std::int64_t> results,
                         const std::function<void()>& processEvents = {});

}  // namespace studlab
