#pragma once

// What the main window shows while a Google account is connected: the figures of the last
// snapshot (or a spinner, or "No data yet"), with its items in the window's toolbar and menu,
// and above them the banner of a failed refresh. The objectives are read once, when the
// dashboard is created, and saved from the editor.

#include <QDialog>
#include <QPointer>
#include <QWidget>

#include "app/dashboard_context.h"
#include "core/earnings/earnings_store.h"

class QScrollArea;
class QStackedWidget;
class QTimer;
class QToolBar;

namespace ambrel {

class AppState;
class DashboardToolbar;
class RefreshBanner;
class SnapshotForm;

class DashboardView final : public QWidget {
    Q_OBJECT
  public:
    enum class Page { Form, Loading, NoData };

    DashboardView(AppState& state, DashboardContext context, QToolBar& toolbar,
                  QWidget* parent = nullptr);
    ~DashboardView() override;

    Page page() const;
    const Objectives& objectives() const { return objectives_; }
    DashboardToolbar* toolbar() const { return toolbar_; }
    SnapshotForm* form() const { return form_; }
    RefreshBanner* banner() const { return banner_; }
    QScrollArea* scrollArea() const { return scroll_; }
    QDialog* objectivesSheet() const { return sheet_; }

    // Presents the objectives editor over the window; only one at a time.
    void showObjectives();

  private:
    QWidget* makeLoadingPage();
    QWidget* makeNoDataPage();
    void updateForm();
    void updatePage();
    void setObjectives(const Objectives& objectives);
    void saveObjectives();

    AppState& state_;
    DashboardContext context_;
    Objectives objectives_;
    DashboardToolbar* toolbar_;
    RefreshBanner* banner_;
    QStackedWidget* pages_;
    QTimer* clock_;
    QScrollArea* scroll_;
    SnapshotForm* form_ = nullptr;
    QPointer<QDialog> sheet_;
};

}  // namespace ambrel
