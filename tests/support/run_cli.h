#pragma once

#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <string>

namespace studlab::testing {

struct TCliRun {
    int ExitCode = -1;
    std::string Output;  // standard output
    std::string Errors;  // standard error

    // The first line of the standard error: the message a failed command gives.
    std::string Message() const { return Errors.substr(0, Errors.find('\n')); }
};

// Runs studlab-cli with the given arguments (shell syntax) and collects its standard output and
// standard error apart.
inline TCliRun RunCli(const std::string& arguments) {
    const std::string command = std::string(STUDLAB_CLI_PATH) + " " + arguments;
    TCliRun run;
    int out[2];
    int err[2];
    if (pipe(out) != 0) return run;
    if (pipe(err) != 0) {
        close(out[0]);
        close(out[1]);
        return run;
    }
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(out[1], STDOUT_FILENO);
        dup2(err[1], STDERR_FILENO);
        for (int fd : {out[0], out[1], err[0], err[1]}) close(fd);
        execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(out[1]);
    close(err[1]);
    // Both pipes are read as they fill, so that neither can block the program.
    std::array<pollfd, 2> pipes{{{out[0], POLLIN, 0}, {err[0], POLLIN, 0}}};
    std::array<std::string*, 2> texts{&run.Output, &run.Errors};
    int open = pid > 0 ? 2 : 0;
    while (open > 0) {
        if (poll(pipes.data(), pipes.size(), -1) < 0) {
            if (errno == EINTR) continue;
            break;
        }
        for (std::size_t i = 0; i < pipes.size(); ++i) {
            if (pipes[i].fd < 0 || pipes[i].revents == 0) continue;
            std::array<char, 4096> buffer{};
            const ssize_t n = read(pipes[i].fd, buffer.data(), buffer.size());
            if (n > 0) {
                texts[i]->append(buffer.data(), static_cast<std::size_t>(n));
            } else if (n == 0 || errno != EINTR) {
                close(pipes[i].fd);
                pipes[i].fd = -1;
                --open;
            }
        }
    }
    for (const pollfd& p : pipes) {
        if (p.fd >= 0) close(p.fd);
    }
    if (pid < 0) return run;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    run.ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

}  // namespace studlab::testing
