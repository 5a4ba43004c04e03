#pragma once

// A SecretStore in memory, with statuses that tests can force.

#include <map>
#include <mutex>
#include <optional>
#include <tuple>

#include "core/platform/secret_store.h"

namespace ambrel::testing {

class MemorySecretStore final : public SecretStore {
  public:
    std::expected<std::optional<std::string>, std::int32_t> read(
        const KeychainStore& item) override;
    std::int32_t write(const KeychainStore& item, std::string_view bytes) override;
    std::int32_t remove(const KeychainStore& item) override;

    // Forced outcomes: the next calls of that kind answer this status instead.
    std::optional<std::int32_t> readStatus;
    std::optional<std::int32_t> writeStatus;
    std::optional<std::int32_t> removeStatus;

    std::optional<std::string> value(const KeychainStore& item) const;
    void put(const KeychainStore& item, std::string bytes);

  private:
    using Key = std::tuple<std::string, std::string, std::string>;
    static Key keyOf(const KeychainStore& item);
    mutable std::mutex mutex_;
    std::map<Key, std::string> items_;
};

}  // namespace ambrel::testing
