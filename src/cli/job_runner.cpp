#include "cli/job_runner.h"

#include <fcntl.h>
#include <poll.h>
#include <sched.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <exception>
#include <mutex>
#include <optional>
#include <thread>

extern char** environ;

namespace zorva::cli {

void run_jobs(std::size_t count, unsigned jobs, const std::function<JobOutput(std::size_t)>& job,
              const std::function<void(std::size_t, JobOutput&)>& report) {
    if (count == 0) return;
    const std::size_t threads = std::min<std::size_t>(jobs == 0 ? 1 : jobs, count);
    std::vector<std::optional<JobOutput>> results(count);
    std::atomic<std::size_t> next{0};
    std::mutex mutex;
    std::condition_variable done;

    const auto work = [&] {
        for (std::size_t i = next++; i < count; i = next++) {
            JobOutput output;
            // A job that throws (memory ran out, say) fails alone; the other jobs go on.
            try {
                output = job(i);
            } catch (const std::exception& error) {
                output = {2, {}, std::string("zorva-cli: the job failed: ") + error.what() + "\n"};
            } catch (...) {
                output = {2, {}, "zorva-cli: the job failed\n"};
            }
            {
                const std::lock_guard lock(mutex);
                results[i] = std::move(output);
            }
            done.notify_one();
        }
    };
    std::vector<std::thread> pool;
    pool.reserve(threads);
    for (std::size_t t = 0; t < threads; ++t) pool.emplace_back(work);

    for (std::size_t i = 0; i < count; ++i) {
        std::unique_lock lock(mutex);
        done.wait(lock, [&] { return results[i].has_value(); });
        JobOutput output = std::move(*results[i]);
        results[i].reset();
        lock.unlock();
        report(i, output);
    }
    for (std::thread& thread : pool) thread.join();
}

namespace {

void close_fd(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
}

// Reads both pipes until the child has closed them, so that neither fills up while the other is read.
void read_both(int& out_fd, int& err_fd, JobOutput& output) {
    char buffer[8192];
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
                (i == 0 ? output.out : output.err).append(buffer, static_cast<std::size_t>(got));
            } else if (got == 0 || errno != EINTR) {
                close_fd(fd);
            }
        }
    }
    close_fd(out_fd);
    close_fd(err_fd);
}

}  // namespace

JobOutput run_self(const std::vector<std::string>& arguments) {
    JobOutput output;
    static const char kSelf[] = "/proc/self/exe";
    int out_pipe[2] = {-1, -1};
    int err_pipe[2] = {-1, -1};
    if (::pipe2(out_pipe, O_CLOEXEC) != 0 || ::pipe2(err_pipe, O_CLOEXEC) != 0) {
        output.status = 2;
        output.err = std::string("zorva-cli: cannot start a job: ") + std::strerror(errno) + "\n";
        for (int& fd : out_pipe) close_fd(fd);
        return output;
    }
    std::vector<std::string> texts = {"zorva-cli"};
    texts.insert(texts.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& text : texts) argv.push_back(text.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, out_pipe[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, err_pipe[1], STDERR_FILENO);
    pid_t pid = -1;
    const int spawned = ::posix_spawn(&pid, kSelf, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close_fd(out_pipe[1]);
    close_fd(err_pipe[1]);
    if (spawned != 0) {
        close_fd(out_pipe[0]);
        close_fd(err_pipe[0]);
        output.status = 2;
        output.err = std::string("zorva-cli: cannot start a job: ") + std::strerror(spawned) + "\n";
        return output;
    }
    read_both(out_pipe[0], err_pipe[0], output);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) {
            output.status = 2;
            return output;
        }
    }
    if (WIFEXITED(status)) {
        output.status = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
        output.status = 128 + WTERMSIG(status);
        if (!output.err.empty() && !output.err.ends_with('\n')) output.err += '\n';
        const char* name = sigdescr_np(WTERMSIG(status));  // unlike strsignal, safe on any thread
        output.err += "zorva-cli: the job ended with signal " + std::to_string(WTERMSIG(status)) +
                      (name ? std::string(" (") + name + ")" : std::string()) + "\n";
    }
    return output;
}

unsigned available_processors() {
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof set, &set) == 0) {
        const int count = CPU_COUNT(&set);
        if (count > 0) return static_cast<unsigned>(count);
    }
    const unsigned hardware = std::thread::hardware_concurrency();
    return hardware > 0 ? hardware : 1;
}

}  // namespace zorva::cli
