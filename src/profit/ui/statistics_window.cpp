#include "profit/ui/statistics_window.h"

#include <QLabel>

#include "profit/profit_check.h"
#include "widgets/controls.h"
#include "widgets/window_look.h"

namespace studlab {
namespace {

using TColumn = TCombinationStats::TColumn;

struct TColumnPlace {
    QRect Header;
    int Width;  // of the counts below the header
};

// The headers of the first three columns stand along the top, those of the outcomes lower.
constexpr std::array<TColumnPlace, TCombinationStats::kColumns> kColumnPlaces = {{
    {{168, 0, 114, 60}, 103},  // total
    {{288, 0, 80, 60}, 72},    // from the deal
    {{368, 0, 64, 60}, 64},    // from buying
    {{432, 40, 80, 20}, 72},   // paid
    {{512, 40, 104, 20}, 96},  // unpaid
    {{616, 40, 99, 20}, 95},   // lost
}};
constexpr std::array<int, TCombinationStats::kColumns> kCountLefts = {168, 280, 360, 432, 512, 616};
constexpr int kCountsTop = 61;
constexpr int kRowCaptionsTop = 64;

QString Text(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

TStatisticsWindow::TStatisticsWindow(const TProfitCheck& profit)
    : QWidget(nullptr, Qt::Window), m_profit(profit) {
    setObjectName("TForm11");
    setWindowTitle("статистика раздач");
    resize(715, 298);
    PaintWindow(this, kBlackBackground);
    QFont textFont = font();
    textFont.setPixelSize(16);
    setFont(textFont);

    // The headers stand close together: a narrower face keeps each within its column.
    QFont headerFont = textFont;
    headerFont.setStretch(QFont::Condensed);
    for (int c = 0; c < TCombinationStats::kColumns; ++c) {
        const TColumnPlace& place = kColumnPlaces[static_cast<std::size_t>(c)];
        QLabel* header = NewLabel(this, QString("Label%1").arg(c + 1),
                                  Text(TCombinationStats::ColumnHeader(static_cast<TColumn>(c))));
        header->setFont(headerFont);
        header->setGeometry(place.Header);
        header->setWordWrap(true);
        header->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    }
    QString captions;
    for (int row = 0; row < TCombinationStats::kRows; ++row) {
        if (row > 0) captions += '\n';
        captions += Text(TCombinationStats::RowCaption(row));
    }
    QLabel* rows = NewLabel(this, "Label7", captions);
    rows->setGeometry(8, kRowCaptionsTop, 150, height() - kRowCaptionsTop);
    rows->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    for (int c = 0; c < TCombinationStats::kColumns; ++c) {
        const auto i = static_cast<std::size_t>(c);
        QLabel* counts = NewLabel(this, QString("Label%1").arg(c + 8), QString());
        counts->setGeometry(kCountLefts[i], kCountsTop, kColumnPlaces[i].Width,
                            height() - kCountsTop);
        counts->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        m_columns[i] = counts;
    }
    CentreOnDesktop(this);
    Render();
}

void TStatisticsWindow::Render() {
    const auto& columns = m_profit.View().StatsColumns;
    for (std::size_t i = 0; i < columns.size(); ++i) m_columns[i]->setText(LabelText(columns[i]));
}

}  // namespace studlab
