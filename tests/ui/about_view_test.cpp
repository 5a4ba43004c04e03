// Tabs appear as the content asks, the version text falls back sensibly, links open their
// addresses, licence rows expand on their own; and screenshots for a look by eye.

#include "ui/about_view.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTabBar>
#include <QTest>

#include "support/qt_application.h"
#include "support/test_artifacts.h"
#include "ui/license_row.h"
#include "ui/license_texts.h"
#include "ui/link_button.h"

namespace ambrel {
namespace {

const auto* const kGui = ::testing::AddGlobalTestEnvironment(new testing::QtApplicationEnvironment);

// Collects the addresses the desktop would have opened.
class UrlRecorder : public QObject {
    Q_OBJECT
  public:
    QList<QUrl> opened;
  public Q_SLOTS:
    void open(const QUrl& url) { opened.append(url); }
};

AboutViewSettings baseSettings() {
    AboutViewSettings settings;
    settings.appName = QStringLiteral("Ambrel");
    settings.version = QStringLiteral("2.3 (45)");
    settings.description = QStringLiteral("Your AdSense earnings, right on your desktop.");
    return settings;
}

QList<License> twoLicenses() {
    return {License(QStringLiteral("Sparkline"), QStringLiteral("MIT"),
                    QStringLiteral("Copyright © 2021 Example Authors"),
                    QUrl(QStringLiteral("https://example.org/sparkline")), kMitLicenseText),
            License(QStringLiteral("Tinyjson"), QStringLiteral("ISC"),
                    QStringLiteral("Copyright © 2019 Someone"), std::nullopt, kIscLicenseText)};
}

void saveScreenshot(QWidget& widget, const QString& name) {
    const QByteArray buildDir = qgetenv("AMBREL_BUILD_DIR");
    if (buildDir.isEmpty()) return;
    const QString folder = QString::fromStdString(testing::testArtifactsFolder().string());
    QDir().mkpath(folder);
    EXPECT_TRUE(widget.grab().save(folder + QLatin1Char('/') + name));
}

TEST(AboutView, WithoutLicencesOrExtraTabsThereIsOneTabAndNoTabBar) {
    AboutView view(baseSettings());
    EXPECT_EQ(view.tabCount(), 1);
    EXPECT_FALSE(view.hasTabBar());
    EXPECT_EQ(view.findChild<QTabBar*>(), nullptr);
    EXPECT_EQ(view.size(), QSize(500, 460));
}

TEST(AboutView, TabsAreAboutThenExtrasThenLicenses) {
    AboutViewSettings settings = baseSettings();
    settings.licenses = twoLicenses();
    settings.extraTabs = {AboutTab{.title = QStringLiteral("Credits"), .content = new QLabel}};
    AboutView view(settings);
    EXPECT_EQ(view.tabTitles(), (QStringList{QStringLiteral("About"), QStringLiteral("Credits"),
                                             QStringLiteral("Licenses")}));
    auto* bar = view.findChild<QTabBar*>();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->count(), 3);
    EXPECT_EQ(bar->width(), 320);
    bar->setCurrentIndex(2);
    EXPECT_EQ(view.selection(), 2);
}

TEST(AboutView, VersionTextFallsBackToZeroPointOneBuildOne) {
    EXPECT_EQ(versionText({}, {}), QStringLiteral("0.1 (1)"));
    EXPECT_EQ(versionText(QString(), QString()), QStringLiteral("0.1 (1)"));
    EXPECT_EQ(versionText(QVariant(7), QStringLiteral("45")), QStringLiteral("0.1 (45)"));
    EXPECT_EQ(versionText(QStringLiteral("2.3"), QStringLiteral("45")), QStringLiteral("2.3 (45)"));

    EXPECT_EQ(defaultVersionText(), QStringLiteral("0.1 (1)"));
    QCoreApplication::setApplicationVersion(QStringLiteral("2.3"));
    qApp->setProperty(kBuildNumberProperty, QStringLiteral("45"));
    EXPECT_EQ(defaultVersionText(), QStringLiteral("2.3 (45)"));
    QCoreApplication::setApplicationVersion(QString());
    qApp->setProperty(kBuildNumberProperty, QVariant());
}

TEST(AboutView, CopyrightIsALinkOnlyWithAnAddress) {
    UrlRecorder recorder;
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &recorder, "open");

    AboutViewSettings withUrl = baseSettings();
    withUrl.copyright = AboutCopyright{QStringLiteral("© 2025 Corvane"),
                                       QUrl(QStringLiteral("https://corvane.example"))};
    AboutView linked(withUrl);
    auto* link = linked.findChild<QPushButton*>(QStringLiteral("aboutCopyright"));
    ASSERT_NE(link, nullptr);
    link->click();
    ASSERT_EQ(recorder.opened.size(), 1);
    EXPECT_EQ(recorder.opened.first(), QUrl(QStringLiteral("https://corvane.example")));

    AboutViewSettings plain = baseSettings();
    plain.copyright = AboutCopyright{QStringLiteral("© 2025 Corvane"), std::nullopt};
    AboutView unlinked(plain);
    EXPECT_EQ(unlinked.findChild<QPushButton*>(QStringLiteral("aboutCopyright")), nullptr);
    auto* text = unlinked.findChild<QLabel*>(QStringLiteral("aboutCopyright"));
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->text(), QStringLiteral("© 2025 Corvane"));

    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
}

TEST(AboutView, ExpandingOneLicenceLeavesTheOthersClosed) {
    AboutViewSettings settings = baseSettings();
    settings.licenses = twoLicenses();
    AboutView view(settings);
    const QList<LicenseRow*> rows = view.findChildren<LicenseRow*>();
    ASSERT_EQ(rows.size(), 2);
    rows[0]->toggleButton()->click();
    EXPECT_TRUE(rows[0]->isExpanded());
    EXPECT_FALSE(rows[0]->details()->isHidden());
    EXPECT_FALSE(rows[1]->isExpanded());
    EXPECT_TRUE(rows[1]->details()->isHidden());
    rows[0]->toggleButton()->click();
    EXPECT_FALSE(rows[0]->isExpanded());
}

TEST(AboutView, Screenshots) {
    AboutViewSettings settings = baseSettings();
    settings.website =
        AboutLink{QStringLiteral("ambrel.example"), QUrl(QStringLiteral("https://ambrel.example"))};
    settings.support = AboutLink{QStringLiteral("Support development"),
                                 QUrl(QStringLiteral("https://corvane.example/donate"))};
    settings.copyright = AboutCopyright{QStringLiteral("© 2025 Corvane"),
                                        QUrl(QStringLiteral("https://corvane.example"))};
    AboutView about(settings);
    about.show();
    saveScreenshot(about, QStringLiteral("about_view.png"));

    settings.licenses = twoLicenses();
    AboutView licenses(settings);
    licenses.show();
    saveScreenshot(licenses, QStringLiteral("about_view_tabs.png"));
    licenses.setSelection(1);
    licenses.findChildren<LicenseRow*>().first()->setExpanded(true);
    QTest::qWait(250);  // the chevron's quarter turn
    saveScreenshot(licenses, QStringLiteral("about_view_licenses.png"));
}

}  // namespace
}  // namespace ambrel

#include "about_view_test.moc"
