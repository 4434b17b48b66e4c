#include "table/table_view.h"

namespace studlab {

bool& TTableView::FixVisible(TPlaceKind row, int slot) {
    return FixFlagOf(PlayerFixVisible, DealerFixVisible, row, slot);
}

bool TTableView::FixVisible(TPlaceKind row, int slot) const {
    return FixFlagOf(PlayerFixVisible, DealerFixVisible, row, slot);
}

}  // namespace studlab
