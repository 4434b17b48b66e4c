#include "cli/cli_common.h"

#include "design/design_fields.h"
#include "design/design_file.h"

namespace studlab::cli {

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
        for (const std::string& assignment : Assignments) {
            // A typing mistake in a script is reported at once, not when a number is read.
            SetDesignAssignment(design, settings, assignment, TValueCheck::NumbersMustConvert);
        }
    } catch (const std::runtime_error& e) {
        throw TUsageError(e.what());
    }
    return gameName;
}

std::vector<TCardId> ParseCards(const std::string& text, const char* what) {
    try {
        return ParseCardList(text);
    } catch (const TCardListError& e) {
        throw TUsageError(std::string(what) + ": " + e.what());
    }
}

}  // namespace studlab::cli
