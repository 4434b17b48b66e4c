#pragma once

#include <QColor>
#include <QImage>
#include <QString>
#include <vector>

#include "profit/exact/strategy.h"

namespace studlab {

// How the strategy grid looks, in the strategy window and in the picture "сохранить PNG" saves.

inline constexpr int kStrategyRowHeight = 32;
inline constexpr int kStrategyCellFontPixels = 11;

// A light colour under black text, one per action: folding red, betting green, buying blue,
// exchanging from yellow to violet as more cards go.
QColor StrategyActionColour(TFirstAction action);
// The background of a cell: its action's colour, or grey where no layout falls.
QColor StrategyCellColour(const TStrategyCell& cell);
// What a cell shows: the action, and under it its share when the choice depends on more than the
// cell (as the CSV writes it, on one line).
QString StrategyCellText(const TStrategyCell& cell);
// The caption of a column: the dealer's open card, or one column for any cards.
QString StrategyColumnText(int column, bool byDealerCard);
// The actions the grid's first `columns` columns show, in their order.
std::vector<TFirstAction> StrategyActionsShown(const TStrategyGrid& grid, int columns);

// The grid as one picture on white: a title with the exact MO, the row captions, the column
// captions, every cell in its action's colour, and the legend of the actions shown.
QImage StrategyGridPicture(const TStrategyGrid& grid, bool byDealerCard, long double moPercent);

}  // namespace studlab
