#include "core/platform/secret_service_unlock.h"

#include <gio/gio.h>

#include <memory>

namespace ambrel {
namespace {

constexpr const char* kService = "org.freedesktop.secrets";
constexpr const char* kServicePath = "/org/freedesktop/secrets";
constexpr const char* kPromptInterface = "org.freedesktop.Secret.Prompt";
constexpr int kCallTimeoutMs = 5000;  // each call itself: the service answers at once

struct ObjectDeleter {
    void operator()(gpointer object) const { g_object_unref(object); }
};
struct VariantDeleter {
    void operator()(GVariant* variant) const { g_variant_unref(variant); }
};
struct ErrorDeleter {
    void operator()(GError* error) const { g_error_free(error); }
};
using BusPtr = std::unique_ptr<GDBusConnection, ObjectDeleter>;
using VariantPtr = std::unique_ptr<GVariant, VariantDeleter>;
using ErrorPtr = std::unique_ptr<GError, ErrorDeleter>;

// A main context of our own, current on this thread while it lives: the prompt's signal and
// the time-out are dispatched here, whatever loop the calling program runs.
class OwnContext {
  public:
    OwnContext() : context_(g_main_context_new()) { g_main_context_push_thread_default(context_); }
    ~OwnContext() {
        g_main_context_pop_thread_default(context_);
        g_main_context_unref(context_);
    }
    OwnContext(const OwnContext&) = delete;
    OwnContext& operator=(const OwnContext&) = delete;
    GMainContext* get() const { return context_; }

  private:
    GMainContext* context_;
};

// Listens for the prompt's Completed signal and owns a time-out, both in `context`.
class PromptWait {
  public:
    PromptWait(GDBusConnection* bus, const char* promptPath, GMainContext* context,
               std::chrono::milliseconds limit)
        : bus_(bus),
          subscription_(g_dbus_connection_signal_subscribe(
              bus, nullptr, kPromptInterface, "Completed", promptPath, nullptr,
              G_DBUS_SIGNAL_FLAGS_NONE, &PromptWait::onCompleted, this, nullptr)),
          timeout_(g_timeout_source_new(static_cast<guint>(limit.count()))) {
        g_source_set_callback(timeout_, &PromptWait::onTimeout, this, nullptr);
        g_source_attach(timeout_, context);
    }
    ~PromptWait() {
        g_dbus_connection_signal_unsubscribe(bus_, subscription_);
        g_source_destroy(timeout_);
        g_source_unref(timeout_);
    }
    PromptWait(const PromptWait&) = delete;
    PromptWait& operator=(const PromptWait&) = delete;

    // Runs `context` until the prompt completed or the time is up.
    void wait(GMainContext* context) {
        while (!completed_ && !timedOut_) g_main_context_iteration(context, TRUE);
    }

  private:
    static void onCompleted(GDBusConnection*, const gchar*, const gchar*, const gchar*,
                            const gchar*, GVariant*, gpointer self) {
        static_cast<PromptWait*>(self)->completed_ = true;
    }
    static gboolean onTimeout(gpointer self) {
        static_cast<PromptWait*>(self)->timedOut_ = true;
        return G_SOURCE_REMOVE;
    }

    GDBusConnection* bus_;
    guint subscription_;
    GSource* timeout_;
    bool completed_ = false;
    bool timedOut_ = false;
};

VariantPtr call(GDBusConnection* bus, const char* path, const char* interface, const char* method,
                GVariant* arguments, const char* replyType) {
    GError* raw = nullptr;
    VariantPtr reply(
        g_dbus_connection_call_sync(bus, kService, path, interface, method, arguments,
                                    replyType != nullptr ? G_VARIANT_TYPE(replyType) : nullptr,
                                    G_DBUS_CALL_FLAGS_NONE, kCallTimeoutMs, nullptr, &raw));
    ErrorPtr error(raw);  // the outcome is judged by looking at the objects again
    return reply;
}

}  // namespace

void unlockSecretObjects(const std::vector<std::string>& objectPaths,
                         std::chrono::milliseconds limit) {
    if (objectPaths.empty()) return;
    GError* raw = nullptr;
    BusPtr bus(g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, &raw));
    ErrorPtr error(raw);
    if (!bus) return;

    GVariantBuilder paths;
    g_variant_builder_init(&paths, G_VARIANT_TYPE("ao"));
    for (const std::string& path : objectPaths) g_variant_builder_add(&paths, "o", path.c_str());
    VariantPtr reply = call(bus.get(), kServicePath, "org.freedesktop.Secret.Service", "Unlock",
                            g_variant_new("(ao)", &paths), "(aoo)");
    if (!reply) return;
    const gchar* prompt = nullptr;
    g_variant_get(reply.get(), "(@ao&o)", nullptr, &prompt);
    if (prompt == nullptr || std::string_view(prompt) == "/") return;  // no prompt needed

    // Subscribed before the prompt is shown, so that a quick answer is not missed.
    OwnContext context;
    PromptWait wait(bus.get(), prompt, context.get(), limit);
    if (!call(bus.get(), prompt, kPromptInterface, "Prompt", g_variant_new("(s)", ""), nullptr))
        return;
    // An unanswered prompt is left on the screen rather than dismissed: gnome-keyring ends
    // abruptly when a prompt its prompter still shows is dismissed, and a user who comes back
    // can still unlock the keyring with it for the next read.
    wait.wait(context.get());
}

}  // namespace ambrel
