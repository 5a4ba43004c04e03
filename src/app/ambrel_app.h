#pragma once

// The application: its one AppState, the main window "dashboard" (closing it quits), the
// About window "about" (one at a time) and the "Ambrel" menu.

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <memory>

#include "app/app_state.h"
#include "app/dashboard_context.h"
#include "core/services.h"

class QMainWindow;
class QMenu;
class QToolBar;

namespace ambrel {

class ContentView;
class RefreshSchedule;

class AmbrelApp final : public QObject {
    Q_OBJECT
  public:
    // The content's first size and its minimum (the window adds its menu bar and toolbar).
    static constexpr int kInitialWidth = 600;
    static constexpr int kInitialHeight = 800;
    static constexpr int kMinimumWidth = 520;
    static constexpr int kMinimumHeight = 600;

    // The real operations over `services`, which must outlive the application; the stored
    // refresh token is looked up beside the first frame.
    explicit AmbrelApp(const Services& services, QObject* parent = nullptr);
    AmbrelApp(AppOperations operations, DashboardContext context,
              StartLookup lookup = StartLookup::now, QObject* parent = nullptr);
    ~AmbrelApp() override;

    AppState& state() { return *state_; }
    QMainWindow& mainWindow() { return *mainWindow_; }
    ContentView& content() { return *content_; }
    QWidget* aboutWindow() const { return about_; }  // null while closed
    RefreshSchedule& refreshSchedule() { return *schedule_; }

    // Opens the About window, or brings the open one to the front.
    void showAbout();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QToolBar* makeToolbar();
    // Makes the window as large as the bars plus `contentSize`, or as the screen allows.
    void resizeForContent(QSize contentSize);
    void makeMenu();

    AppState* state_;
    RefreshSchedule* schedule_;
    std::unique_ptr<QMainWindow> mainWindow_;
    ContentView* content_ = nullptr;
    QPointer<QWidget> about_;
};

}  // namespace ambrel
