#pragma once

// The content of an About window: icon, name, version, a description, up to three links, and
// optional tabs (caller-supplied ones and a licenses list). 500 px wide, height given.

#include <QIcon>
#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <QUuid>
#include <QVariant>
#include <QWidget>
#include <optional>

#include "ui/license.h"

class QStackedWidget;
class QTabBar;

namespace ambrel {

// Name of the QCoreApplication property holding the build number shown beside the version
// (main sets it from the build's AMBREL_BUILD_NUMBER).
inline constexpr char kBuildNumberProperty[] = "buildNumber";

// "<short> (<build>)"; a missing or empty part falls back to "0.1" and "1".
QString versionText(const QVariant& shortVersion, const QVariant& buildNumber);
// versionText of QCoreApplication::applicationVersion() and its kBuildNumberProperty.
QString defaultVersionText();

struct AboutLink {
    QString label;
    QUrl url;
};

struct AboutCopyright {
    QString text;
    std::optional<QUrl> url;  // a link when present, plain text otherwise
};

struct AboutTab {
    QUuid id = QUuid::createUuid();
    QString title;
    QWidget* content = nullptr;  // the AboutView takes ownership
};

struct AboutViewSettings {
    QString appName;
    QString version = defaultVersionText();
    QString description;
    std::optional<AboutLink> website;
    std::optional<AboutLink> support;
    std::optional<AboutCopyright> copyright;
    QList<License> licenses;
    QList<AboutTab> extraTabs;
    QString aboutTabLabel = QStringLiteral("About");
    QString licensesTabLabel = QStringLiteral("Licenses");
    int height = 460;
    std::optional<QIcon> iconImage;  // the application's window icon, else our mark, when absent
};

class AboutView : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int selection READ selection WRITE setSelection NOTIFY selectionChanged)
  public:
    static constexpr int kWidth = 500;

    explicit AboutView(AboutViewSettings settings, QWidget* parent = nullptr);

    // The tabs in order: about, the extra tabs, then licenses (only when there are licences).
    QStringList tabTitles() const;
    int tabCount() const { return static_cast<int>(tabTitles().size()); }
    // The tab bar exists only with two tabs or more.
    bool hasTabBar() const { return tabBar_ != nullptr; }

    int selection() const { return selection_; }
    void setSelection(int index);

  Q_SIGNALS:
    void selectionChanged(int index);

  private:
    QWidget* buildHeader();
    QWidget* buildAboutTab();
    QWidget* buildLicensesTab();
    void addTab(const QString& title, QWidget* content);

    AboutViewSettings settings_;
    QStringList titles_;
    QTabBar* tabBar_ = nullptr;
    QStackedWidget* pages_ = nullptr;
    int selection_ = 0;
};

}  // namespace ambrel
