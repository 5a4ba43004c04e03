#pragma once

// The SecretStore over the freedesktop Secret Service (gnome-keyring, KWallet's service),
// through libsecret. Items carry the three string attributes "service", "access_group" and
// "account" and are found by them alone, so an item stored by another tool
// (`secret-tool store --label=… service S access_group G account A`) is found as well.
// GLib stays inside the .cpp: its headers clash with Qt's keyword macros.
//
// A locked collection makes the service ask the user to unlock it. Every call waits for that
// prompt at most `promptTimeout`, then gives up with errSecInteractionNotAllowed, as it does
// when the prompt is refused: a prompt nobody answers must not hang a program for good.

#include <chrono>

#include "core/platform/secret_store.h"

namespace ambrel {

class LibsecretSecretStore final : public SecretStore {
  public:
    // Long enough to type a password in, short enough that an unanswered prompt ends.
    static constexpr std::chrono::milliseconds kPromptTimeout = std::chrono::seconds(60);

    explicit LibsecretSecretStore(std::chrono::milliseconds promptTimeout = kPromptTimeout);

    std::expected<std::optional<std::string>, std::int32_t> read(
        const KeychainStore& item) override;
    std::int32_t write(const KeychainStore& item, std::string_view bytes) override;
    std::int32_t remove(const KeychainStore& item) override;

    // Whether a Secret Service owns, or can be started for, its name on the session bus. A
    // cheap question to the bus itself (about a second at most); the service is not contacted.
    static bool serviceAnswers();

  private:
    std::chrono::milliseconds promptTimeout_;
};

}  // namespace ambrel
