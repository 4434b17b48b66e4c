#include "design/design_fields.h"

#include <array>
#include <functional>

#include "text/number_text.h"

namespace studlab {
namespace {

using enum TCombinationKind;
using enum TPlayerAction;

constexpr std::array<std::string_view, kPlayerActionCount> kActionNames = {
    "paFold",        "paBet",       "paBetInsured",    "paBuyCard",
    "paBuyTwoCards", "paExchange1", "paExchange2",     "paExchange3",
    "paExchange4",   "paExchange5", "paBuyDealerGame", "paDeclineDealerGame"};

struct TField {
    std::string Name;
    std::function<std::string(const TGameDesign&, const TCalculationSettings&)> Get;
    std::function<void(TGameDesign&, TCalculationSettings&, std::string_view, TValueCheck)> Set;
};

[[noreturn]] void BadValue(std::string_view name, std::string_view value,
                           std::string_view expected) {
    throw TFieldError("invalid value '" + std::string(value) + "' for " + std::string(name) +
                      " (expected " + std::string(expected) + ")");
}

bool ParseFlag(std::string_view name, std::string_view value) {
    if (value == "YES") return true;
    if (value == "NO") return false;
    BadValue(name, value, "YES or NO");
}

std::string Flag(bool on) {
    return on ? "YES" : "NO";
}

template <class T>
std::string OptionName(const std::optional<T>& v,
                       std::initializer_list<std::pair<T, std::string_view>> names) {
    if (!v) return "";
    for (const auto& [value, name] : names) {
        if (value == *v) return std::string(name);
    }
    return "";
}

template <class T>
T ParseOption(std::string_view field, std::string_view value,
              std::initializer_list<std::pair<T, std::string_view>> names) {
    std::string expected;
    for (const auto& [option, name] : names) {
        if (name == value) return option;
        expected += (expected.empty() ? "" : ", ") + std::string(name);
    }
    BadValue(field, value, expected);
}

// What a number field holds when it is read: the windows accept any text and a bad number is
// reported when a computation reads it; scripts may ask for the form to be checked at once.
enum class TNumberForm {
    Real,         // payouts and costs
    Whole,        // the table maximum, the boxes, the seconds
    WholeOrNone,  // the draws of the probabilistic method: empty means the default
    AnyText,      // the dealer's open cards: a text the table checks itself
};

std::string NumberText(std::string_view name, std::string_view value, TNumberForm form,
                       TValueCheck check) {
    // A line break would not survive the design file.
    if (value.find_first_of("\r\n") != std::string_view::npos)
        BadValue(name, value, "one line of text");
    if (check == TValueCheck::NumbersMustConvert) {
        try {
            if (form == TNumberForm::Real) ParseDesignNumber(value);
            if (form == TNumberForm::Whole || (form == TNumberForm::WholeOrNone && !value.empty()))
                ParseDesignInteger(value);
        } catch (const TConversionError&) {
            BadValue(name, value,
                     form == TNumberForm::Real ? "a number such as 1,5" : "a whole number");
        }
    }
    return std::string(value);
}

using TGetText = std::function<std::string&(TGameDesign&, TCalculationSettings&)>;
using TGetFlag = std::function<bool&(TGameDesign&, TCalculationSettings&)>;

TField TextField(std::string name, TGetText get, TNumberForm form = TNumberForm::Real) {
    return {name,
            [get](const TGameDesign& d, const TCalculationSettings& s) {
                return get(const_cast<TGameDesign&>(d), const_cast<TCalculationSettings&>(s));
            },
            [get, name, form](TGameDesign& d, TCalculationSettings& s, std::string_view v,
                              TValueCheck check) { get(d, s) = NumberText(name, v, form, check); }};
}

TField FlagField(std::string name, TGetFlag get) {
    return {name,
            [get](const TGameDesign& d, const TCalculationSettings& s) {
                return Flag(get(const_cast<TGameDesign&>(d), const_cast<TCalculationSettings&>(s)));
            },
            [get, name](TGameDesign& d, TCalculationSettings& s, std::string_view v, TValueCheck) {
                get(d, s) = ParseFlag(name, v);
            }};
}

constexpr std::array<std::string_view, 14> kMinPairFaces = {
    "", "A", "K", "Q", "J", "10", "9", "8", "7", "6", "5", "4", "3", "2"};  // by RankIndex

const std::vector<TField>& Fields() {
    static const std::vector<TField> fields = [] {
        std::vector<TField> f;
        f.push_back({"DeckKind",
                     [](const TGameDesign& d, const TCalculationSettings&) {
                         return OptionName(d.DeckKind, {{TDeckKind::dk52, "dk52"},
                                                        {TDeckKind::dk53, "dk53"},
                                                        {TDeckKind::dk54, "dk54"}});
                     },
                     [](TGameDesign& d, TCalculationSettings&, std::string_view v, TValueCheck) {
                         if (v.empty()) return d.DeckKind.reset();
                         d.DeckKind = ParseOption<TDeckKind>("DeckKind", v,
                                                             {{TDeckKind::dk52, "dk52"},
                                                              {TDeckKind::dk53, "dk53"},
                                                              {TDeckKind::dk54, "dk54"}});
                     }});
        const auto kindName = [](int i) { return std::string(KindCodeName(KindAt(i))); };
        for (int i = 1; i <= kDesignKindCount; ++i) {
            const TCombinationKind k = KindAt(i);
            f.push_back(FlagField(
                "Plays[" + kindName(i) + "]",
                [k](TGameDesign& d, TCalculationSettings&) -> bool& { return d.Plays[k]; }));
        }
        for (int i = 1; i <= kDesignKindCount; ++i) {
            const TCombinationKind k = KindAt(i);
            f.push_back(TextField("PayQualified[" + kindName(i) + "]",
                                  [k](TGameDesign& d, TCalculationSettings&) -> std::string& {
                                      return d.PayQualified[k];
                                  }));
        }
        for (int i = 1; i <= kDesignKindCount; ++i) {
            const TCombinationKind k = KindAt(i);
            f.push_back(TextField("PayNotQualified[" + kindName(i) + "]",
                                  [k](TGameDesign& d, TCalculationSettings&) -> std::string& {
                                      return d.PayNotQualified[k];
                                  }));
        }
        for (int i = 0; i < kCompositeCount; ++i) {
            f.push_back(FlagField("CompositePlays[" + std::to_string(i + 1) + "]",
                                  [i](TGameDesign& d, TCalculationSettings&) -> bool& {
                                      return d.CompositePlays[i];
                                  }));
        }
        for (int i = 0; i < kJokerRuleCount; ++i) {
            f.push_back(FlagField(
                "JokerRules[" + std::to_string(i + 1) + "]",
                [i](TGameDesign& d, TCalculationSettings&) -> bool& { return d.JokerRules[i]; }));
        }
        f.push_back({"RoundStraight",
                     [](const TGameDesign& d, const TCalculationSettings&) {
                         return d.RoundStraight ? Flag(*d.RoundStraight) : std::string();
                     },
                     [](TGameDesign& d, TCalculationSettings&, std::string_view v, TValueCheck) {
                         if (v.empty()) return d.RoundStraight.reset();
                         d.RoundStraight = ParseFlag("RoundStraight", v);
                     }});
        f.push_back({"MinPair",
                     [](const TGameDesign& d, const TCalculationSettings&) {
                         return d.MinPair ? std::string(kMinPairFaces[*d.MinPair]) : std::string();
                     },
                     [](TGameDesign& d, TCalculationSettings&, std::string_view v, TValueCheck) {
                         if (v.empty()) return d.MinPair.reset();
                         for (RankIndex r = 1; r <= kRanks; ++r) {
                             if (kMinPairFaces[r] == v) {
                                 d.MinPair = r;
                                 return;
                             }
                         }
                         BadValue("MinPair", v, "a face: 2 .. 10, J, Q, K, A");
                     }});
        f.push_back(
            {"MinAceKing",
             [](const TGameDesign& d, const TCalculationSettings&) {
                 return OptionName(d.MinAceKing, {{TMinAceKing::akAny, "akAny"},
                                                  {TMinAceKing::akWithQueen, "akWithQueen"}});
             },
             [](TGameDesign& d, TCalculationSettings&, std::string_view v, TValueCheck) {
                 if (v.empty()) return d.MinAceKing.reset();
                 d.MinAceKing = ParseOption<TMinAceKing>(
                     "MinAceKing", v,
                     {{TMinAceKing::akAny, "akAny"}, {TMinAceKing::akWithQueen, "akWithQueen"}});
             }});
        for (int stage = 1; stage <= kStages; ++stage) {
            for (int a = 0; a < kPlayerActionCount; ++a) {
                if (!StageHasAction(stage, static_cast<TPlayerAction>(a))) continue;
                f.push_back(FlagField("StageActions[" + std::to_string(stage) + "][" +
                                          std::string(kActionNames[a]) + "]",
                                      [stage, a](TGameDesign& d, TCalculationSettings&) -> bool& {
                                          return d.StageActions[stage][a];
                                      }));
            }
        }
        f.push_back(FlagField(
            "DealerBuyAction[lowest]",
            [](TGameDesign& d, TCalculationSettings&) -> bool& { return d.DealerBuysLowest; }));
        f.push_back(FlagField(
            "DealerBuyAction[highest]",
            [](TGameDesign& d, TCalculationSettings&) -> bool& { return d.DealerBuysHighest; }));
        for (int stage = 1; stage <= 2; ++stage) {
            for (int n = 1; n <= 2; ++n) {
                f.push_back(
                    TextField("BuyCost[" + std::to_string(stage) + "][" + std::to_string(n) + "]",
                              [stage, n](TGameDesign& d, TCalculationSettings&) -> std::string& {
                                  return d.BuyCost[stage][n];
                              }));
            }
            for (int n = 1; n <= 5; ++n) {
                f.push_back(TextField(
                    "ExchangeCost[" + std::to_string(stage) + "][" + std::to_string(n) + "]",
                    [stage, n](TGameDesign& d, TCalculationSettings&) -> std::string& {
                        return d.ExchangeCost[stage][n];
                    }));
            }
        }
        f.push_back(TextField("BetSize", [](TGameDesign& d, TCalculationSettings&) -> std::string& {
            return d.BetSize;
        }));
        f.push_back(TextField("BuyDealerGameCost",
                              [](TGameDesign& d, TCalculationSettings&) -> std::string& {
                                  return d.BuyDealerGameCost;
                              }));
        f.push_back(TextField(
            "DealerOpenCards",
            [](TGameDesign& d, TCalculationSettings&) -> std::string& { return d.DealerOpenCards; },
            TNumberForm::AnyText));
        f.push_back({"InsuranceMax",
                     [](const TGameDesign& d, const TCalculationSettings&) {
                         return std::string(d.InsuranceMax() == TInsuranceMax::imFull ? "imFull"
                                                                                      : "imHalf");
                     },
                     [](TGameDesign& d, TCalculationSettings&, std::string_view v, TValueCheck) {
                         const TInsuranceMax m =
                             ParseOption<TInsuranceMax>("InsuranceMax", v,
                                                        {{TInsuranceMax::imFull, "imFull"},
                                                         {TInsuranceMax::imHalf, "imHalf"}});
                         d.InsuranceFull = m == TInsuranceMax::imFull;
                         d.InsuranceHalf = !d.InsuranceFull;
                     }});
        for (int i = 1; i <= kDesignKindCount; ++i) {
            const TCombinationKind k = KindAt(i);
            f.push_back(FlagField(
                "Insurable[" + kindName(i) + "]",
                [k](TGameDesign& d, TCalculationSettings&) -> bool& { return d.Insurable[k]; }));
        }
        f.push_back(TextField(
            "TableMaximum",
            [](TGameDesign&, TCalculationSettings& s) -> std::string& { return s.TableMaximum; },
            TNumberForm::Whole));
        f.push_back(TextField(
            "PlayingBoxes",
            [](TGameDesign&, TCalculationSettings& s) -> std::string& { return s.PlayingBoxes; },
            TNumberForm::Whole));
        f.push_back(TextField(
            "HandSeconds",
            [](TGameDesign&, TCalculationSettings& s) -> std::string& { return s.HandSeconds; },
            TNumberForm::Whole));
        f.push_back(FlagField("UseCacheTable", [](TGameDesign&, TCalculationSettings& s) -> bool& {
            return s.UseCacheTable;
        }));
        f.push_back(FlagField("SameSequence", [](TGameDesign&, TCalculationSettings& s) -> bool& {
            return s.SameSequence;
        }));
        f.push_back({"CalcMethod",
                     [](const TGameDesign&, const TCalculationSettings& s) {
                         return std::string(s.CalcMethod == TCalcMethod::cmDirect
                                                ? "cmDirect"
                                                : "cmProbabilistic");
                     },
                     [](TGameDesign&, TCalculationSettings& s, std::string_view v, TValueCheck) {
                         s.CalcMethod = ParseOption<TCalcMethod>(
                             "CalcMethod", v,
                             {{TCalcMethod::cmDirect, "cmDirect"},
                              {TCalcMethod::cmProbabilistic, "cmProbabilistic"}});
                     }});
        f.push_back(TextField(
            "ProbabilisticCycles",
            [](TGameDesign&, TCalculationSettings& s) -> std::string& {
                return s.ProbabilisticCycles;
            },
            TNumberForm::WholeOrNone));
        return f;
    }();
    return fields;
}

}  // namespace

std::string_view PlayerActionCodeName(TPlayerAction action) {
    return kActionNames.at(static_cast<std::size_t>(action));
}

std::vector<TDesignFieldValue> ListDesignFields(const TGameDesign& design,
                                                const TCalculationSettings& settings) {
    std::vector<TDesignFieldValue> list;
    for (const TField& field : Fields()) list.push_back({field.Name, field.Get(design, settings)});
    return list;
}

void SetDesignField(TGameDesign& design, TCalculationSettings& settings, std::string_view name,
                    std::string_view value, TValueCheck check) {
    for (const TField& field : Fields()) {
        if (field.Name == name) {
            field.Set(design, settings, value, check);
            return;
        }
    }
    throw TFieldError("unknown field '" + std::string(name) + "'");
}

void SetDesignAssignment(TGameDesign& design, TCalculationSettings& settings,
                         std::string_view assignment, TValueCheck check) {
    const std::size_t eq = assignment.find('=');
    if (eq == std::string_view::npos) {
        throw TFieldError("expected NAME=VALUE, got '" + std::string(assignment) + "'");
    }
    SetDesignField(design, settings, assignment.substr(0, eq), assignment.substr(eq + 1), check);
}

}  // namespace studlab
