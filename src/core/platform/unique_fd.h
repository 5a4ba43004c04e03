#pragma once

// Owns one POSIX file descriptor and closes it when dropped.

#include <unistd.h>

#include <cerrno>
#include <utility>

namespace ambrel {

class UniqueFd {
  public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : fd_(fd) {}
    ~UniqueFd() { reset(); }
    UniqueFd(UniqueFd&& other) noexcept : fd_(other.release()) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept {
        if (this != &other) {
            reset();
            fd_ = other.release();
        }
        return *this;
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    int release() { return std::exchange(fd_, -1); }
    void reset() {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }
    // Closes now and reports the outcome (0 or errno): on some file systems a failed write
    // shows up only here.
    int close() {
        const int fd = release();
        return fd < 0 || ::close(fd) == 0 ? 0 : errno;
    }

  private:
    int fd_ = -1;
};

}  // namespace ambrel
