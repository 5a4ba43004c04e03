#include "widget/status_refresh.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <optional>
#include <ostream>
#include <string>

#include "core/platform/elapsed_time.h"
#include "core/platform/private_file.h"

namespace ambrel::widget {
namespace {

using std::chrono::seconds;

constexpr seconds kShortestSpacing{60};

// Why the lock's path cannot be opened, in words: O_NOFOLLOW reports a link as a loop.
std::string whyUnusable(const std::filesystem::path& path, int error) {
    struct stat status {};
    if (::lstat(path.c_str(), &status) == 0) {
        if (S_ISLNK(status.st_mode)) return "it is a symbolic link";
        if (S_ISDIR(status.st_mode)) return "it is a directory";
    }
    return std::strerror(error);
}

// An exclusive lock on a file of the cache folder, taken without waiting and released (with
// the descriptor) when the object goes. A lock that cannot even be opened is said on `err`:
// unlike a lock another run holds, it would stop every later run from refreshing.
class RefreshLock {
  public:
    RefreshLock(const std::filesystem::path& folder, std::ostream& err) {
        if (privatefile::ensureFolder(folder) != 0) return;
        const auto path = folder / kStatusLockName;
        fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd_ < 0) {
            const std::string why = whyUnusable(path, errno);
            err << "ambrel-widget: cannot use the refresh lock " << path.string() << " (" << why
                << "), so the status line does not refresh\n"
                << std::flush;
            return;
        }
        if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) held_ = true;
    }
    ~RefreshLock() {
        if (fd_ >= 0) ::close(fd_);
    }
    RefreshLock(const RefreshLock&) = delete;
    RefreshLock& operator=(const RefreshLock&) = delete;

    bool held() const { return held_; }

  private:
    int fd_ = -1;
    bool held_ = false;
};

bool isStale(const std::optional<AmbrelSnapshot>& cached, Instant now, seconds maxAge) {
    if (!cached) return true;
    // A cache from the future means the clock was set back: its age says nothing.
    const auto age = elapsedSince(cached->updatedAt, now);
    return !age || *age >= maxAge;
}

// None when there is no record, or one before 2001: no attempt of ours was made then.
std::optional<seconds> lastAttempt(const Defaults& defaults) {
    const auto text = defaults.data(kStatusAttemptKey);
    if (!text) return std::nullopt;
    long long value = 0;
    const auto [end, error] = std::from_chars(text->data(), text->data() + text->size(), value);
    if (error != std::errc() || end != text->data() + text->size() || value < 0)
        return std::nullopt;
    return seconds(value);
}

// An attempt recorded in the future (the clock was set back, or the file was damaged) does not
// hold the next one off: the next attempt then records a sound time again.
bool attemptedWithin(const Defaults& defaults, seconds now, seconds spacing) {
    const auto last = lastAttempt(defaults);
    if (!last) return false;
    const auto since = elapsedSince(*last, now);
    return since && *since < spacing;
}

}  // namespace

seconds refreshAttemptSpacing(seconds maxAge) {
    return std::clamp(maxAge, kShortestSpacing, seconds(kTimelineReloadInterval));
}

EarningsEntry statusEntry(const Services& services, seconds maxAge, std::ostream& err) {
    const EarningsProvider provider(services);
    EarningsEntry cached = provider.snapshot();
    const Instant now = services.now();
    if (!cached.isConnected || !isStale(AmbrelSnapshot::load(services.defaults), now, maxAge))
        return cached;

    const RefreshLock lock(services.defaults.folder(), err);
    if (!lock.held()) return cached;
    const seconds nowSeconds(std::llround(secondsSinceReferenceDate(now)));
    if (attemptedWithin(services.defaults, nowSeconds, refreshAttemptSpacing(maxAge)) ||
        !services.defaults.set(kStatusAttemptKey, std::to_string(nowSeconds.count()))) {
        return cached;
    }
    return provider.timeline().entry;
}

}  // namespace ambrel::widget
