#include "cli/cli_common.h"

#include <signal.h>

#include <algorithm>
#include <cctype>
#include <cmath>

#include "cards/eval_rules.h"
#include "design/deck_capacity.h"
#include "design/design_fields.h"
#include "design/design_file.h"
#include "design/design_rules.h"
#include "text/number_text.h"

namespace studlab::cli {
namespace {

// The fields that hold amounts in antes: payouts, costs and the bet.
bool IsAmountField(std::string_view name) {
    for (std::string_view prefix :
         {"PayQualified[", "PayNotQualified[", "BuyCost[", "ExchangeCost["}) {
        if (name.starts_with(prefix)) return true;
    }
    return name == "BetSize" || name == "BuyDealerGameCost";
}

std::string WholeText(std::int64_t value) {
    return std::to_string(value);
}

// An option's number is the number alone: a blank before or after it (" 5", "5 ") is refused
// either way, as is an empty value, rather than read as something else.
bool Unpadded(std::string_view text) {
    const auto blank = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
    return !text.empty() && !blank(text.front()) && !blank(text.back());
}

}  // namespace

void TDesignOptions::AddTo(CLI::App& command) {
    command.add_option("--design", File, "design file (*.es1) to load over the defaults");
    command
        .add_option("--set", Assignments,
                    "NAME=VALUE: set a field of the design or the calculation settings "
                    "after the file, e.g. PayQualified[ckPair]=4 (repeatable)")
        ->take_all();
}

std::string TDesignOptions::Apply(TGameDesign& design, TCalculationSettings& settings) const {
    std::string gameName;
    try {
        if (!File.empty()) gameName = LoadDesignFile(File, design);
    } catch (const std::runtime_error& e) {
        throw TUsageError(e.what());
    }
    for (const std::string& assignment : Assignments) {
        try {
            // A typing mistake in a script is reported at once, not when a number is read.
            SetDesignAssignment(design, settings, assignment, TValueCheck::NumbersMustConvert);
        } catch (const TFieldError& e) {
            // "--set NAME: 'VALUE' is not ..." as the ranges below say it, or "--set: unknown
            // field 'NAME'".
            throw TUsageError(std::string(e.Field().empty() ? "--set: " : "--set ") + e.what());
        } catch (const std::runtime_error& e) {
            throw TUsageError(std::string("--set: ") + e.what());
        }
    }
    bool cycles = false;
    bool boxes = false;
    for (const std::string& assignment : Assignments) {
        const std::string_view text = assignment;
        const std::string_view name = text.substr(0, text.find('='));
        const std::string_view value = text.substr(name.size() + 1);
        const std::string option = "--set " + std::string(name);
        if (IsAmountField(name)) {
            const double antes =
                AmountOption(option, value, -kLargestDesignAmount, kLargestDesignAmount);
            // A payout single precision would change is refused, not paid as another amount.
            if (name.starts_with("Pay") && !PayoutInSinglePrecision(antes)) {
                throw TUsageError(option + ": '" + std::string(value) + "' would pay " +
                                  FormatAmount(static_cast<float>(antes)) +
                                  " antes: a payout is a single-precision number, which holds "
                                  "every ten-thousandth of an ante below 1024 and every whole "
                                  "ante up to 16777216");
            }
        }
        if (name == "TableMaximum") WholeOption(option, value, 1, 2147483647);
        // A text that is no number at all is a typing mistake, told alike in every command; a
        // number the design cannot deal is told by the command that would deal it.
        if (name == "DealerOpenCards") {
            bool whole = Unpadded(value);
            try {
                ParseDesignInteger(value);
            } catch (const TConversionError&) {
                whole = false;
            }
            if (!whole) {
                throw TUsageError(option + ": '" + std::string(value) + "' is not a whole number");
            }
        }
        cycles = cycles || name == "ProbabilisticCycles";
        boxes = boxes || name == "PlayingBoxes";
    }
    // Checked as they stand after every assignment: the boxes depend on the design's draws.
    // No draws given means the method's default.
    if (cycles && !settings.ProbabilisticCycles.empty()) {
        WholeOption("--set ProbabilisticCycles", settings.ProbabilisticCycles, 1, kMostCycles);
    }
    if (boxes) CheckPlayingBoxes("--set PlayingBoxes", settings.PlayingBoxes, design);
    return gameName;
}

std::vector<TCardId> ParseCards(const std::string& text, const char* what) {
    try {
        return ParseCardList(text);
    } catch (const TCardListError& e) {
        throw TUsageError(std::string(what) + ": " + e.what());
    }
}

std::int64_t WholeOption(std::string_view option, std::string_view text, std::int64_t low,
                         std::int64_t high, std::string_view why) {
    std::int64_t value = 0;
    bool whole = Unpadded(text);
    try {
        value = ParseDesignInteger(text);
    } catch (const TConversionError&) {
        whole = false;
    }
    if (!whole || value < low || value > high) {
        std::string message = std::string(option) + ": '" + std::string(text) +
                              "' is not a whole number from " + WholeText(low) + " to " +
                              WholeText(high);
        if (!why.empty()) message += " (" + std::string(why) + ")";
        throw TUsageError(message);
    }
    return value;
}

double AmountOption(std::string_view option, std::string_view text, double low, double high) {
    std::string comma(text);
    std::replace(comma.begin(), comma.end(), '.', ',');
    double value = 0;
    bool number = Unpadded(text);
    try {
        value = ParseDesignNumber(comma);
    } catch (const TConversionError&) {
        number = false;
    }
    // The comparison is made in double precision; only a value inside the range is converted
    // further (a float cannot hold every double).
    if (!number || !(value >= low && value <= high)) {
        throw TUsageError(std::string(option) + ": '" + std::string(text) +
                          "' is not an amount from " + FormatNumber(low) + " to " +
                          FormatNumber(high) + " antes");
    }
    return value;
}

void CheckPlayingBoxes(std::string_view option, std::string_view text, const TGameDesign& design) {
    const int most = LargestPlayingBoxes(design);
    WholeOption(option, text, 1, most,
                "the deck of " + std::to_string(kCards) + " cards serves " + std::to_string(most) +
                    " boxes of this game: one hand can take " +
                    std::to_string(CardsOfOneHand(design)) +
                    " cards, and every further box is dealt five");
}

namespace {
std::atomic<bool> g_interrupted{false};
}  // namespace

CLI::Validator NotEmpty() {
    return CLI::Validator(
        [](const std::string& value) {
            return value.empty() ? std::string("an empty value is not allowed") : std::string();
        },
        "", "NOT EMPTY");
}

const std::atomic<bool>& CatchInterrupts() {
    static const bool installed = [] {
        struct sigaction action {};
        action.sa_handler = [](int) { g_interrupted.store(true); };
        // A second interrupt ends the program at once, as when nothing is caught.
        action.sa_flags = SA_RESETHAND;
        sigemptyset(&action.sa_mask);
        sigaction(SIGINT, &action, nullptr);
        sigaction(SIGTERM, &action, nullptr);
        return true;
    }();
    (void)installed;
    return g_interrupted;
}

}  // namespace studlab::cli
