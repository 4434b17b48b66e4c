#include "card_painter.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>
#include <array>
#include <vector>

namespace studlab::cardgen {
namespace {

constexpr QRgb kRed = qRgb(0xc8, 0x10, 0x1e);
constexpr QRgb kBlack = qRgb(0x11, 0x11, 0x11);
constexpr QRgb kTableGreen = qRgb(0x00, 0x80, 0x00);  // the decision window's cloth
constexpr QRgb kGold = qRgb(0xe8, 0xb9, 0x23);
constexpr QRgb kSkin = qRgb(0xf6, 0xd5, 0xa8);

// Suits in card-id order: "черви", "треф", "буби", "пик".
constexpr std::array<char16_t, 4> kSuitSymbols = {u'\u2665', u'\u2663', u'\u2666', u'\u2660'};

QColor SuitColour(SuitIndex suit) {
    return QColor(suit == 1 || suit == 3 ? kRed : kBlack);
}

QFont SymbolFont(bool bold) {
    QFont font("DejaVu Sans");
    font.setPixelSize(64);  // outlines are scaled afterwards; a large size keeps their shape exact
    font.setBold(bold);
    return font;
}

// The outline of `text` scaled to `height` pixels and centred on the origin.
QPainterPath CentredOutline(const QString& text, qreal height, bool bold, qreal squeeze = 1.0) {
    QPainterPath path;
    path.addText(0, 0, SymbolFont(bold), text);
    const QRectF box = path.boundingRect();
    QTransform t;
    const qreal scale = height / box.height();
    t.scale(scale * squeeze, scale);
    t.translate(-box.center().x(), -box.center().y());
    return t.map(path);
}

QPainterPath SuitOutline(SuitIndex suit, qreal height) {
    return CentredOutline(QString(QChar(kSuitSymbols[static_cast<std::size_t>(suit - 1)])), height,
                          false);
}

void FillAt(QPainter& p, const QPainterPath& path, QPointF centre, const QColor& colour,
            bool upsideDown = false) {
    p.save();
    p.translate(centre);
    if (upsideDown) p.rotate(180);
    p.fillPath(path, colour);
    p.restore();
}

QString FaceLabel(FaceNumber face) {
    switch (face) {
        case 1:
            return "A";
        case 11:
            return "J";
        case 12:
            return "Q";
        case 13:
            return "K";
        default:
            return QString::number(face);
    }
}

// Rank and suit in the top-left corner, and the same turned round in the bottom-right one.
void PaintIndices(QPainter& p, FaceNumber face, SuitIndex suit) {
    const QColor colour = SuitColour(suit);
    const QString label = FaceLabel(face);
    // "10" is squeezed so that both digits fit the width of one letter.
    const QPainterPath rank = CentredOutline(label, 10.5, true, label.size() > 1 ? 0.62 : 1.0);
    const QPainterPath symbol = SuitOutline(suit, 9);
    for (bool turned : {false, true}) {
        p.save();
        if (turned) {
            p.translate(kCardWidth, kCardHeight);
            p.rotate(180);
        }
        FillAt(p, rank, QPointF(7.5, 9.5), colour);
        FillAt(p, symbol, QPointF(7.5, 22), colour);
        p.restore();
    }
}

// Pip places as fractions of the pip area: x 0 left, 0.5 middle, 1 right; y 0 top, 1 bottom.
std::vector<QPointF> PipLayout(FaceNumber face) {
    const qreal third = 1.0 / 3.0;
    switch (face) {
        case 2:
            return {{0.5, 0}, {0.5, 1}};
        case 3:
            return {{0.5, 0}, {0.5, 0.5}, {0.5, 1}};
        case 4:
            return {{0, 0}, {1, 0}, {0, 1}, {1, 1}};
        case 5:
            return {{0, 0}, {1, 0}, {0.5, 0.5}, {0, 1}, {1, 1}};
        case 6:
            return {{0, 0}, {1, 0}, {0, 0.5}, {1, 0.5}, {0, 1}, {1, 1}};
        case 7:
            return {{0, 0}, {1, 0}, {0.5, 0.25}, {0, 0.5}, {1, 0.5}, {0, 1}, {1, 1}};
        case 8:
            return {{0, 0}, {1, 0}, {0.5, 0.25}, {0, 0.5}, {1, 0.5}, {0.5, 0.75}, {0, 1}, {1, 1}};
        case 9:
            return {{0, 0},         {1, 0},         {0, third}, {1, third}, {0.5, 0.5},
                    {0, 2 * third}, {1, 2 * third}, {0, 1},     {1, 1}};
        case 10:
            return {{0, 0},         {1, 0},         {0.5, third / 2},     {0, third}, {1, third},
                    {0, 2 * third}, {1, 2 * third}, {0.5, 1 - third / 2}, {0, 1},     {1, 1}};
        default:
            return {};
    }
}

void PaintPips(QPainter& p, FaceNumber face, SuitIndex suit) {
    const QRectF area(23, 17, 27, 66);  // pip centres
    const QPainterPath pip = SuitOutline(suit, 14);
    for (const QPointF& place : PipLayout(face)) {
        const QPointF centre(area.left() + place.x() * area.width(),
                             area.top() + place.y() * area.height());
        FillAt(p, pip, centre, SuitColour(suit), place.y() > 0.5);
    }
}

void PaintAce(QPainter& p, SuitIndex suit) {
    const QPointF centre(36.5, 50);
    if (suit == 4) {
        // The ace of spades carries the deck's ornament: a large spade in a ring.
        p.setPen(QPen(QColor(kBlack), 1.2));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(centre, 24, 24);
        p.setPen(QPen(QColor(kGold), 1.0));
        p.drawEllipse(centre, 21.5, 21.5);
        FillAt(p, SuitOutline(suit, 32), centre, SuitColour(suit));
        return;
    }
    FillAt(p, SuitOutline(suit, 34), centre, SuitColour(suit));
}

struct TCourtColours {
    QColor Robe;
    QColor Trim;
};

// The upper half of a court figure, drawn inside the frame (14, 12)-(59, 50).
void PaintCourtHalf(QPainter& p, FaceNumber face, SuitIndex suit) {
    const TCourtColours colours =
        face == 13   ? TCourtColours{QColor(0xb7, 0x1c, 0x1c), QColor(kGold)}
        : face == 12 ? TCourtColours{QColor(0x1e, 0x4f, 0xa8), QColor(kGold)}
                     : TCourtColours{QColor(0x2e, 0x7d, 0x32), QColor(0xf0, 0xc0, 0x30)};
    const QPen outline(QColor(0x33, 0x22, 0x11), 0.8);

    // Robe and shoulders.
    QPainterPath robe;
    robe.moveTo(15, 50);
    robe.lineTo(17, 40);
    robe.quadTo(22, 35, 30, 34);
    robe.lineTo(43, 34);
    robe.quadTo(51, 35, 56, 40);
    robe.lineTo(58, 50);
    robe.closeSubpath();
    p.setPen(outline);
    p.setBrush(colours.Robe);
    p.drawPath(robe);
    p.setBrush(colours.Trim);
    p.drawRect(QRectF(33.5, 36, 6, 14));  // the front band
    p.setBrush(QColor(Qt::white));
    p.drawPolygon(QPolygonF({QPointF(30, 34), QPointF(43, 34), QPointF(36.5, 39)}));  // collar

    // What each figure holds: the king a sword, the queen a flower, the jack a halberd.
    if (face == 13) {
        p.setPen(QPen(QColor(0x70, 0x70, 0x78), 1.6));
        p.drawLine(QPointF(52, 49), QPointF(52, 25));
        p.setPen(QPen(QColor(kGold), 1.6));
        p.drawLine(QPointF(49, 31), QPointF(55, 31));
    } else if (face == 12) {
        p.setPen(QPen(QColor(0x2e, 0x7d, 0x32), 1.0));
        p.drawLine(QPointF(21, 48), QPointF(21, 33));
        p.setPen(outline);
        p.setBrush(QColor(kRed));
        p.drawEllipse(QPointF(21, 31), 2.6, 2.6);
        p.setBrush(QColor(kGold));
        p.drawEllipse(QPointF(21, 31), 1.0, 1.0);
    } else {
        p.setPen(QPen(QColor(0x7a, 0x4a, 0x21), 1.4));
        p.drawLine(QPointF(20, 49), QPointF(20, 19));
        p.setPen(outline);
        p.setBrush(QColor(0xa0, 0xa0, 0xa8));
        p.drawPolygon(
            QPolygonF({QPointF(20, 19), QPointF(16, 22), QPointF(16.5, 27), QPointF(20, 25)}));
    }

    // Hair behind the head: long for the queen, short for the others.
    p.setPen(outline);
    if (face == 12) {
        p.setBrush(QColor(0xc8, 0x90, 0x2e));
        p.drawRoundedRect(QRectF(28.5, 21, 16, 15), 5, 5);
    } else {
        p.setBrush(QColor(0x6b, 0x3e, 0x1c));
        p.drawEllipse(QPointF(36.5, 24), 7.5, 6.5);
    }

    // Face.
    p.setBrush(QColor(kSkin));
    p.drawEllipse(QPointF(36.5, 27), 5.8, 7);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x22, 0x22, 0x22));
    p.drawEllipse(QPointF(34.3, 26), 0.8, 0.8);
    p.drawEllipse(QPointF(38.7, 26), 0.8, 0.8);
    p.setPen(QPen(QColor(0xa0, 0x30, 0x30), 0.9));
    p.drawLine(QPointF(35.4, 30.6), QPointF(37.6, 30.6));

    if (face == 13) {
        // The king's beard.
        QPainterPath beard;
        beard.moveTo(31, 28.5);
        beard.quadTo(36.5, 41, 42, 28.5);
        beard.quadTo(36.5, 33, 31, 28.5);
        p.setPen(outline);
        p.setBrush(QColor(0xe6, 0xe6, 0xe6));
        p.drawPath(beard);
    }

    // Headwear: a pointed crown, a rounded crown, a cap with a feather.
    p.setPen(outline);
    if (face == 13) {
        p.setBrush(QColor(kGold));
        p.drawPolygon(
            QPolygonF({QPointF(29.5, 21), QPointF(29.5, 14), QPointF(33, 18), QPointF(36.5, 12.5),
                       QPointF(40, 18), QPointF(43.5, 14), QPointF(43.5, 21)}));
        p.setBrush(QColor(kRed));
        p.drawEllipse(QPointF(36.5, 19), 1.2, 1.2);
    } else if (face == 12) {
        QPainterPath crown;
        crown.moveTo(30, 21);
        crown.lineTo(30, 17);
        crown.arcTo(QRectF(30, 14, 4.5, 5), 180, -180);
        crown.arcTo(QRectF(34.25, 13, 4.5, 5), 180, -180);
        crown.arcTo(QRectF(38.5, 14, 4.5, 5), 180, -180);
        crown.lineTo(43, 21);
        crown.closeSubpath();
        p.setBrush(QColor(kGold));
        p.drawPath(crown);
        p.setBrush(QColor(0x1e, 0x4f, 0xa8));
        p.drawEllipse(QPointF(36.5, 19), 1.1, 1.1);
    } else {
        p.setBrush(QColor(0xb3, 0x20, 0x2a));
        p.drawEllipse(QRectF(28, 15, 18, 7));
        QPainterPath feather;
        feather.moveTo(43, 17);
        feather.quadTo(50, 9, 56, 13);
        feather.quadTo(50, 13, 44, 19);
        feather.closeSubpath();
        p.setBrush(QColor(Qt::white));
        p.drawPath(feather);
    }

    FillAt(p, SuitOutline(suit, 8), QPointF(19, 17), SuitColour(suit));
}

void PaintCourt(QPainter& p, FaceNumber face, SuitIndex suit) {
    const QRectF frame(14, 12, 45, 76);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xff, 0xf6, 0xdc));
    p.drawRect(frame);
    for (bool turned : {false, true}) {
        p.save();
        p.setClipRect(QRectF(frame.left(), frame.top(), frame.width(), frame.height() / 2));
        if (turned) {
            p.translate(kCardWidth, kCardHeight);
            p.rotate(180);
            p.setClipRect(QRectF(frame.left(), frame.top(), frame.width(), frame.height() / 2));
        }
        PaintCourtHalf(p, face, suit);
        p.restore();
    }
    p.setPen(QPen(SuitColour(suit), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawRect(frame);
    p.setPen(QPen(SuitColour(suit), 0.6));
    p.drawLine(QPointF(frame.left(), 50), QPointF(frame.right(), 50));
}

}  // namespace

void PaintCard(QPainter& p, TCardId id) {
    const FaceNumber face = FaceNumberOf(id);
    const SuitIndex suit = SuitIndexOf(id);
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x60, 0x60, 0x60), 1.0));
    p.setBrush(QColor(Qt::white));
    p.drawRoundedRect(QRectF(0.5, 0.5, kCardWidth - 1, kCardHeight - 1), 4, 4);
    if (face == 1) {
        PaintAce(p, suit);
    } else if (face >= 11) {
        PaintCourt(p, face, suit);
    } else {
        PaintPips(p, face, suit);
    }
    PaintIndices(p, face, suit);
    p.restore();
}

QImage CardImage(TCardId id) {
    QImage image(kCardWidth, kCardHeight, QImage::Format_RGB32);
    image.fill(QColor(kTableGreen));  // shows only in the rounded corners
    QPainter painter(&image);
    PaintCard(painter, id);
    return image;
}

QImage StartImage() {
    QImage image(kStartWidth, kStartHeight, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    QRadialGradient cloth(QPointF(160, 220), 330);
    cloth.setColorAt(0, QColor(0x1f, 0x8a, 0x45));
    cloth.setColorAt(1, QColor(0x06, 0x3a, 0x1a));
    p.fillRect(image.rect(), cloth);
    p.setPen(QPen(QColor(kGold), 2));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(7, 7, kStartWidth - 14, kStartHeight - 14), 10, 10);

    QFont title("DejaVu Sans");
    title.setPixelSize(52);
    title.setBold(true);
    p.setFont(title);
    const QRectF titleBox(0, 28, kStartWidth, 70);
    p.setPen(QColor(0, 0, 0, 140));
    p.drawText(titleBox.translated(2, 3), Qt::AlignCenter, "studlab");
    p.setPen(QColor(Qt::white));
    p.drawText(titleBox, Qt::AlignCenter, "studlab");

    QFont subtitle("DejaVu Sans");
    subtitle.setPixelSize(15);
    p.setFont(subtitle);
    p.setPen(QColor(0xf3, 0xe3, 0xb0));
    p.drawText(QRectF(0, 98, kStartWidth, 22), Qt::AlignCenter,
               QString::fromUtf8("стад-покер против дилера"));

    // A fan of the royal flush in spades: 10, J, Q, K, A.
    const std::array<TCardId, 5> fan = {CardIdOf(5, 4), CardIdOf(4, 4), CardIdOf(3, 4),
                                        CardIdOf(2, 4), CardIdOf(1, 4)};
    const QPointF pivot(160.5, 420);
    const qreal scale = 1.3;
    for (std::size_t i = 0; i < fan.size(); ++i) {
        p.save();
        p.translate(pivot);
        p.rotate(-24.0 + 12.0 * static_cast<qreal>(i));
        p.translate(-kCardWidth * scale / 2, -250);
        p.scale(scale, scale);
        p.fillRect(QRectF(2, 2, kCardWidth, kCardHeight), QColor(0, 0, 0, 60));  // shadow
        PaintCard(p, fan[i]);
        p.restore();
    }

    const QRectF invitation(40, 398, kStartWidth - 80, 40);
    p.setPen(QPen(QColor(kGold), 1.5));
    p.setBrush(QColor(0, 0, 0, 110));
    p.drawRoundedRect(invitation, 12, 12);
    QFont prompt("DejaVu Sans");
    prompt.setPixelSize(16);
    prompt.setBold(true);
    p.setFont(prompt);
    p.setPen(QColor(Qt::white));
    p.drawText(invitation, Qt::AlignCenter, QString::fromUtf8("щёлкните, чтобы начать"));
    return image;
}

}  // namespace studlab::cardgen
