#pragma once

// The drawing program asks the headless `ambrel-widget` beside it for its entries, one child
// process per request, and reads the JSON line it prints. The refresh (HTTP, TLS, the secret
// store) then never loads into the long-running desktop host: its libraries and whatever the
// refresh allocated go away with the child, which keeps the host near the size of a plain Qt
// window.

#include <optional>
#include <string>

#include "widget/earnings_provider.h"

namespace ambrel::widget {

class WidgetProgram {
  public:
    // `path` of the headless program.
    explicit WidgetProgram(std::string path) : path_(std::move(path)) {}

    // The program named `name` in the folder of the running executable.
    static WidgetProgram besideThisExecutable(const std::string& name);

    // Each runs `<program> <command> --json` and blocks until it ends. None when the program
    // cannot be started, fails, or prints something that is not an entry.
    std::optional<Timeline> timeline() const;
    std::optional<EarningsEntry> snapshot() const;
    std::optional<EarningsEntry> placeholder() const;

    const std::string& path() const { return path_; }

  private:
    std::optional<std::string> run(const char* command) const;

    std::string path_;
};

}  // namespace ambrel::widget
