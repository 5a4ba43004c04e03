#include "widget/host/widget_program.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <system_error>

#include "widget/host/entry_reader.h"

extern char** environ;

namespace ambrel::widget {
namespace {

// Closes a descriptor on every path out.
class FileDescriptor {
  public:
    explicit FileDescriptor(int fd = -1) : fd_(fd) {}
    ~FileDescriptor() { reset(); }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }
    void reset() {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }

  private:
    int fd_;
};

std::string readAll(int fd) {
    std::string text;
    char buffer[4096];
    for (;;) {
        const ssize_t count = ::read(fd, buffer, sizeof buffer);
        if (count > 0) {
            text.append(buffer, static_cast<std::size_t>(count));
        } else if (count == 0 || errno != EINTR) {
            return text;
        }
    }
}

bool exitedCleanly(pid_t pid) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return false;
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

WidgetProgram WidgetProgram::besideThisExecutable(const std::string& name) {
    std::error_code error;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
    return WidgetProgram(error ? name : (self.parent_path() / name).string());
}

// stdout through a pipe; stdin, stderr and the environment as this process has them, so the
// child finds the same session bus, secret store and defaults.
std::optional<std::string> WidgetProgram::run(const char* command) const {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) return std::nullopt;
    FileDescriptor readEnd(fds[0]);
    FileDescriptor writeEnd(fds[1]);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, writeEnd.get(), STDOUT_FILENO);
    char flag[] = "--json";
    std::string commandText = command;
    std::string program = path_;
    char* argv[] = {program.data(), commandText.data(), flag, nullptr};
    pid_t pid = 0;
    const int spawned = ::posix_spawn(&pid, path_.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    writeEnd.reset();  // the child holds the only write end now, so reading ends with it
    if (spawned != 0) return std::nullopt;

    std::string output = readAll(readEnd.get());
    if (!exitedCleanly(pid)) return std::nullopt;
    return output;
}

std::optional<Timeline> WidgetProgram::timeline() const {
    auto output = run("timeline");
    if (!output) return std::nullopt;
    return readTimelineJson(*output);
}

std::optional<EarningsEntry> WidgetProgram::snapshot() const {
    auto output = run("snapshot");
    if (!output) return std::nullopt;
    return readEntryJson(*output);
}

std::optional<EarningsEntry> WidgetProgram::placeholder() const {
    auto output = run("placeholder");
    if (!output) return std::nullopt;
    return readEntryJson(*output);
}

}  // namespace ambrel::widget
