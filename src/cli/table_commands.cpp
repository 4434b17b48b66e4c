// studlab-cli decide, studlab-cli play
#include <algorithm>
#include <charconv>
#include <chrono>
#include <iostream>
#include <memory>
#include <optional>

#include "cli/command_game.h"
#include "text/number_text.h"
#include "table/cache/decision_cache.h"

namespace studlab::cli {
namespace {

// Values as a person reads them, at most four decimals, as the window shows them (and as a
// decision served from the cache shows its stored values).
void PrintCandidates(const TTableState& state, std::ostream& out) {
    for (int i = 1; i <= TCandidateTable::kCapacity; ++i) {
        const TCandidateTable::TSlot& slot = state.Candidates.Slot(i);
        if (!slot.Text.empty()) out << slot.Text << '\t' << FormatAmountText(slot.Value) << '\n';
    }
}

// A decision served from the cache has no candidates, only the lists it stored: each caption
// and value followed by a line break, as the window's labels show them.
void PrintStoredCandidates(const TTableView& view, std::ostream& out) {
    std::string_view texts = view.CandidateCaptions;
    std::string_view values = view.CandidateValues;
    while (!texts.empty()) {
        const std::size_t textEnd = std::min(texts.find('\r'), texts.size());
        const std::size_t valueEnd = std::min(values.find('\r'), values.size());
        if (textEnd > 0)
            out << texts.substr(0, textEnd) << '\t' << values.substr(0, valueEnd) << '\n';
        texts.remove_prefix(std::min(textEnd + 1, texts.size()));
        values.remove_prefix(std::min(valueEnd + 1, values.size()));
    }
}

// Label lines are separated by "\r"; on a terminal they read better as blanks.
std::string OneLine(std::string text) {
    for (char& c : text) {
        if (c == '\r') c = ' ';
    }
    return text;
}

void Click(TDecisionTable& table, const std::vector<TCardId>& cards) {
    for (TCardId id : cards) table.ClickCard(id);
}

}  // namespace

void AddTableCommands(CLI::App& app) {
    {
        auto* command =
            app.add_subcommand("decide", "lay out a hand at the first stage and press \"РЕШЕНИЕ\"");
        auto options = std::make_shared<TTableOptions>();
        auto dealer = std::make_shared<std::string>();
        auto player = std::make_shared<std::string>();
        auto out = std::make_shared<std::string>();
        options->AddTo(*command, true);
        command->add_option("--dealer", *dealer,
                            "the dealer's open cards, as many as the design opens");
        command->add_option("--player", *player, "the player's five cards")->required();
        command->add_option("--out", *out, "cards known to be out of play");
        command->callback([=] {
            TCommandGame game(*options);
            TDecisionTable& table = game.Table;
            const auto dealerCards = ParseCards(*dealer, "--dealer");
            const auto playerCards = ParseCards(*player, "--player");
            const auto outCards = ParseCards(*out, "--out");
            const TCardTable all = TableOf(dealerCards) | TableOf(playerCards) | TableOf(outCards);
            if (static_cast<std::size_t>(all.Count()) !=
                dealerCards.size() + playerCards.size() + outCards.size()) {
                throw TUsageError("a card is given twice");
            }
            if (playerCards.size() != 5)
                throw TUsageError("--player: give the player's five cards");
            if (!table.EntryOpen()) throw TUsageError(OneLine(table.View().Prompt));
            if (std::to_string(dealerCards.size()) != game.Design.DealerOpenCards) {
                throw TUsageError("--dealer: the design opens " + game.Design.DealerOpenCards +
                                  " dealer card(s), " + std::to_string(dealerCards.size()) +
                                  " given");
            }
            Click(table, dealerCards);
            Click(table, playerCards);
            Click(table, outCards);
            const auto start = std::chrono::steady_clock::now();
            // A row the cache could not store is lost, but the decision has been made: it is
            // printed before the failure is reported.
            std::optional<TDecisionNotStoredError> notStored;
            try {
                table.Decide();
            } catch (const TDecisionNotStoredError& e) {
                notStored = e;
            }
            const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
            if (table.View().FromCache) {
                PrintStoredCandidates(table.View(), std::cout);
            } else {
                PrintCandidates(table.State(), std::cout);
            }
            std::cout << "choice: " << OneLine(table.View().Prompt) << '\n'
                      << "seconds: " << seconds.count() << '\n';
            if (game.Settings.UseCacheTable)
                std::cout << "cache: " << (table.View().FromCache ? "hit" : "computed") << '\n';
            game.ReportCacheNotice(std::cerr);
            if (notStored) throw *notStored;
        });
    }
    {
        auto* command = app.add_subcommand(
            "play", "deal one hand at random and play it to its end (\"СДАТЬ СЛУЧАЙНО\")");
        auto options = std::make_shared<TTableOptions>();
        auto seed = std::make_shared<std::string>();
        options->AddTo(*command, false);
        // The hand comes from the table's own generator, as "СДАТЬ СЛУЧАЙНО" deals it, whose
        // seed has 32 bits (simulate --seed seeds another generator, of 64 bits).
        auto* seedOption = command->add_option(
            "--seed", *seed,
            "start the table's random generator from this seed, 0 to 4294967295");
        command->callback([=] {
            TCommandGame game(*options);
            TDecisionTable& table = game.Table;
            if (seedOption->count() > 0) {
                game.Settings.SameSequence = true;
                std::uint32_t value = 0;
                const char* end = seed->data() + seed->size();
                const auto [stop, error] = std::from_chars(seed->data(), end, value);
                if (seed->empty() || error != std::errc() || stop != end) {
                    throw TUsageError("--seed: '" + *seed +
                                      "' is not a whole number from 0 to 4294967295 (the "
                                      "table's generator has a 32-bit seed; simulate --seed "
                                      "takes 64 bits)");
                }
                table.Random().SetSeed(value);
            }
            table.ButtonPressed = [&](std::string_view button) {
                const TTableState& state = table.State();
                std::cout << "press: " << button << '\n';
                if (button == kDecideCaption) {
                    std::cout << "dealer: " << JoinCardNames(state.DealerCards) << '\n'
                              << "player: " << JoinCardNames(state.PlayerCards) << '\n'
                              << "out: " << JoinCardNames(state.OutCards) << '\n';
                    PrintCandidates(state, std::cout);
                    std::cout << "choice: " << OneLine(table.View().Prompt) << '\n';
                } else {
                    std::cout << "prompt: " << OneLine(table.View().Prompt) << '\n';
                }
            };
            table.RandomDeal();
            std::cout << "result: " << FormatTenThousandths(table.State().HandResult) << '\n';
        });
    }
}

}  // namespace studlab::cli
