// studlab-cli eval, studlab-cli listing
#include <algorithm>
#include <iostream>
#include <memory>

#include "cards/evaluator.h"
#include "cli/cli_common.h"
#include "design/design_rules.h"
#include "text/number_text.h"

namespace studlab::cli {
namespace {

// The cards of a layout and the design to evaluate it under.
struct TLayoutOptions {
    std::string Player;
    std::string Dealer;
    std::string Out;
    TDesignOptions Design;

    void AddTo(CLI::App& command) {
        command.add_option("--player", Player, "the player's cards, up to seven")->required();
        command.add_option("--dealer", Dealer, "the dealer's known cards, up to five");
        command.add_option("--out", Out, "cards known to be out of play");
        Design.AddTo(command);
    }

    TEvalLayout Layout() const {
        const std::vector<TCardId> player = ParseCards(Player, "--player");
        const std::vector<TCardId> dealer = ParseCards(Dealer, "--dealer");
        const std::vector<TCardId> out = ParseCards(Out, "--out");
        if (player.size() > 7) throw TUsageError("--player: a player holds at most seven cards");
        if (dealer.size() > 5) throw TUsageError("--dealer: the dealer holds at most five cards");
        TEvalLayout layout;
        layout.Player = TableOf(player);
        layout.Dealer = TableOf(dealer);
        const TCardTable outCards = TableOf(out);
        // A card lies in one place only.
        const TCardTable twice = (layout.Player & layout.Dealer) | (layout.Player & outCards) |
                                 (layout.Dealer & outCards);
        if (!twice.Empty()) {
            throw TUsageError("cards given in two places: " + JoinCardNames(twice));
        }
        layout.Seen = layout.Player | layout.Dealer | outCards;
        return layout;
    }

    TEvalRules Rules() const {
        TGameDesign design;
        TCalculationSettings settings;
        Design.Apply(design, settings);
        return MakeEvalRules(design, settings);
    }
};

// Antes with a decimal comma as the design writes them, or with a point: no more than a hand
// can have paid. The evaluator counts the stake in single precision, as the table keeps it; a
// stake that would count as another amount of ten-thousandths of an ante is refused rather than
// quietly changed (100000001 would be 100000000).
float ParseStake(const std::string& text) {
    const double value = AmountOption("--extra-stake", text, 0, kLargestDesignAmount);
    const auto stake = static_cast<float>(value);
    if (RoundHalfEven(static_cast<long double>(stake) * 10000) !=
        RoundHalfEven(static_cast<long double>(value) * 10000)) {
        throw TUsageError("--extra-stake: '" + text + "' would count as " + FormatAmount(stake) +
                          " antes: the stake is a single-precision number, which holds every "
                          "ten-thousandth of an ante below 1024 and every whole ante up to "
                          "16777216");
    }
    return stake;
}

// Only the evaluator's own codes: any other number would print 0 as if it were a result.
TEvalMode CheckMode(TEvalMode mode) {
    if (IsEvalMode(mode)) return mode;
    std::string codes;
    for (const TEvalMode code : EvalModes()) {
        codes += (codes.empty() ? "" : ", ") + std::to_string(code);
    }
    throw TUsageError("--mode: '" + std::to_string(mode) +
                      "' is not an action code; the codes are " + codes);
}

}  // namespace

void AddEvalCommands(CLI::App& app) {
    {
        auto* command = app.add_subcommand(
            "eval", "expected result of an action on a layout, in ten-thousandths of an ante");
        auto options = std::make_shared<TLayoutOptions>();
        auto stake = std::make_shared<std::string>("0");
        auto mode = std::make_shared<int>(kModeBet);
        auto verbose = std::make_shared<bool>(false);
        options->AddTo(*command);
        command->add_option("--extra-stake", *stake,
                            "antes already paid in the hand beyond the ante (default 0)");
        command->add_option("--mode", *mode,
                            "action code: 0 bet, 10 insured bet, 11..720 one draw, 1 buying the "
                            "dealer a game, 100 declining it, 222 listing (default 0)");
        command->add_flag("--verbose", *verbose, "print the tallies of the outcomes first");
        command->callback([=] {
            const TEvalMode code = CheckMode(*mode);
            TEvalLayout layout = options->Layout();
            layout.ExtraStake = ParseStake(*stake);
            const TEvalResult result = EvaluateLayout(options->Rules(), layout, code);
            if (*verbose) {
                const TEvalTallies& t = result.Tallies;
                std::cout << "outcomes " << t.DealerOutcomes << '\n'
                          << "dealer_wins " << t.DealerWins << '\n'
                          << "player_wins " << t.PlayerWins << '\n'
                          << "ties " << t.Ties << '\n'
                          << "no_game " << t.DealerNoGame << '\n'
                          << "insurable " << (result.HandInsurable ? 1 : 0) << '\n';
            }
            std::cout << result.Value << '\n';
        });
    }
    {
        auto* command = app.add_subcommand(
            "listing", "how many of the dealer's completions make each combination");
        auto options = std::make_shared<TLayoutOptions>();
        options->AddTo(*command);
        command->callback([=] {
            const TCombinationListing listing =
                ListCombinations(options->Rules(), options->Layout());
            std::string line = listing.CountsText;
            std::replace(line.begin(), line.end(), '\r', ' ');
            std::cout << line << '\n';
        });
    }
}

}  // namespace studlab::cli
