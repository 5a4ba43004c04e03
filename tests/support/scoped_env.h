#pragma once

// Sets or clears environment variables for one test and restores them afterwards, so tests
// that read XDG and locale variables do not leak into each other.

#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace ambrel::testing {

class ScopedEnv {
  public:
    ScopedEnv() = default;
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;
    ~ScopedEnv() {
        for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
            if (it->second)
                ::setenv(it->first.c_str(), it->second->c_str(), 1);
            else
                ::unsetenv(it->first.c_str());
        }
    }

    // nullptr unsets the variable.
    ScopedEnv& set(const std::string& name, const char* value) {
        const char* old = std::getenv(name.c_str());
        saved_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
        if (value)
            ::setenv(name.c_str(), value, 1);
        else
            ::unsetenv(name.c_str());
        return *this;
    }

  private:
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

// The display locale comes from $LANGUAGE first.
class ScopedLanguage {
  public:
    explicit ScopedLanguage(const char* language) { env_.set("LANGUAGE", language); }

  private:
    ScopedEnv env_;
};

}  // namespace ambrel::testing
