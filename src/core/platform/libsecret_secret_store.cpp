#include "core/platform/libsecret_secret_store.h"

#include <libsecret/secret.h>
#include <sys/stat.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/platform/secret_service_unlock.h"

namespace ambrel {
namespace {

// Statuses of the original keychain API for the failures the Secret Service can report.
constexpr std::int32_t errSecUserCanceled = -128;
constexpr std::int32_t errSecInteractionNotAllowed = -25308;

constexpr const char* kSecretServiceName = "org.freedesktop.secrets";
constexpr int kBusTimeoutMs = 1000;

struct ErrorDeleter {
    void operator()(GError* error) const { g_error_free(error); }
};
struct ValueDeleter {
    void operator()(SecretValue* value) const { secret_value_unref(value); }
};
struct ObjectDeleter {
    void operator()(gpointer object) const { g_object_unref(object); }
};
struct TableDeleter {
    void operator()(GHashTable* table) const { g_hash_table_unref(table); }
};
struct ItemListDeleter {
    void operator()(GList* items) const { g_list_free_full(items, g_object_unref); }
};
struct VariantDeleter {
    void operator()(GVariant* variant) const { g_variant_unref(variant); }
};

using ErrorPtr = std::unique_ptr<GError, ErrorDeleter>;
using ValuePtr = std::unique_ptr<SecretValue, ValueDeleter>;
using BusPtr = std::unique_ptr<GDBusConnection, ObjectDeleter>;
using VariantPtr = std::unique_ptr<GVariant, VariantDeleter>;
using AttributesPtr = std::unique_ptr<GHashTable, TableDeleter>;
using ItemListPtr = std::unique_ptr<GList, ItemListDeleter>;
using ServicePtr = std::unique_ptr<SecretService, ObjectDeleter>;
using CollectionPtr = std::unique_ptr<SecretCollection, ObjectDeleter>;

// Receives a GError from a GLib call and owns it from then on.
class ErrorSlot {
  public:
    GError** out() { return &raw_; }
    ErrorPtr take() { return ErrorPtr(std::exchange(raw_, nullptr)); }
    ~ErrorSlot() {
        if (raw_ != nullptr) g_error_free(raw_);
    }

  private:
    GError* raw_ = nullptr;
};

// "Don't match name": lookups use the three attributes only, not the schema name, so items
// written by other tools with the same attributes are ours too.
const SecretSchema* schema() {
    static const SecretSchema kSchema = [] {
        SecretSchema schema{};
        schema.name = "com.corvane.ambrel.Secret";
        schema.flags = SECRET_SCHEMA_DONT_MATCH_NAME;
        schema.attributes[0] = {"service", SECRET_SCHEMA_ATTRIBUTE_STRING};
        schema.attributes[1] = {"access_group", SECRET_SCHEMA_ATTRIBUTE_STRING};
        schema.attributes[2] = {"account", SECRET_SCHEMA_ATTRIBUTE_STRING};
        return schema;
    }();
    return &kSchema;
}

AttributesPtr attributesOf(const KeychainStore& item) {
    return AttributesPtr(secret_attributes_build(schema(), "service", item.service.c_str(),
                                                 "access_group", item.accessGroup.c_str(),
                                                 "account", item.account.c_str(), nullptr));
}

std::int32_t statusOf(const GError* error) {
    if (error == nullptr) return errSecNotAvailable;
    if (g_error_matches(error, SECRET_ERROR, SECRET_ERROR_IS_LOCKED))
        return errSecInteractionNotAllowed;
    if (g_error_matches(error, G_IO_ERROR, G_IO_ERROR_CANCELLED)) return errSecUserCanceled;
    // Everything else (no bus, no service, a broken reply) means no store could be used.
    return errSecNotAvailable;
}

// GDBus would otherwise fall back to X11 autolaunch, which may spawn a bus and block.
bool sessionBusAddressKnown() {
    if (const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS"); address && *address)
        return true;
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime == nullptr || *runtime == '\0') return false;
    struct stat info {};
    return ::stat((std::string(runtime) + "/bus").c_str(), &info) == 0 && S_ISSOCK(info.st_mode);
}

VariantPtr callBus(GDBusConnection* bus, const char* method, GVariant* arguments,
                   const char* replyType) {
    ErrorSlot error;
    return VariantPtr(g_dbus_connection_call_sync(
        bus, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", method,
        arguments, G_VARIANT_TYPE(replyType), G_DBUS_CALL_FLAGS_NONE, kBusTimeoutMs, nullptr,
        error.out()));
}

bool nameIsActivatable(GDBusConnection* bus) {
    VariantPtr reply = callBus(bus, "ListActivatableNames", nullptr, "(as)");
    if (!reply) return false;
    VariantPtr names(g_variant_get_child_value(reply.get(), 0));
    gsize count = 0;
    std::unique_ptr<const gchar*, decltype(&g_free)> list(g_variant_get_strv(names.get(), &count),
                                                          &g_free);
    for (gsize i = 0; i < count; ++i)
        if (std::string_view(list.get()[i]) == kSecretServiceName) return true;
    return false;
}

// The items with the three attributes, in every collection, locked ones included (the service
// lists those too). Nothing here prompts: unlocking is asked for separately, with a bounded wait.
std::expected<ItemListPtr, std::int32_t> search(const KeychainStore& item, bool loadSecrets) {
    const auto flags = static_cast<SecretSearchFlags>(
        SECRET_SEARCH_ALL | (loadSecrets ? SECRET_SEARCH_LOAD_SECRETS : 0));
    ErrorSlot error;
    ItemListPtr found(secret_service_search_sync(nullptr, schema(), attributesOf(item).get(), flags,
                                                 nullptr, error.out()));
    if (ErrorPtr failure = error.take()) return std::unexpected(statusOf(failure.get()));
    return found;
}

std::vector<std::string> lockedAmong(GList* items) {
    std::vector<std::string> paths;
    for (GList* node = items; node != nullptr; node = node->next) {
        auto* item = static_cast<SecretItem*>(node->data);
        if (secret_item_get_locked(item))
            paths.emplace_back(g_dbus_proxy_get_object_path(G_DBUS_PROXY(item)));
    }
    return paths;
}

// The items found, after asking the user to unlock the locked ones among them; items still
// locked after that (prompt refused or unanswered) are left for the caller to judge.
std::expected<ItemListPtr, std::int32_t> searchUnlocking(const KeychainStore& item,
                                                         bool loadSecrets,
                                                         std::chrono::milliseconds promptTimeout) {
    auto found = search(item, loadSecrets);
    if (!found) return found;
    const std::vector<std::string> locked = lockedAmong(found->get());
    if (locked.empty()) return found;
    unlockSecretObjects(locked, promptTimeout);
    return search(item, loadSecrets);
}

CollectionPtr defaultCollection() {
    ErrorSlot error;
    ServicePtr service(secret_service_get_sync(SECRET_SERVICE_NONE, nullptr, error.out()));
    if (!service) return nullptr;
    return CollectionPtr(secret_collection_for_alias_sync(
        service.get(), SECRET_COLLECTION_DEFAULT, SECRET_COLLECTION_NONE, nullptr, error.out()));
}

// Whether new items can go into the default collection without a prompt, after asking the user
// to unlock it when it is locked. Storing into a locked collection would make libsecret prompt
// and wait without end. Without a default collection the store itself reports the failure.
bool defaultCollectionUnlocked(std::chrono::milliseconds promptTimeout) {
    CollectionPtr collection = defaultCollection();
    if (!collection || !secret_collection_get_locked(collection.get())) return true;
    unlockSecretObjects({g_dbus_proxy_get_object_path(G_DBUS_PROXY(collection.get()))},
                        promptTimeout);
    collection = defaultCollection();  // a fresh proxy, with the state after the prompt
    return !collection || !secret_collection_get_locked(collection.get());
}

}  // namespace

LibsecretSecretStore::LibsecretSecretStore(std::chrono::milliseconds promptTimeout)
    : promptTimeout_(promptTimeout) {}

// A locked item is reported as such (errSecInteractionNotAllowed, as a write in that state
// fails): reading it as "no item" would show a signed-in user as signed out.
std::expected<std::optional<std::string>, std::int32_t> LibsecretSecretStore::read(
    const KeychainStore& item) {
    auto found = searchUnlocking(item, true, promptTimeout_);
    if (!found) return std::unexpected(found.error());
    if (!*found) return std::optional<std::string>{};
    for (GList* node = found->get(); node != nullptr; node = node->next) {
        auto* secretItem = static_cast<SecretItem*>(node->data);
        if (secret_item_get_locked(secretItem)) continue;
        ValuePtr value(secret_item_get_secret(secretItem));
        if (!value) return std::unexpected(errSecNotAvailable);  // unlocked, yet not delivered
        gsize length = 0;
        const gchar* bytes = secret_value_get(value.get(), &length);
        return std::optional<std::string>{std::string(bytes, length)};
    }
    return std::unexpected(errSecInteractionNotAllowed);
}

// The service's own "replace" matches items by all their attributes, including the schema
// name that libsecret adds, so it would add a second item beside one stored by another tool.
// Existing items are therefore found by the three attributes and given the new secret in
// place (one call per item: a failure leaves that item's previous value); only when none
// exists is a new item created, in the default collection, unlocked first if need be.
std::int32_t LibsecretSecretStore::write(const KeychainStore& item, std::string_view bytes) {
    auto existing = searchUnlocking(item, false, promptTimeout_);
    if (!existing) return existing.error();
    ValuePtr value(secret_value_new(bytes.data(), static_cast<gssize>(bytes.size()),
                                    "application/octet-stream"));
    ErrorSlot error;
    if (!*existing) {
        if (!defaultCollectionUnlocked(promptTimeout_)) return errSecInteractionNotAllowed;
        const std::string label = "Ambrel: " + item.account;
        gboolean stored = secret_service_store_sync(nullptr, schema(), attributesOf(item).get(),
                                                    SECRET_COLLECTION_DEFAULT, label.c_str(),
                                                    value.get(), nullptr, error.out());
        ErrorPtr failure = error.take();
        return stored ? errSecSuccess : statusOf(failure.get());
    }
    for (GList* node = existing->get(); node != nullptr; node = node->next) {
        gboolean replaced = secret_item_set_secret_sync(static_cast<SecretItem*>(node->data),
                                                        value.get(), nullptr, error.out());
        ErrorPtr failure = error.take();
        if (!replaced) return statusOf(failure.get());
    }
    return errSecSuccess;
}

std::int32_t LibsecretSecretStore::remove(const KeychainStore& item) {
    auto existing = searchUnlocking(item, false, promptTimeout_);
    if (!existing) return existing.error();
    if (!*existing) return errSecItemNotFound;
    if (!lockedAmong(existing->get()).empty()) return errSecInteractionNotAllowed;
    ErrorSlot error;
    gboolean removed =
        secret_password_clearv_sync(schema(), attributesOf(item).get(), nullptr, error.out());
    if (ErrorPtr failure = error.take()) return statusOf(failure.get());
    return removed ? errSecSuccess : errSecItemNotFound;
}

bool LibsecretSecretStore::serviceAnswers() {
    if (!sessionBusAddressKnown()) return false;
    ErrorSlot error;
    BusPtr bus(g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, error.out()));
    if (!bus) return false;
    VariantPtr owned =
        callBus(bus.get(), "NameHasOwner", g_variant_new("(s)", kSecretServiceName), "(b)");
    gboolean hasOwner = FALSE;
    if (owned) g_variant_get(owned.get(), "(b)", &hasOwner);
    return hasOwner || nameIsActivatable(bus.get());
}

}  // namespace ambrel
