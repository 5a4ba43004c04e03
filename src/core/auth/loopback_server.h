#pragma once

// The one-shot HTTP listener behind the redirect URI "http://127.0.0.1:<port>": it waits for
// the browser's redirect, answers it with a fixed page and hands back the authorization code
// of the request. Browsers also open connections of their own to the same address (speculative
// ones that send nothing, a request for the site's icon): those are answered or dropped without
// ending the wait.

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/error.h"
#include "core/platform/unique_fd.h"

namespace ambrel {

class SignInCancel;

class LoopbackServer {
  public:
    // Listens on 127.0.0.1 at a port the system chooses. `waitLimit` bounds how long
    // waitForCode() waits for the browser.
    static Result<LoopbackServer> create(
        std::chrono::seconds waitLimit = std::chrono::seconds(300));

    std::uint16_t port() const { return port_; }

    // Blocks until the redirect of this sign-in has been answered (a request carrying `code` or
    // `error`, or a request for "/", the redirect URI, without them, whose `state` is
    // `expectedState`), or the wait limit has passed; the listener is closed afterwards,
    // whatever the outcome. A redirect with another `state`, or none, was not asked for by this
    // sign-in (a forged or stale one): it gets the failure page and the wait goes on. A `cancel`
    // that fires ends the wait at once. Called at most once.
    Result<std::string> waitForCode(std::string_view expectedState,
                                    const SignInCancel* cancel = nullptr);

  private:
    LoopbackServer(std::uint16_t port, UniqueFd listener, std::chrono::seconds waitLimit)
        : port_(port), listener_(std::move(listener)), waitLimit_(waitLimit) {}

    std::uint16_t port_;
    UniqueFd listener_;
    std::chrono::seconds waitLimit_;
};

}  // namespace ambrel
