#pragma once

// One application window per session: the first `ambrel` holds the well-known bus name and
// answers the freedesktop Application interface (ui/application_bus.h); a later start asks it
// to show its window and ends, after two tries of a few seconds each when the first does not
// answer (it may still be starting). The panel indicator's "Open Ambrel" calls the same
// Activate. Without a session bus every start runs on its own.

#include <QObject>
#include <QVariantMap>
#include <iosfwd>
#include <optional>

class QWidget;

namespace ambrel {

class SingleInstance final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Application")
  public:
    enum class Claim {
        first,       // this process holds the name (or there is no bus): go on
        handedOver,  // the running application was asked to show itself: end with status 0
        unanswered,  // another process holds the name but did not answer
    };

    using QObject::QObject;

    // Exports the Activate method, then takes the name, or activates its holder. Before
    // anything else of the program runs, so that a second start touches no store.
    Claim claim();

  public Q_SLOTS:
    // `platformData` may carry the launcher's activation token for the window system.
    Q_SCRIPTABLE void Activate(const QVariantMap& platformData);

  Q_SIGNALS:
    void activated();
};

// The program's exit status when the claim ends it (0 when handed over; 1, said on `err`, when
// the running application does not answer); none when it goes on.
std::optional<int> exitStatusFor(SingleInstance::Claim claim, std::ostream& err);

// Shows the window, out of the minimised state, raised and focused as far as the window system
// lets a program do that.
void raiseWindow(QWidget& window);

}  // namespace ambrel
