// studlab-cli strategy: the first choice of a first layout, looked up in a strategy store.
#include <algorithm>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>

#include "cli/cli_common.h"
#include "profit/exact/exact_figures.h"
#include "profit/exact/strategy_store.h"

namespace studlab::cli {
namespace {

struct TStrategyOptions {
    TDesignOptions Design;
    std::string Store;
    std::string Dealer;
    std::string Player;
    bool Json = false;
};

void LookUp(const TStrategyOptions& o) {
    const std::vector<TCardId> dealer = ParseCards(o.Dealer, "--dealer");
    const std::vector<TCardId> player = ParseCards(o.Player, "--player");
    if (player.size() != 5) throw TUsageError("--player: give the player's five cards");
    const TCardTable dealerCards = TableOf(dealer);
    const TCardTable playerCards = TableOf(player);
    if (static_cast<std::size_t>((dealerCards | playerCards).Count()) !=
        dealer.size() + player.size()) {
        throw TUsageError("a card is given twice");
    }
    // With a design the store must belong to it; without one the store's own design is taken.
    std::string fingerprint;
    if (!o.Design.File.empty() || !o.Design.Assignments.empty()) {
        TGameDesign design;
        TCalculationSettings settings;
        o.Design.Apply(design, settings);
        fingerprint = StrategyStoreFingerprint(design, settings);
    }
    const TStrategyStore store = TStrategyStore::Load(o.Store, fingerprint);
    if (static_cast<int>(dealer.size()) != store.DealerCards()) {
        throw TUsageError("--dealer: the store's game opens " +
                          std::to_string(store.DealerCards()) + " dealer card(s), " +
                          std::to_string(dealer.size()) + " given");
    }
    const std::int64_t index = store.Classes().IndexOf(playerCards, dealerCards);
    const std::string_view code = store.ChoiceOf(index).value();
    const auto action = static_cast<TFirstAction>(
        std::find(kFirstChoiceCodes.begin(), kFirstChoiceCodes.end(), code) -
        kFirstChoiceCodes.begin());
    if (o.Json) {
        nlohmann::json j;
        j["choice"] = std::string(code);
        j["action"] = std::string(FirstActionName(action));
        j["caption"] = std::string(FirstActionCaption(action));
        j["class"] = index;
        j["fingerprint"] = store.Fingerprint();
        std::cout << j.dump(2) << '\n';
        return;
    }
    std::cout << "choice: " << code << '\n'
              << "action: " << FirstActionName(action) << '\n'
              << "caption: " << FirstActionCaption(action) << '\n'
              << "class: " << index << '\n'
              << "fingerprint: " << store.Fingerprint() << '\n';
}

}  // namespace

void AddStrategyCommands(CLI::App& app) {
    auto* command = app.add_subcommand(
        "strategy", "the first decision's choice of a first layout, from a strategy store");
    auto options = std::make_shared<TStrategyOptions>();
    options->Design.AddTo(*command);
    command->add_option("--store", options->Store, "the store written by 'exact --strategy-store'")
        ->required()
        ->check(NotEmpty());
    command->add_option("--dealer", options->Dealer,
                        "the dealer's open cards, as many as the store's game opens");
    command->add_option("--player", options->Player, "the player's five cards")->required();
    command->add_flag("--json", options->Json, "print the choice as one JSON object");
    command->callback([options] { LookUp(*options); });
}

}  // namespace studlab::cli
