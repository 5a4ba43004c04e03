#include "app/content_view.h"

#include <QEvent>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#include "app/app_state.h"
#include "app/dashboard_view.h"
#include "app/file_secrets_notice.h"
#include "app/localized.h"
#include "app/login_view.h"
#include "core/platform/file_secret_store.h"

namespace ambrel {

ContentView::ContentView(AppState& state, DashboardContext context, QMainWindow& host,
                         QToolBar& toolbar, QWidget* parent)
    : QWidget(parent), state_(state), context_(std::move(context)), host_(host), toolbar_(toolbar) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    // Above both views, so it is seen before signing in as well as after.
    if (const auto* files = dynamic_cast<const FileSecretStore*>(&context_.secrets))
        layout->addWidget(new FileSecretsNotice(files->folder(), this));
    connect(&state_, &AppState::isConnectedChanged, this, &ContentView::showCurrent);
    connect(&state_, &AppState::isStartingChanged, this, &ContentView::showCurrent);
    showCurrent();
}

DashboardView* ContentView::dashboard() const {
    return qobject_cast<DashboardView*>(current_);
}

LoginView* ContentView::login() const {
    return qobject_cast<LoginView*>(current_);
}

void ContentView::showAfterFirstFrame() {
    waitingForFirstFrame_ = true;
    host_.installEventFilter(this);
}

bool ContentView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &host_ && event->type() == QEvent::Paint && waitingForFirstFrame_) {
        host_.removeEventFilter(this);
        // Once this paint has been flushed: the next turn of the event loop.
        QTimer::singleShot(0, this, [this] {
            waitingForFirstFrame_ = false;
            showCurrent();
        });
    }
    return QWidget::eventFilter(watched, event);
}

void ContentView::showCurrent() {
    // Until the stored sign-in has been looked up, the window stays empty: showing the sign-in
    // view only to replace it by the dashboard a moment later would be a flash.
    if (state_.isStarting() || waitingForFirstFrame_) {
        host_.setWindowTitle(localized("Ambrel"));
        toolbar_.setVisible(false);
        return;
    }
    const bool connected = state_.isConnected();
    if (current_ != nullptr && (dashboard() != nullptr) == connected) return;
    if (current_ != nullptr) {
        // Sign-out arrives from inside the dashboard's own menu: delete it once that returns.
        // Its toolbar items leave with it.
        current_->hide();
        current_->deleteLater();
    }
    if (connected) {
        current_ = new DashboardView(state_, context_, toolbar_, this);
        host_.setWindowTitle(localized("AdSense earnings"));
    } else {
        current_ = new LoginView(state_, this);
        host_.setWindowTitle(localized("Ambrel"));
    }
    // The sign-in view has nothing for the toolbar; an empty strip would only take room.
    toolbar_.setVisible(connected);
    layout()->addWidget(current_);
}

}  // namespace ambrel
