#include "app/ambrel_app.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QMainWindow>
#include <QMenuBar>
#include <QScreen>
#include <QTimer>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>

#include "app/about_settings.h"
#include "app/content_view.h"
#include "app/first_window_size.h"
#include "app/live_operations.h"
#include "app/localized.h"
#include "app/refresh_schedule.h"
#include "ui/about_view.h"
#include "ui/icons.h"
#include "ui/widget_center.h"

namespace ambrel {
namespace {

constexpr int kToolbarIconSize = 18;
// Network and sleep are watched once the window is up: neither matters to the first frame, and
// loading the network plugin and reaching the system bus would delay it.
constexpr int kWatchSystemDelay = 1000;

// The sign-in runs on a worker thread; the browser must be opened from the GUI thread.
AuthFlow::BrowserOpener guiThreadBrowserOpener() {
    return [](const std::string& url) {
        const QUrl target(QString::fromStdString(url));
        QMetaObject::invokeMethod(
            qApp, [target] { openInBrowser(target); }, Qt::QueuedConnection);
    };
}

}  // namespace

AmbrelApp::AmbrelApp(const Services& services, QObject* parent)
    : AmbrelApp(makeLiveOperations(services, guiThreadBrowserOpener()),
                DashboardContext{services.secrets, &WidgetCenter::reloadAllTimelines, openInBrowser,
                                 services.now},
                StartLookup::inBackground, parent) {
    content_->showAfterFirstFrame();
    QTimer::singleShot(kWatchSystemDelay, schedule_, [schedule = schedule_] {
        schedule->watchSystem(QDBusConnection::systemBus());
    });
}

AmbrelApp::AmbrelApp(AppOperations operations, DashboardContext context, StartLookup lookup,
                     QObject* parent)
    : QObject(parent),
      state_(new AppState(std::move(operations), lookup, this)),
      schedule_(new RefreshSchedule(*state_, this)),
      mainWindow_(std::make_unique<QMainWindow>()) {
    // Closing the main window ends the program even while the About window is open; closing
    // the About window alone never does.
    QApplication::setQuitOnLastWindowClosed(false);

    mainWindow_->setObjectName(QStringLiteral("dashboard"));
    mainWindow_->setWindowTitle(localized("Ambrel"));
    mainWindow_->setContextMenuPolicy(Qt::NoContextMenu);  // no toolbar hide/show menu
    QToolBar* toolbar = makeToolbar();
    makeMenu();  // first in the menu bar, before the dashboard's own menu
    content_ = new ContentView(*state_, std::move(context), *mainWindow_, *toolbar);
    // The sizes are the content's: the menu bar and the toolbar come on top. The window's own
    // minimum follows from its layout.
    content_->setMinimumSize(kMinimumWidth, kMinimumHeight);
    mainWindow_->setCentralWidget(content_);
    resizeForContent(QSize(kInitialWidth, kInitialHeight));
    mainWindow_->installEventFilter(this);
}

void AmbrelApp::resizeForContent(QSize contentSize) {
    mainWindow_->resize(contentSize);
    mainWindow_->layout()->activate();  // places the bars and the content now, while hidden
    const QSize bars = contentSize - content_->size();
    const QScreen* screen = mainWindow_->screen();
    const QSize fitted =
        firstContentSize(contentSize, QSize(kMinimumWidth, kMinimumHeight), bars,
                         screen != nullptr ? screen->availableGeometry() : QRect());
    mainWindow_->resize(fitted + bars);
}

AmbrelApp::~AmbrelApp() {
    delete about_.data();
    mainWindow_.reset();  // its views refer to state_, which QObject deletes after this body
}

QToolBar* AmbrelApp::makeToolbar() {
    QToolBar* toolbar = mainWindow_->addToolBar(QStringLiteral("toolbar"));
    toolbar->setObjectName(QStringLiteral("toolbar"));
    toolbar->setMovable(false);
    toolbar->setFloatable(false);
    toolbar->setIconSize(QSize(kToolbarIconSize, kToolbarIconSize));
    toolbar->toggleViewAction()->setVisible(false);
    return toolbar;
}

void AmbrelApp::makeMenu() {
    QMenu* menu = mainWindow_->menuBar()->addMenu(localized("Ambrel"));
    menu->setObjectName(QStringLiteral("appMenu"));
    QAction* about =
        menu->addAction(symbolIcon(QStringLiteral("info.circle")), localized("About Ambrel"));
    about->setObjectName(QStringLiteral("aboutAction"));
    about->setMenuRole(QAction::AboutRole);
    connect(about, &QAction::triggered, this, &AmbrelApp::showAbout);
    menu->addSeparator();
    QAction* quit = menu->addAction(localized("Quit"));
    quit->setObjectName(QStringLiteral("quitAction"));
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    quit->setMenuRole(QAction::QuitRole);
    connect(quit, &QAction::triggered, qApp, &QCoreApplication::quit);
}

void AmbrelApp::showAbout() {
    if (!about_) {
        auto* window = new QWidget(nullptr, Qt::Window);
        window->setObjectName(QStringLiteral("about"));
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->setWindowTitle(localized("About Ambrel"));
        auto* layout = new QVBoxLayout(window);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSizeConstraint(QLayout::SetFixedSize);  // sized by its content, not resizable
        layout->addWidget(new AboutView(ambrelAboutSettings(), window));
        about_ = window;
    }
    about_->show();
    about_->raise();
    about_->activateWindow();
}

bool AmbrelApp::eventFilter(QObject* watched, QEvent* event) {
    if (watched == mainWindow_.get() && event->type() == QEvent::Close && event->isAccepted()) {
        // Queued, so that the close completes first; nothing is saved here (the caches and the
        // objectives are written when they change).
        QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace ambrel
