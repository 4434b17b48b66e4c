#include "widgets/card_pictures.h"

#include <QPixmapCache>

namespace studlab {
namespace {

QPixmap CachedPixmap(const QString& resource) {
    QPixmap pixmap;
    if (!QPixmapCache::find(resource, &pixmap)) {
        pixmap.load(resource, "JPG");
        QPixmapCache::insert(resource, pixmap);
    }
    return pixmap;
}

}  // namespace

QString CardPictureResource(TCardId id) {
    return QString(":/cards/card%1.jpg").arg(id, 2, 10, QChar('0'));
}

QPixmap CardPixmap(TCardId id) {
    if (!IsCardId(id)) return QPixmap();
    return CachedPixmap(CardPictureResource(id));
}

QPixmap StartPixmap() {
    return CachedPixmap(":/start.jpg");
}

}  // namespace studlab
