#include "design/design_numbers.h"

#include <array>

#include "design/design_captions.h"
#include "text/number_text.h"

namespace studlab {
namespace {

enum class TWindow { wnConstructor1, wnConstructor3, wnProfit };

// The caption of every row of text fields, by the field's name without its indices.
struct TRowCaption {
    std::string_view Base;
    TWindow Window;
    std::string_view Caption;  // empty: built from the indices below
};

constexpr std::array<TRowCaption, 11> kRowCaptions = {{
    {"PayQualified", TWindow::wnConstructor1, "оплата при игре дилера"},
    {"PayNotQualified", TWindow::wnConstructor1, "оплата при отсутствии игры у дилера"},
    {"BuyCost", TWindow::wnConstructor3, ""},
    {"ExchangeCost", TWindow::wnConstructor3, ""},
    {"BetSize", TWindow::wnConstructor3, "общие затраты: забиться"},
    {"BuyDealerGameCost", TWindow::wnConstructor3, "общие затраты: купить игру дилеру"},
    {"DealerOpenCards", TWindow::wnConstructor3, "открытые карты дилера"},
    {"TableMaximum", TWindow::wnProfit, "максимум стола"},
    {"PlayingBoxes", TWindow::wnProfit, "кол-во играющих боксов"},
    {"HandSeconds", TWindow::wnProfit, "среднее время одной раздачи"},
    {"ProbabilisticCycles", TWindow::wnProfit, "вероятностный метод: количество циклов"},
}};

std::string_view WindowName(TWindow window) {
    switch (window) {
        case TWindow::wnConstructor1:
            return "конструктор, окно 1";
        case TWindow::wnConstructor3:
            return "конструктор, окно 3";
        case TWindow::wnProfit:
            return "окно «проверка выгодности игры»";
    }
    return {};
}

// The caption of a field as the windows show it: "флеш: оплата при игре дилера",
// "затраты на втором этапе: обменять 3 карты".
std::string FieldCaption(const TDesignField& field, const TRowCaption& row) {
    const std::string_view base = field.Base;
    if (base == "PayQualified" || base == "PayNotQualified")
        return std::string(KindCaption(KindAt(field.I))) + ": " + std::string(row.Caption);
    if (base == "BuyCost" || base == "ExchangeCost") {
        const int cost = base == "BuyCost" ? field.J : field.J + 2;  // the stage's rows 1..7
        return std::string(kStageCostGroups[static_cast<std::size_t>(field.I - 1)]) + ": " +
               std::string(kCostCaptions[static_cast<std::size_t>(cost - 1)]);
    }
    return std::string(row.Caption);
}

const TRowCaption* RowOf(const TDesignField& field) {
    for (const TRowCaption& row : kRowCaptions) {
        if (row.Base == field.Base) return &row;
    }
    return nullptr;
}

// The accessors hand out the members to change them too; here they only find an address.
TNumberText& TextOf(const TDesignField& field, const TGameDesign& design,
                    const TCalculationSettings& settings) {
    return field.TextIn(const_cast<TGameDesign&>(design),
                        const_cast<TCalculationSettings&>(settings));
}

}  // namespace

std::string DesignFieldPlace(const TDesignField& field) {
    const TRowCaption* row = RowOf(field);
    if (!row) return DesignFieldName(field);
    std::string place =
        "«" + FieldCaption(field, *row) + "» (" + std::string(WindowName(row->Window));
    if (field.FileLine != 0)
        place += "; строка " + std::to_string(field.FileLine) + " файла конструкции";
    return place + ")";
}

const TDesignField* FieldOfText(const TGameDesign& design, const TCalculationSettings& settings,
                                const TNumberText& text) {
    for (const TDesignField& field : DesignFields()) {
        if (field.Kind == TFieldKind::fkText && &TextOf(field, design, settings) == &text)
            return &field;
    }
    return nullptr;
}

std::string FieldValueMessage(const TDesignField* field, std::string_view text) {
    const std::string value = "«" + std::string(text) + "»";
    if (!field) return "Число " + value;
    return "В поле " + DesignFieldPlace(*field) + " стоит " + value;
}

double ReadRealField(const TGameDesign& design, const TCalculationSettings& settings,
                     const TNumberText& text) {
    try {
        return ParseDesignNumber(text);
    } catch (const TConversionError&) {
        const TDesignField* field = FieldOfText(design, settings, text);
        if (!field) throw;
        throw TConversionError(FieldValueMessage(field, text) + ", а нужно число, например 1,5");
    }
}

std::int32_t ReadWholeField(const TGameDesign& design, const TCalculationSettings& settings,
                            const TNumberText& text) {
    try {
        return ParseDesignInteger(text);
    } catch (const TConversionError&) {
        const TDesignField* field = FieldOfText(design, settings, text);
        if (!field) throw;
        throw TConversionError(FieldValueMessage(field, text) + ", а нужно целое число");
    }
}

}  // namespace studlab
