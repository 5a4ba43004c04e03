#include "app/dashboard_view.h"

#include <QDialog>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "app/app_state.h"
#include "app/busy_indicator.h"
#include "app/dashboard_toolbar.h"
#include "app/localized.h"
#include "app/objectives_editor.h"
#include "app/refresh_banner.h"
#include "app/snapshot_form.h"
#include "ui/colors.h"
#include "ui/fonts.h"
#include "ui/icons.h"

namespace ambrel {
namespace {
constexpr int kLargeSpinner = 32;
constexpr int kPlaceholderIconSize = 44;
constexpr int kPlaceholderSpacing = 12;
constexpr int kBannerMargin = 12;
// "Updated at 14:05" turns into "Updated yesterday at 14:05", and old figures dim, while the
// window stays open: a minute is as fine as the text.
constexpr int kClockInterval = 60 * 1000;
}  // namespace

DashboardView::DashboardView(AppState& state, DashboardContext context, QToolBar& toolbar,
                             QWidget* parent)
    : QWidget(parent),
      state_(state),
      context_(std::move(context)),
      objectives_(Objectives::load(context_.secrets)),
      toolbar_(new DashboardToolbar(state, toolbar, this)),
      banner_(new RefreshBanner(state, context_.openUrl, this)),
      pages_(new QStackedWidget(this)),
      clock_(new QTimer(this)),
      scroll_(new QScrollArea(pages_)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* bannerRow = new QVBoxLayout;
    bannerRow->setContentsMargins(kBannerMargin, kBannerMargin, kBannerMargin, 0);
    bannerRow->addWidget(banner_);
    layout->addLayout(bannerRow);
    layout->addWidget(pages_);
    clock_->setInterval(kClockInterval);
    connect(clock_, &QTimer::timeout, this, [this] {
        if (form_ != nullptr) form_->setNow(context_.now());
    });
    clock_->start();

    scroll_->setObjectName(QStringLiteral("snapshotScroll"));
    scroll_->setWidgetResizable(true);
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    pages_->insertWidget(static_cast<int>(Page::Form), scroll_);
    pages_->insertWidget(static_cast<int>(Page::Loading), makeLoadingPage());
    pages_->insertWidget(static_cast<int>(Page::NoData), makeNoDataPage());

    connect(toolbar_, &DashboardToolbar::objectivesRequested, this, &DashboardView::showObjectives);
    connect(&state_, &AppState::dashboardChanged, this, &DashboardView::updateForm);
    connect(&state_, &AppState::isWorkingChanged, this, &DashboardView::updatePage);
    updateForm();
}

DashboardView::~DashboardView() {
    delete sheet_.data();
}

DashboardView::Page DashboardView::page() const {
    return static_cast<Page>(pages_->currentIndex());
}

QWidget* DashboardView::makeLoadingPage() {
    auto* page = new QWidget(pages_);
    auto* layout = new QVBoxLayout(page);
    auto* spinner = new BusyIndicator(kLargeSpinner, page);
    spinner->setObjectName(QStringLiteral("largeSpinner"));
    layout->addWidget(spinner, 0, Qt::AlignCenter);
    return page;
}

QWidget* DashboardView::makeNoDataPage() {
    auto* page = new QWidget(pages_);
    auto* layout = new QVBoxLayout(page);
    layout->setSpacing(kPlaceholderSpacing);
    layout->addStretch(1);
    auto* icon = new QLabel(page);
    icon->setObjectName(QStringLiteral("noDataIcon"));
    icon->setPixmap(tintedSymbol(QStringLiteral("chart.line.uptrend.xyaxis"), kPlaceholderIconSize,
                                 labelColor(LabelLevel::Secondary, palette()),
                                 devicePixelRatioF()));
    layout->addWidget(icon, 0, Qt::AlignHCenter);
    QFont titleFont = textStyleFont(TextStyle::Title2);
    titleFont.setBold(true);
    auto* title = new QLabel(localized("No data yet"), page);
    title->setObjectName(QStringLiteral("noDataTitle"));
    title->setTextFormat(Qt::PlainText);
    title->setFont(titleFont);
    title->setAccessibleName(title->text());
    layout->addWidget(title, 0, Qt::AlignHCenter);
    layout->addStretch(1);
    return page;
}

void DashboardView::updateForm() {
    const auto& snapshot = state_.dashboard();
    if (snapshot) {
        // A new snapshot replaces the form; the reader keeps their place in it.
        const int scrolled = scroll_->verticalScrollBar()->value();
        form_ = new SnapshotForm(*snapshot, objectives_, context_.now());
        scroll_->setWidget(form_);  // deletes the previous form
        scroll_->verticalScrollBar()->setValue(scrolled);
    } else if (form_ != nullptr) {
        delete scroll_->takeWidget();
        form_ = nullptr;
    }
    updatePage();
}

void DashboardView::updatePage() {
    Page page = Page::NoData;
    if (state_.dashboard()) {
        page = Page::Form;
    } else if (state_.isWorking()) {
        page = Page::Loading;
    }
    pages_->setCurrentIndex(static_cast<int>(page));
}

void DashboardView::showObjectives() {
    if (sheet_) return;
    auto* editor = new ObjectivesEditor(
        objectives_, [this](const Objectives& edited) { setObjectives(edited); },
        [this] { saveObjectives(); });
    sheet_ = presentSheet(editor, window());
    sheet_->setObjectName(QStringLiteral("objectivesSheet"));
}

void DashboardView::setObjectives(const Objectives& objectives) {
    objectives_ = objectives;
    if (form_ != nullptr) form_->setObjectives(objectives_);
}

void DashboardView::saveObjectives() {
    Objectives::save(context_.secrets, objectives_);
    if (context_.reloadAllTimelines) context_.reloadAllTimelines();
}

}  // namespace ambrel
