#pragma once

#include "design/design_fingerprint.h"
#include "table/cache/decision_cache.h"
#include "table/counted_draws.h"
#include "table/hand.h"

namespace studlab {

struct THand::TParts {
    TDecisionCache Cache{"Games"};
    TFingerprintMemo Fingerprint;  // of the design and settings, for the cache's rows
    TCountedDraws CountedDraws;    // the dealer's completions of the last decision with many draws
};

}  // namespace studlab
