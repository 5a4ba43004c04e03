#pragma once

// When the application refreshes on its own while its window is open: 30 minutes after the
// last refresh ended (as the widget does), when the network comes back, and when the machine
// wakes from sleep. Only while signed in, never beside a refresh already running, and not
// while Google has ended the sign-in (a refresh could only fail the same way).

#include <QDBusConnection>
#include <QObject>
#include <QTimer>

namespace ambrel {

class AppState;

class RefreshSchedule final : public QObject {
    Q_OBJECT
  public:
    explicit RefreshSchedule(AppState& state, QObject* parent = nullptr);

    // Follows the network's reachability (QNetworkInformation) and logind's PrepareForSleep on
    // `bus` from `service` (logind on the system bus; tests pass their own bus, and an empty
    // service for any sender).
    void watchSystem(const QDBusConnection& bus,
                     const QString& service = QStringLiteral("org.freedesktop.login1"));

    const QTimer& timer() const { return timer_; }

  public Q_SLOTS:
    // A machine going to sleep says true, the same machine awake again says false.
    void preparingForSleep(bool sleeping);
    void networkReachable(bool online);

  private:
    void refreshNow();
    void restartTimer();

    AppState& state_;
    QTimer timer_;
    bool online_ = true;
};

}  // namespace ambrel
