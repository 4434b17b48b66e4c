#include "cli/cli_common.h"

namespace studlab::cli {

void AddProfitCommands(CLI::App&) {}

}  // namespace studlab::cli
