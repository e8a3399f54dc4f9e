// Runs zorva-cli as a separate process the way a build pipeline runs it, without a shell: every argument
// reaches the program as it is (no quoting), and its standard output and standard error come back apart.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

extern char** environ;

namespace zorva::test {

struct CliRun {
    int exit_code = -1;  // -1 when the program could not be started or was ended by a signal
    std::string out;     // standard output
    std::string err;     // standard error, or why the program could not be started

    // Both streams, standard output first, for checks that do not mind which one a message went to.
    std::string output() const { return out + err; }
};

// Variables set for the program on top of the test's own environment, NAME and value; each one replaces a
// variable of the same name.
using ExtraEnvironment = std::vector<std::pair<std::string, std::string>>;

namespace detail {

inline void close_fd(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
}

// The test's environment without the variables named in `extra`, then those of `extra`.
inline std::vector<std::string> environment_with(const ExtraEnvironment& extra) {
    std::vector<std::string> entries;
    for (char** variable = environ; variable && *variable; ++variable) {
        const std::string_view entry(*variable);
        const std::string_view name = entry.substr(0, entry.find('='));
        bool replaced = false;
        for (const auto& [extra_name, value] : extra) replaced = replaced || name == extra_name;
        if (!replaced) entries.emplace_back(entry);
    }
    for (const auto& [name, value] : extra) entries.push_back(name + "=" + value);
    return entries;
}

inline std::vector<char*> pointers_to(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    for (std::string& text : texts) pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

// Reads both pipes until the program has closed them, whichever it writes first, so neither can fill up
// while the other is waited for.
inline void read_both(int& out_fd, int& err_fd, CliRun& run) {
    char buffer[4096];
    while (out_fd >= 0 || err_fd >= 0) {
        pollfd fds[2] = {{out_fd, POLLIN, 0}, {err_fd, POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR) continue;
            break;
        }
        for (int i = 0; i < 2; ++i) {
            int& fd = i == 0 ? out_fd : err_fd;
            if (fd < 0 || fds[i].revents == 0) continue;
            const ssize_t got = ::read(fd, buffer, sizeof buffer);
            if (got > 0) {
                (i == 0 ? run.out : run.err).append(buffer, static_cast<std::size_t>(got));
            } else if (got == 0 || errno != EINTR) {
                close_fd(fd);
            }
        }
    }
    close_fd(out_fd);
    close_fd(err_fd);
}

}  // namespace detail

// Runs `program` with `arguments` and the extra variables, standard input empty, and waits for it.
inline CliRun run_program(const std::string& program, const std::vector<std::string>& arguments,
                          const ExtraEnvironment& extra = {}) {
    CliRun run;
    int out_pipe[2] = {-1, -1};
    int err_pipe[2] = {-1, -1};
    if (::pipe2(out_pipe, O_CLOEXEC) != 0 || ::pipe2(err_pipe, O_CLOEXEC) != 0) {
        run.err = std::string("no pipe: ") + std::strerror(errno);
        for (int& fd : out_pipe) detail::close_fd(fd);
        return run;
    }

    std::vector<std::string> argv_texts = {program};
    argv_texts.insert(argv_texts.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv = detail::pointers_to(argv_texts);
    std::vector<std::string> env_texts = detail::environment_with(extra);
    std::vector<char*> envp = detail::pointers_to(env_texts);

    // The child's ends become its standard output and error; every pipe end closes in it on exec.
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, out_pipe[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, err_pipe[1], STDERR_FILENO);
    pid_t pid = -1;
    const int spawned = ::posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    detail::close_fd(out_pipe[1]);
    detail::close_fd(err_pipe[1]);
    if (spawned != 0) {
        detail::close_fd(out_pipe[0]);
        detail::close_fd(err_pipe[0]);
        run.err = "could not start " + program + ": " + std::strerror(spawned);
        return run;
    }

    detail::read_both(out_pipe[0], err_pipe[0], run);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return run;
    }
    if (WIFEXITED(status)) run.exit_code = WEXITSTATUS(status);
    return run;
}

#ifdef ZORVA_BIN_DIR
// zorva-cli of this build.
inline CliRun run_zorva_cli(const std::vector<std::string>& arguments, const ExtraEnvironment& extra = {}) {
    return run_program(std::string(ZORVA_BIN_DIR) + "/zorva-cli", arguments, extra);
}
#endif

}  // namespace zorva::test
