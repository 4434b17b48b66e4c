#pragma once

#include <QPixmap>
#include <QSize>
#include <QString>

#include "cards/card.h"

namespace studlab {

inline constexpr QSize kCardPictureSize(73, 100);
inline constexpr QSize kStartPictureSize(321, 481);

// The picture of card `id` (1..52, display order), decoded from the program's resources.
QPixmap CardPixmap(TCardId id);
// The resource path of that picture, ":/cards/card17.jpg".
QString CardPictureResource(TCardId id);

QPixmap StartPixmap();

}  // namespace studlab
