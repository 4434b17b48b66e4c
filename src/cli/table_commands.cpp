#include "cli/cli_common.h"

namespace studlab::cli {

void AddTableCommands(CLI::App&) {}

}  // namespace studlab::cli
