#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "design/game_design.h"

namespace studlab {

// Settings that can never change a decision: whether the cache is used, whether the random deal
// repeats its sequence, and the seconds per hand that nothing reads. Every other field of the
// design and the settings takes part in the fingerprint, also fields added later.
inline constexpr std::array<std::string_view, 3> kFieldsOutsideFingerprint = {
    "UseCacheTable", "SameSequence", "HandSeconds"};

// The lines "name=value\n" of every field that can change a decision, in the order of
// ListDesignFields.
std::string FingerprintText(const TGameDesign& design, const TCalculationSettings& settings);

// Sixteen lower-case hexadecimal digits: the 64-bit FNV-1a hash of FingerprintText. A decision
// stored under one fingerprint is served only to a design and settings with the same one.
std::string DesignFingerprint(const TGameDesign& design, const TCalculationSettings& settings);

// DesignFingerprint of the design and settings last asked for, computed again only when they
// have changed: a run of hands asks at every press, and listing every field costs more than
// comparing them.
class TFingerprintMemo {
public:
    const std::string& Of(const TGameDesign& design, const TCalculationSettings& settings);

private:
    std::optional<TGameDesign> m_design;
    TCalculationSettings m_settings;
    std::string m_fingerprint;
};

}  // namespace studlab
