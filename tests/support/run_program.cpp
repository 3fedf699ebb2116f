// SPDX-License-Identifier: MIT
#include "support/run_program.hpp"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <utility>

extern char** environ;

namespace trakora::testing {
namespace {

// The test's own environment with `changes` made.
std::vector<std::string> environment(const std::vector<std::string>& changes) {
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) env.emplace_back(*e);
    for (const std::string& change : changes) {
        const std::string prefix = change.substr(0, change.find('=')) + "=";
        std::erase_if(env, [&](const std::string& e) { return e.starts_with(prefix); });
        if (change.size() >= prefix.size()) env.push_back(change);
    }
    return env;
}

std::vector<char*> pointers(std::vector<std::string>& texts) {
    std::vector<char*> p;
    for (std::string& t : texts) p.push_back(t.data());
    p.push_back(nullptr);
    return p;
}

// Reads what the pipe holds into `text`, closing it at its end.
void drain(const pollfd& ready, int& fd, std::string& text) {
    if (ready.revents == 0) return;
    char buffer[1 << 16];
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n > 0)
        text.append(buffer, static_cast<std::size_t>(n));
    else if (n == 0 || errno != EINTR)
        ::close(std::exchange(fd, -1));
}

// Standard input as a file of its own, removed once the program has opened it.
std::string input_file(const std::string& input) {
    std::string path = (std::filesystem::temp_directory_path() / "trakora-input-XXXXXX").string();
    const int fd = ::mkstemp(path.data());
    const bool written =
        fd >= 0 && ::write(fd, input.data(), input.size()) == static_cast<ssize_t>(input.size());
    if (fd >= 0) ::close(fd);
    return written ? path : "/dev/null";
}

}  // namespace

ProgramRun run_program(const std::vector<std::string>& argv, const ProgramOptions& options) {
    ProgramRun run;
    std::vector<std::string> args = argv, env = environment(options.env);
    int out[2], err[2];  // both ends close on exec; the file actions put the child's in place
    if (args.empty() || ::pipe2(out, O_CLOEXEC) != 0) return run;
    if (::pipe2(err, O_CLOEXEC) != 0) {
        ::close(out[0]);
        ::close(out[1]);
        return run;
    }
    if (options.pipe_bytes > 0) {
        ::fcntl(out[1], F_SETPIPE_SZ, options.pipe_bytes);
        ::fcntl(err[1], F_SETPIPE_SZ, options.pipe_bytes);
    }
    const std::string input = options.input.empty() ? "/dev/null" : input_file(options.input);
    const std::string folder = options.folder.string();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, input.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_adddup2(&actions, err[1], 2);
    if (!folder.empty()) posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    // Its own process group, so the time limit ends its children too; no signal ignored or
    // blocked, as a shell would start it.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t all, none;
    sigfillset(&all);
    sigemptyset(&none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setflags(
        &attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETPGROUP);
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, args[0].c_str(), &actions, &attributes,
                                     pointers(args).data(), pointers(env).data());
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    // The input file goes once the child has ended: a child may open it after
    // posix_spawnp returned (POSIX allows that; qemu's user emulation, which runs the
    // arm64 tests, does it, as it does not stop the parent until the child execs).
    struct RemoveInput {
        const std::string& path;
        ~RemoveInput() {
            if (path != "/dev/null") ::unlink(path.c_str());
        }
    } remove_input{input};
    ::close(out[1]);
    ::close(err[1]);
    if (spawned != 0) {
        ::close(out[0]);
        ::close(err[0]);
        run.status = 127;
        run.err = "cannot start " + args[0] + ": " + std::strerror(spawned);
        return run;
    }
    if (options.while_running) options.while_running(pid);

    const auto deadline = std::chrono::steady_clock::now() + options.limit;
    while (out[0] >= 0 || err[0] >= 0) {
        pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        const int wait_ms =
            run.timed_out ? -1 : static_cast<int>(std::max<long long>(0, left.count()));
        const int ready = ::poll(fds, 2, wait_ms);
        if (ready == 0) {  // the time limit: the pipes close as the group goes
            ::kill(-pid, SIGKILL);
            run.timed_out = true;
        }
        if (ready <= 0) continue;
        drain(fds[0], out[0], run.out);
        drain(fds[1], err[0], run.err);
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(status)) run.status = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) run.signal = WTERMSIG(status);
    return run;
}

ProgramRun run_shell(const std::string& command, const ProgramOptions& options) {
    return run_program({"/bin/sh", "-c", command}, options);
}

ProgramRun run_cli(const std::vector<std::string>& args, const ProgramOptions& options) {
    std::vector<std::string> argv = {TRAKORA_CLI_PATH};
    argv.insert(argv.end(), args.begin(), args.end());
    return run_program(argv, options);
}

ProgramRun run_in_process(int (*command)(int, char**), std::vector<std::string> args) {
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    ProgramRun run;
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    run.status = command(static_cast<int>(argv.size()), argv.data());
    run.out = ::testing::internal::GetCapturedStdout();
    run.err = ::testing::internal::GetCapturedStderr();
    return run;
}

}  // namespace trakora::testing
