// SPDX-License-Identifier: MIT
#include "support/run_program.hpp"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

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

void close_fd(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
}

// Reads what the pipe holds into `text`, closing it at its end.
void drain(const pollfd& ready, int& fd, std::string& text) {
    if (ready.revents == 0) return;
    char buffer[1 << 16];
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n > 0)
        text.append(buffer, static_cast<std::size_t>(n));
    else if (n == 0 || errno != EINTR)
        close_fd(fd);
}

// Both ends close on exec; the child's end is put in place by the spawn's file actions.
bool make_pipe(int (&fd)[2]) { return ::pipe2(fd, O_CLOEXEC) == 0; }

}  // namespace

ProgramRun run_program(const std::vector<std::string>& argv, const ProgramOptions& options) {
    ProgramRun run;
    std::vector<std::string> args = argv, env = environment(options.env);
    int in[2] = {-1, -1}, out[2] = {-1, -1}, err[2] = {-1, -1};
    if (args.empty() || !make_pipe(out) || !make_pipe(err) ||
        (!options.input.empty() && !make_pipe(in))) {
        for (int* fd : {&in[0], &in[1], &out[0], &out[1], &err[0], &err[1]}) close_fd(*fd);
        run.err = "cannot start a program: " + std::string(std::strerror(errno));
        return run;
    }
    if (options.pipe_bytes > 0) {
        ::fcntl(out[1], F_SETPIPE_SZ, options.pipe_bytes);
        ::fcntl(err[1], F_SETPIPE_SZ, options.pipe_bytes);
    }

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (in[0] >= 0)
        posix_spawn_file_actions_adddup2(&actions, in[0], 0);
    else
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_adddup2(&actions, err[1], 2);
    const std::string folder = options.folder.string();
    if (!folder.empty()) posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    // Its own process group, so the time limit ends its children too; signals as a shell
    // would leave them (the test may ignore SIGPIPE, the program must not).
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
    for (int* fd : {&in[0], &out[1], &err[1]}) close_fd(*fd);
    if (spawned != 0) {
        for (int* fd : {&in[1], &out[0], &err[0]}) close_fd(*fd);
        run.status = 127;
        run.err = "cannot start " + args[0] + ": " + std::strerror(spawned);
        return run;
    }
    if (options.while_running) options.while_running(pid);

    // Writing to a program that stopped reading must not end the test.
    if (in[1] >= 0) {
        ::signal(SIGPIPE, SIG_IGN);
        ::fcntl(in[1], F_SETFL, O_NONBLOCK);
    }
    std::size_t written = 0;
    const auto deadline = std::chrono::steady_clock::now() + options.limit;
    while (in[1] >= 0 || out[0] >= 0 || err[0] >= 0) {
        pollfd fds[3] = {{in[1], POLLOUT, 0}, {out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
        int wait_ms = -1;
        if (!run.timed_out) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            wait_ms = static_cast<int>(std::max<long long>(0, left.count()));
        }
        const int ready = ::poll(fds, 3, wait_ms);
        if (ready < 0 && errno == EINTR) continue;
        if (ready == 0) {  // the time limit: the pipes close as the group goes
            ::kill(-pid, SIGKILL);
            run.timed_out = true;
            continue;
        }
        if (fds[0].revents != 0) {
            const ssize_t n =
                ::write(in[1], options.input.data() + written, options.input.size() - written);
            if (n > 0) written += static_cast<std::size_t>(n);
            if ((n < 0 && errno != EAGAIN) || written == options.input.size()) close_fd(in[1]);
        }
        drain(fds[1], out[0], run.out);
        drain(fds[2], err[0], run.err);
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

}  // namespace trakora::testing
