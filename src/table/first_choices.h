#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "cards/card_table.h"

namespace studlab {

// The first decisions of a game worked out beforehand (a strategy): the choice code the first
// decision records for a first layout, the player's five cards and the dealer's open cards with
// nothing else known; none where it has no answer. Read by many threads at once.
class IFirstChoices {
public:
    virtual ~IFirstChoices() = default;
    virtual std::optional<std::string_view> FirstChoice(TCardTable player,
                                                        TCardTable dealer) const = 0;
};

// The strategies at hand, by the fingerprint of the design and settings they were worked out for
// (DesignFingerprint): none for a design that has none. Asked by many threads at once; what it
// returns stays valid as long as it does.
class IStrategies {
public:
    virtual ~IStrategies() = default;
    virtual const IFirstChoices* For(const std::string& fingerprint) const = 0;
};

}  // namespace studlab
