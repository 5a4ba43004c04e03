#pragma once

// Announces reached objectives as desktop notifications, through org.freedesktop.Notifications
// on the session bus: application name "Ambrel", the product icon, the title "Daily objective
// reached" or "Monthly objective reached" and the amount over the objective as the body. Only
// figures that a refresh has just fetched are announced (desktop_host.h), each objective once
// per period (objective_notices.h). A notice counts as given once it is sent: a server that
// answers late, never, or with an error may well have shown it. Only when no notification
// service is there at all (the name has no owner) is it not given; one line on stderr says so,
// and a later refresh tries again.

#include <QDBusConnection>
#include <QObject>
#include <iosfwd>

#include "core/platform/defaults.h"
#include "widget/earnings_provider.h"
#include "widget/objective_notices.h"

namespace ambrel::widget {

class ObjectiveNotifier final : public QObject {
    Q_OBJECT
  public:
    static constexpr const char* kService = "org.freedesktop.Notifications";
    static constexpr const char* kAppName = "Ambrel";
    static constexpr const char* kIcon = "com.corvane.ambrel";

    // The defaults are borrowed for the notifier's lifetime, and so is `err`.
    ObjectiveNotifier(QDBusConnection bus, Defaults& widgetDefaults, std::ostream& err,
                      QObject* parent = nullptr);

    // The switch of the panel indicator's menu, kept in the widget's defaults.
    bool isEnabled() const { return notices_.isEnabled(); }
    bool setEnabled(bool enabled) { return notices_.setEnabled(enabled); }

    // For the entry of a refresh that succeeded.
    void announce(const EarningsEntry& entry);

  private:
    void send(const ReachedObjective& reached);
    void sayOnceThatNoServiceAnswers(const QString& why);
    void sayOnceThatTheServiceRefused(const QString& why);

    QDBusConnection bus_;
    ObjectiveNotices notices_;
    std::ostream& err_;
    bool saidNoService_ = false;
    bool saidRefused_ = false;
};

}  // namespace ambrel::widget
