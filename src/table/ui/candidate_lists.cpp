#include "table/ui/candidate_lists.h"

#include <algorithm>

#include "text/number_text.h"
#include "widgets/controls.h"

namespace studlab {

TCandidateLines ReadableCandidates(std::string_view captions, std::string_view values) {
    TCandidateLines lines;
    lines.Captions = LabelText(captions).split('\n');
    lines.Values = LabelText(values).split('\n');
    const qsizetype count = std::max(lines.Captions.size(), lines.Values.size());
    lines.Captions.resize(count);
    lines.Values.resize(count);
    // Every list ends with a line break, and every free slot adds an empty line.
    while (!lines.Captions.isEmpty() && lines.Captions.back().isEmpty() &&
           lines.Values.back().isEmpty()) {
        lines.Captions.removeLast();
        lines.Values.removeLast();
    }
    for (QString& value : lines.Values) value = QtText(FormatAmountText(value.toStdString()));
    return lines;
}

QFont CandidateListFont(int pixelSize) {
    QFont font;
    font.setFamilies({"DejaVu Sans", "Arial", "Liberation Sans"});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelSize);
    return font;
}

}  // namespace studlab
