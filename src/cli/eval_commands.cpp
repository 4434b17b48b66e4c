#include "cli/cli_common.h"

namespace studlab::cli {

void AddEvalCommands(CLI::App&) {}

}  // namespace studlab::cli
