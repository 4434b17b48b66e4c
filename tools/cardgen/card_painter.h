#pragma once

#include <QImage>
#include <QPainter>

#include "cards/card.h"

namespace studlab::cardgen {

inline constexpr int kCardWidth = 73;
inline constexpr int kCardHeight = 100;
inline constexpr int kStartWidth = 321;
inline constexpr int kStartHeight = 481;

// Draws card `id` into the rectangle (0, 0, 73, 100) of the painter's current coordinates, so
// that the same drawing serves the card file and the larger cards of the start picture.
void PaintCard(QPainter& painter, TCardId id);

QImage CardImage(TCardId id);
QImage StartImage();

}  // namespace studlab::cardgen
