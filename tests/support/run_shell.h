#pragma once

#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

namespace studlab::testing {

struct TShellRun {
    int ExitCode = -1;
    std::string Output;  // standard output
    std::string Errors;  // standard error
};

// Runs a shell script in which "$CLI" is studlab-cli, collecting its two outputs apart.
inline TShellRun RunShell(const std::string& script) {
    TShellRun run;
    char errors[] = "/tmp/studlab-shell-XXXXXX";
    const int fd = mkstemp(errors);
    if (fd < 0) return run;
    close(fd);
    const std::string command = "CLI='" + std::string(STUDLAB_CLI_PATH) + "'; export CLI; { " +
                                script + "\n} 2>'" + errors + "'";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe != nullptr) {
        std::array<char, 4096> buffer{};
        std::size_t n;
        while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
            run.Output.append(buffer.data(), n);
        const int status = pclose(pipe);
        run.ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::ifstream in(errors, std::ios::binary);
    run.Errors.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    unlink(errors);
    return run;
}

// How often `part` occurs in `text`.
inline int Occurrences(const std::string& text, const std::string& part) {
    int count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

}  // namespace studlab::testing
