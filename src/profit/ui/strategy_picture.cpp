#include "profit/ui/strategy_picture.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QRect>
#include <algorithm>
#include <cmath>

#include "profit/ui/exact_analysis.h"
#include "text/number_text.h"
#include "widgets/controls.h"
#include "widgets/window_look.h"

namespace studlab {
namespace {

QString Text(std::string_view text) {
    return QtText(text);
}

}  // namespace

QColor StrategyActionColour(TFirstAction action) {
    switch (action) {
        case TFirstAction::faFold:
            return QColor(0xf2, 0xa0, 0xa0);
        case TFirstAction::faBet:
            return QColor(0x9c, 0xdc, 0x8e);
        case TFirstAction::faBetInsured:
            return QColor(0x7c, 0xd4, 0xc8);
        case TFirstAction::faBuyCard:
            return QColor(0x9e, 0xc6, 0xf2);
        case TFirstAction::faBuyTwoCards:
            return QColor(0x74, 0xa4, 0xe8);
        case TFirstAction::faExchange1:
            return QColor(0xf6, 0xe0, 0x8a);
        case TFirstAction::faExchange2:
            return QColor(0xf4, 0xc0, 0x6c);
        case TFirstAction::faExchange3:
            return QColor(0xec, 0xa0, 0x5c);
        case TFirstAction::faExchange4:
            return QColor(0xdc, 0xa8, 0xe4);
        case TFirstAction::faExchange5:
            return QColor(0xbc, 0x8c, 0xd4);
        case TFirstAction::faNone:
            break;
    }
    return QColor(0xd8, 0xd8, 0xd8);
}

QColor StrategyCellColour(const TStrategyCell& cell) {
    return cell.Empty ? QColor(0x9a, 0xb4, 0xb4) : StrategyActionColour(cell.Action);
}

QString StrategyCellText(const TStrategyCell& cell) {
    if (cell.Empty) return QString();
    QString text = Text(FirstActionCaption(cell.Action));
    const long double share = std::floor(cell.SharePercent);
    if (share < 100) text += "\n" + Text(FormatNumber(share)) + " %";
    return text;
}

QString StrategyColumnText(int column, bool byDealerCard) {
    return byDealerCard ? Text(StrategyColumnCaption(column)) : QString("любые карты дилера");
}

std::vector<TFirstAction> StrategyActionsShown(const TStrategyGrid& grid, int columns) {
    std::vector<bool> shown(kFirstActions, false);
    for (int r = 0; r < kStrategyRows; ++r) {
        for (int c = 0; c < columns; ++c) {
            const TStrategyCell cell = StrategyCellOf(grid, r, c);
            if (!cell.Empty) shown[static_cast<std::size_t>(cell.Action)] = true;
        }
    }
    std::vector<TFirstAction> actions;
    for (int a = 0; a < kFirstActions; ++a) {
        if (shown[static_cast<std::size_t>(a)]) actions.push_back(static_cast<TFirstAction>(a));
    }
    return actions;
}

QImage StrategyGridPicture(const TStrategyGrid& grid, bool byDealerCard, long double moPercent) {
    const int columns = byDealerCard ? kStrategyColumns : 1;

    const QFont cellFont = CaptionFont(kStrategyCellFontPixels);
    QFont boldFont = CaptionFont(13, true);
    const QFontMetrics cellMetrics(cellFont);
    const QFontMetrics boldMetrics(boldFont);
    int captionWidth = 0;
    for (int r = 0; r < kStrategyRows; ++r)
        captionWidth =
            std::max(captionWidth, boldMetrics.horizontalAdvance(Text(StrategyRowCaption(r))));
    captionWidth += 16;
    int cellWidth = boldMetrics.horizontalAdvance(StrategyColumnText(0, byDealerCard));
    for (int r = 0; r < kStrategyRows; ++r) {
        for (int c = 0; c < columns; ++c) {
            for (const QString& line : StrategyCellText(StrategyCellOf(grid, r, c)).split('\n'))
                cellWidth = std::max(cellWidth, cellMetrics.horizontalAdvance(line));
        }
    }
    cellWidth += 14;
    const int margin = 12;
    const int titleHeight = 30;
    const int headerHeight = 26;
    const int legendHeight = 30;
    const QString title =
        Text("Стратегия игры, первое решение (точный расчет, " + ExactMoText(moPercent) + ")" +
             (byDealerCard ? ": столбцы — открытая карта дилера" : ""));
    const int width = std::max(2 * margin + captionWidth + columns * cellWidth,
                               2 * margin + boldMetrics.horizontalAdvance(title));
    const int height =
        2 * margin + titleHeight + headerHeight + kStrategyRows * kStrategyRowHeight + legendHeight;

    QImage picture(width, height, QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.setPen(Qt::black);
    painter.setFont(boldFont);
    painter.drawText(QRect(margin, margin, width - 2 * margin, titleHeight),
                     Qt::AlignLeft | Qt::AlignVCenter, title);
    const int top = margin + titleHeight;
    const int left = margin + captionWidth;
    for (int c = 0; c < columns; ++c) {
        painter.drawText(QRect(left + c * cellWidth, top, cellWidth, headerHeight), Qt::AlignCenter,
                         StrategyColumnText(c, byDealerCard));
    }
    for (int r = 0; r < kStrategyRows; ++r) {
        const int y = top + headerHeight + r * kStrategyRowHeight;
        painter.setFont(boldFont);
        painter.setPen(Qt::black);
        painter.drawText(QRect(margin, y, captionWidth - 8, kStrategyRowHeight),
                         Qt::AlignRight | Qt::AlignVCenter, Text(StrategyRowCaption(r)));
        painter.setFont(cellFont);
        for (int c = 0; c < columns; ++c) {
            const TStrategyCell cell = StrategyCellOf(grid, r, c);
            const QRect box(left + c * cellWidth, y, cellWidth, kStrategyRowHeight);
            painter.fillRect(box, StrategyCellColour(cell));
            painter.setPen(QColor(0x60, 0x70, 0x70));
            painter.drawRect(box.adjusted(0, 0, -1, -1));
            painter.setPen(Qt::black);
            painter.drawText(box, Qt::AlignCenter, StrategyCellText(cell));
        }
    }
    int x = margin;
    const int legendTop = top + headerHeight + kStrategyRows * kStrategyRowHeight + 6;
    painter.setFont(cellFont);
    for (TFirstAction a : StrategyActionsShown(grid, columns)) {
        const QString caption = Text(FirstActionCaption(a));
        const int w = cellMetrics.horizontalAdvance(caption) + 16;
        const QRect chip(x, legendTop, w, legendHeight - 8);
        painter.fillRect(chip, StrategyActionColour(a));
        painter.drawText(chip, Qt::AlignCenter, caption);
        x += w + 10;
    }
    return picture;
}

}  // namespace studlab
