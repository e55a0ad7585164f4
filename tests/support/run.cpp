#include "run.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace testing_support {
namespace {

double Now() {
    timespec now;
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

}  // namespace

std::string ToolPath(const std::string& program) {
    return std::string(TRACKTOOLS_BIN_DIR) + "/" + program;
}

RunResult Run(const std::string& program, const std::vector<std::string>& args,
              const RunOptions& options) {
    int out_pipe[2];
    int err_pipe[2];
    int in_pipe[2];
    if (::pipe(out_pipe) != 0 || ::pipe(err_pipe) != 0 || ::pipe(in_pipe) != 0) {
        throw std::runtime_error("pipe failed");
    }
    std::vector<std::string> env_strings = {"PATH=/usr/bin:/bin", "TZ=" + options.tz, "LC_ALL=C"};
    std::vector<char*> envp;
    for (std::string& entry : env_strings)
        envp.push_back(entry.data());
    envp.push_back(nullptr);
    std::vector<std::string> arg_strings = {program};
    arg_strings.insert(arg_strings.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& arg : arg_strings)
        argv.push_back(arg.data());
    argv.push_back(nullptr);

    const pid_t pid = ::fork();
    if (pid < 0) {
        throw std::runtime_error("fork failed");
    }
    if (pid == 0) {
        ::umask(static_cast<mode_t>(options.umask));
        if (!options.cwd.empty() && ::chdir(options.cwd.c_str()) != 0)
            _exit(127);
        ::dup2(in_pipe[0], 0);
        if (options.stdout_path.empty()) {
            ::dup2(out_pipe[1], 1);
        } else {
            const int fd = ::open(options.stdout_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (fd < 0)
                _exit(127);
            ::dup2(fd, 1);
        }
        ::dup2(err_pipe[1], 2);
        for (int fd : {out_pipe[0], out_pipe[1], err_pipe[0], err_pipe[1], in_pipe[0], in_pipe[1]})
            ::close(fd);
        ::execve(program.c_str(), argv.data(), envp.data());
        _exit(127);
    }
    ::close(out_pipe[1]);
    ::close(err_pipe[1]);
    ::close(in_pipe[0]);
    if (!options.stdin_text.empty()) {
        // Small inputs only: the pipe buffer holds them without blocking.
        ssize_t ignored = ::write(in_pipe[1], options.stdin_text.data(), options.stdin_text.size());
        (void)ignored;
    }
    ::close(in_pipe[1]);

    RunResult result;
    const double deadline = Now() + options.time_limit_seconds;
    pollfd fds[2] = {{out_pipe[0], POLLIN, 0}, {err_pipe[0], POLLIN, 0}};
    int open_pipes = 2;
    char buffer[65536];
    while (open_pipes > 0) {
        const double left = deadline - Now();
        if (left <= 0) {
            result.timed_out = true;
            ::kill(pid, SIGKILL);
            break;
        }
        const int ready = ::poll(fds, 2, static_cast<int>(left * 1000) + 1);
        if (ready < 0 && errno == EINTR)
            continue;
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0)
                continue;
            const ssize_t got = ::read(fds[i].fd, buffer, sizeof buffer);
            if (got > 0) {
                (i == 0 ? result.out : result.err).append(buffer, static_cast<std::size_t>(got));
            } else {
                ::close(fds[i].fd);
                fds[i].fd = -1;
                --open_pipes;
            }
        }
    }
    for (pollfd& fd : fds) {
        if (fd.fd >= 0)
            ::close(fd.fd);
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(status)) {
        result.exit_status = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
        result.signal = WTERMSIG(status);
    }
    return result;
}

RunResult RunTool(const std::string& tool, const std::vector<std::string>& args,
                  const RunOptions& options) {
    return Run(ToolPath(tool), args, options);
}

bool PackSampleDrive(const std::string& dir, const std::string& name) {
    RunOptions options;
    options.cwd = dir;
    return RunTool("logpack", {TRACKTOOLS_SOURCE_DIR "/examples/sample-drive.txt", name}, options)
               .exit_status == 0;
}

}  // namespace testing_support
