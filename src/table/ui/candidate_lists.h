#pragma once

#include <QFont>
#include <QString>
#include <QStringList>
#include <string_view>

namespace studlab {

// The candidate decisions of the last press as a person reads them, for the decision window and
// its list window alike: a caption and its value on each line, as many lines as there are
// candidates (the free slots after the last one are left out), every value an amount with at
// most four decimals. The model keeps the values as computed.
struct TCandidateLines {
    QStringList Captions;
    QStringList Values;  // as many lines as Captions

    QString CaptionText() const { return Captions.join('\n'); }
    QString ValueText() const { return Values.join('\n'); }
    bool IsEmpty() const { return Captions.isEmpty(); }
};

TCandidateLines ReadableCandidates(std::string_view captions, std::string_view values);

// The decision lists' typeface: plain and upright, so that captions and amounts read at a
// glance and a value stays on the line of its caption.
QFont CandidateListFont(int pixelSize);

// What a click on the lists does, said beside them and in their hints.
inline constexpr const char* kListHint = "щёлкните, чтобы открыть весь список";

}  // namespace studlab
