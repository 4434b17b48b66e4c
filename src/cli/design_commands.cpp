// studlab-cli classify, studlab-cli design
#include <iostream>

#include "cards/hand_classification.h"
#include "cli/cli_common.h"
#include "design/design_fields.h"
#include "design/design_file.h"

namespace studlab::cli {

void AddDesignCommands(CLI::App& app) {
    {
        auto* command =
            app.add_subcommand("classify", "classify a player's cards and reduce them to five");
        auto cards = std::make_shared<std::string>();
        auto options = std::make_shared<TDesignOptions>();
        command->add_option("--cards", *cards, "0 to 7 cards, e.g. \"Ah Ac Kd 9s 7h\"")->required();
        options->AddTo(*command);
        command->callback([cards, options] {
            TGameDesign design;
            TCalculationSettings settings;
            options->Apply(design, settings);
            const std::vector<TCardId> list = ParseCards(*cards, "--cards");
            if (list.size() > 7) throw TUsageError("--cards: a player holds at most seven cards");
            const TCardTable table = TableOf(list);
            const bool round = design.RoundStraight.value_or(false);
            const TCombinationKind kind = ClassifyHand(table, design.Plays, round);
            TReducedHand reduced{table, {}};
            if (table.Count() > 5) reduced = ReduceToFive(table, kind, round);
            std::cout << KindCodeName(kind) << '\n'
                      << "kept: " << JoinCardNames(reduced.Kept) << '\n'
                      << "aside: " << JoinCardNames(reduced.Aside) << '\n';
        });
    }
    {
        auto* command = app.add_subcommand("design", "write or show a design file");
        auto write = std::make_shared<std::string>();
        auto show = std::make_shared<std::string>();
        auto options = std::make_shared<TDesignOptions>();
        auto* writeOption = command->add_option(
            "--write", *write, "write the default design (with --set applied) to FILE");
        auto* showOption = command->add_option(
            "--show", *show, "print the fields of the design in FILE as name = value");
        writeOption->excludes(showOption);
        command
            ->add_option("--set", options->Assignments,
                         "NAME=VALUE applied to the design (repeatable)")
            ->take_all();
        command->callback([=] {
            TGameDesign design;
            TCalculationSettings settings;
            if (!write->empty()) {
                options->Apply(design, settings);
                // A save that fails (a full disk, a size limit, a folder that is not there) is
                // a result that could not be written: exit code 1, as for any other command.
                SaveDesignFile(design, *write);
            } else if (!show->empty()) {
                TDesignOptions load = *options;
                load.File = *show;
                load.Apply(design, settings);
                for (const auto& [name, value] : ListDesignFields(design, settings)) {
                    std::cout << name << " = " << value << '\n';
                }
            } else {
                throw TUsageError("design: give --write FILE or --show FILE");
            }
        });
    }
}

}  // namespace studlab::cli
