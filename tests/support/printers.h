#pragma once

#include <ostream>

#include "cards/card_list.h"
#include "cards/combination_kind.h"

// Readable values in test failure messages.
namespace studlab {

inline void PrintTo(TCombinationKind kind, std::ostream* os) {
    *os << KindCodeName(kind);
}
inline void PrintTo(const TCardTable& cards, std::ostream* os) {
    *os << "{" << JoinCardNames(cards) << "}";
}

}  // namespace studlab
