#pragma once

#include <sys/wait.h>
#include <array>
#include <cstdio>
#include <string>

namespace studlab::testing {

struct TCliRun {
    int ExitCode = -1;
    std::string Output;  // standard output only
};

// Runs studlab-cli with the given arguments (shell syntax) and collects its standard output.
inline TCliRun RunCli(const std::string& arguments) {
    const std::string command = std::string(STUDLAB_CLI_PATH) + " " + arguments + " 2>/dev/null";
    TCliRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return run;
    std::array<char, 4096> buffer{};
    std::size_t n;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        run.Output.append(buffer.data(), n);
    const int status = pclose(pipe);
    run.ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

}  // namespace studlab::testing
