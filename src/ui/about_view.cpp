#include "ui/about_view.h"

#include <QApplication>
#include <QCoreApplication>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QScrollArea>
#include <QStackedWidget>
#include <QTabBar>
#include <QVBoxLayout>
#include <utility>

#include "ui/colors.h"
#include "ui/divider.h"
#include "ui/fonts.h"
#include "ui/icons.h"
#include "ui/license_row.h"
#include "ui/link_button.h"

namespace ambrel {
namespace {

constexpr int kIconSide = 120;
constexpr int kIconRadius = 27;
constexpr int kTabBarWidth = 320;

QString textOr(const QVariant& value, const QString& fallback) {
    const QString text = value.typeId() == QMetaType::QString ? value.toString() : QString();
    return text.isEmpty() ? fallback : text;
}

QLabel* makeText(const QString& text, TextStyle style, LabelLevel level) {
    auto* label = new QLabel(text);
    label->setFont(textStyleFont(style));
    label->setTextFormat(Qt::PlainText);
    setLabelLevel(label, level);
    return label;
}

QPixmap roundedIcon(const QIcon& icon, qreal ratio) {
    QPixmap pixmap(QSize(kIconSide, kIconSide) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath clip;
    clip.addRoundedRect(QRectF(0, 0, kIconSide, kIconSide), kIconRadius, kIconRadius);
    painter.setClipPath(clip);
    icon.paint(&painter, QRect(0, 0, kIconSide, kIconSide));
    return pixmap;
}

QIcon applicationIcon() {
    const QIcon windowIcon = QApplication::windowIcon();
    return windowIcon.isNull() ? productMark() : windowIcon;
}

// Links take the palette's link colour; a flat button would otherwise draw button text.
void styleAsLink(QPushButton* button, TextStyle style, const QColor& color) {
    button->setFont(textStyleFont(style));
    setForegroundColor(button, color);
}

QWidget* centred(QWidget* widget) {
    auto* holder = new QWidget;
    auto* layout = new QHBoxLayout(holder);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addStretch();
    layout->addWidget(widget);
    layout->addStretch();
    return holder;
}

}  // namespace

QString versionText(const QVariant& shortVersion, const QVariant& buildNumber) {
    return QStringLiteral("%1 (%2)").arg(textOr(shortVersion, QStringLiteral("0.1")),
                                         textOr(buildNumber, QStringLiteral("1")));
}

QString defaultVersionText() {
    if (QCoreApplication::instance() == nullptr) return versionText({}, {});
    return versionText(QCoreApplication::applicationVersion(),
                       QCoreApplication::instance()->property(kBuildNumberProperty));
}

AboutView::AboutView(AboutViewSettings settings, QWidget* parent)
    : QWidget(parent), settings_(std::move(settings)) {
    setFixedSize(kWidth, settings_.height);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(buildHeader());

    pages_ = new QStackedWidget(this);
    addTab(settings_.aboutTabLabel, buildAboutTab());
    for (const AboutTab& tab : std::as_const(settings_.extraTabs)) {
        addTab(tab.title, tab.content != nullptr ? tab.content : new QWidget);
    }
    if (!settings_.licenses.isEmpty()) addTab(settings_.licensesTabLabel, buildLicensesTab());

    if (titles_.size() >= 2) {
        tabBar_ = new QTabBar(this);
        tabBar_->setObjectName(QStringLiteral("aboutTabBar"));
        tabBar_->setExpanding(true);
        tabBar_->setDrawBase(false);
        tabBar_->setFixedWidth(kTabBarWidth);
        tabBar_->setAccessibleName(QStringLiteral("Tabs"));
        for (const QString& title : std::as_const(titles_)) tabBar_->addTab(title);
        connect(tabBar_, &QTabBar::currentChanged, this, &AboutView::setSelection);
        layout->addWidget(tabBar_, 0, Qt::AlignHCenter);
        layout->addSpacing(12);
    }
    layout->addWidget(makeDivider(this));
    layout->addWidget(pages_, 1);
}

QStringList AboutView::tabTitles() const {
    return titles_;
}

void AboutView::setSelection(int index) {
    if (index < 0 || index >= titles_.size() || index == selection_) return;
    selection_ = index;
    pages_->setCurrentIndex(index);
    if (tabBar_ != nullptr) tabBar_->setCurrentIndex(index);
    Q_EMIT selectionChanged(index);
}

void AboutView::addTab(const QString& title, QWidget* content) {
    titles_.append(title);
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(24, 16, 24, 16);
    layout->addWidget(content);
    pages_->addWidget(page);
}

QWidget* AboutView::buildHeader() {
    auto* header = new QWidget(this);
    auto* layout = new QVBoxLayout(header);
    layout->setContentsMargins(0, 20, 0, 12);
    layout->setSpacing(10);

    auto* icon = new QLabel;
    icon->setObjectName(QStringLiteral("aboutIcon"));
    icon->setFixedSize(kIconSide, kIconSide);
    icon->setPixmap(
        roundedIcon(settings_.iconImage.value_or(applicationIcon()), devicePixelRatioF()));
    icon->setAccessibleName(settings_.appName + QStringLiteral(" icon"));
    layout->addWidget(icon, 0, Qt::AlignHCenter);

    auto* name = new QLabel(settings_.appName);
    name->setObjectName(QStringLiteral("aboutName"));
    name->setTextFormat(Qt::PlainText);
    name->setFont(systemFont(textStylePixelSize(TextStyle::Title2), QFont::Bold));
    layout->addWidget(name, 0, Qt::AlignHCenter);

    auto* version = makeText(settings_.version, TextStyle::Caption, LabelLevel::Secondary);
    version->setObjectName(QStringLiteral("aboutVersion"));
    layout->addWidget(version, 0, Qt::AlignHCenter);
    return header;
}

QWidget* AboutView::buildAboutTab() {
    auto* tab = new QWidget;
    auto* layout = new QVBoxLayout(tab);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(12);
    layout->addStretch();

    auto* description = makeText(settings_.description, TextStyle::Body, LabelLevel::Secondary);
    description->setObjectName(QStringLiteral("aboutDescription"));
    description->setWordWrap(true);
    description->setAlignment(Qt::AlignHCenter);
    layout->addWidget(description);

    const QColor link = palette().color(QPalette::Link);
    const qreal ratio = devicePixelRatioF();
    if (settings_.website) {
        auto* website = new LinkButton(settings_.website->label, settings_.website->url);
        website->setObjectName(QStringLiteral("aboutWebsite"));
        styleAsLink(website, TextStyle::Callout, link);
        website->setIcon(tintedSymbol(QStringLiteral("globe"), 13, link, ratio));
        website->setIconSize(QSize(13, 13));
        layout->addWidget(centred(website));
    }
    if (settings_.support) {
        auto* support = new LinkButton(settings_.support->label, settings_.support->url);
        support->setObjectName(QStringLiteral("aboutSupport"));
        support->setFont(textStyleFont(TextStyle::Callout));
        support->setIcon(tintedSymbol(QStringLiteral("heart.fill"), 13, systemPink(), ratio));
        support->setIconSize(QSize(13, 13));
        const QColor pill = labelColor(LabelLevel::Quaternary, palette());
        support->setStyleSheet(QStringLiteral("QPushButton { background-color: %1; border: none;"
                                              " border-radius: 8px; padding: 8px 16px; }")
                                   .arg(pill.name(QColor::HexArgb)));
        layout->addWidget(centred(support));
    }
    if (settings_.copyright) {
        const AboutCopyright& copyright = *settings_.copyright;
        const QColor tertiary = labelColor(LabelLevel::Tertiary, palette());
        QWidget* line = nullptr;
        if (copyright.url) {
            auto* button = new LinkButton(copyright.text, *copyright.url);
            styleAsLink(button, TextStyle::Caption, tertiary);
            line = button;
        } else {
            line = makeText(copyright.text, TextStyle::Caption, LabelLevel::Tertiary);
        }
        line->setObjectName(QStringLiteral("aboutCopyright"));
        layout->addWidget(centred(line));
    }
    return tab;
}

QWidget* AboutView::buildLicensesTab() {
    auto* list = new QWidget;
    auto* layout = new QVBoxLayout(list);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    for (const License& license : std::as_const(settings_.licenses)) {
        layout->addWidget(new LicenseRow(license));
    }
    layout->addStretch();

    auto* scroll = new QScrollArea;
    scroll->setObjectName(QStringLiteral("aboutLicenses"));
    scroll->setWidget(list);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    return scroll;
}

}  // namespace ambrel
