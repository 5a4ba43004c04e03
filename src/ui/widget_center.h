#pragma once

// The request to redraw the desktop widget: a signal on the session bus that the widget host
// listens for. Without a session bus the request does nothing.

#include <QObject>

namespace ambrel {

namespace WidgetCenter {

inline constexpr const char* kPath = "/com/corvane/ambrel/WidgetCenter";
inline constexpr const char* kInterface = "com.corvane.ambrel.WidgetCenter";
inline constexpr const char* kMember = "ReloadAllTimelines";

void reloadAllTimelines();

}  // namespace WidgetCenter

// Emits reloadRequested() for every reload signal seen on the session bus.
class ReloadListener final : public QObject {
    Q_OBJECT
  public:
    explicit ReloadListener(QObject* parent = nullptr);
    bool isListening() const { return listening_; }

  Q_SIGNALS:
    void reloadRequested();

  private Q_SLOTS:
    void onReloadSignal();

  private:
    bool listening_ = false;
};

}  // namespace ambrel
