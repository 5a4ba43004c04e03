#pragma once

// What the widget's drawing tests share: entries with known figures, and a look into what a face
// drew. Each drawing test registers one application object for its whole run (fonts and
// pixmaps need it), destroyed after the last test:
//   const auto* const kGui = ::testing::AddGlobalTestEnvironment(new QtApplicationEnvironment);

#include <QGuiApplication>
#include <QImage>
#include <QStringList>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "support/qt_application.h"
#include "support/test_artifacts.h"
#include "widget/earnings_provider.h"
#include "widget/faces/earnings_widget.h"
#include "widget/faces/face_canvas.h"
#include "widget/sample_snapshot.h"

namespace ambrel::testing {

// Round figures: half of each goal, a balance text, and changes in both directions.
inline AmbrelSnapshot knownSnapshot() {
    AmbrelSnapshot snapshot;
    snapshot.today = 5;
    snapshot.yesterday = 8;
    snapshot.yesterdayPrevWeek = 4;
    snapshot.monthToDate = 150;
    snapshot.monthLastYear = 100;
    snapshot.perfYesterday = {
        .pageViews = 1000, .rpm = 2, .impressions = 3000, .clicks = 30, .cpc = 0.5, .ctr = 3};
    snapshot.perfPrevWeek = {
        .pageViews = 800, .rpm = 4, .impressions = 3000, .clicks = 0, .cpc = 0.25, .ctr = 6};
    snapshot.balance = "$120.00";
    snapshot.currency = "USD";
    return snapshot;
}

inline EarningsEntry entryWith(AmbrelSnapshot snapshot, bool connected = true,
                               Objectives objectives = {10, 300}) {
    return {.date = Instant{},
            .snapshot = std::move(snapshot),
            .objectives = objectives,
            .isConnected = connected};
}

// What a face has to say besides its figures, from the entry's flags and the figures' age.
enum class FaceCase { fresh, stale, signInAgain, sample };

// The known figures fetched 5 minutes (fresh) or 3 hours (stale) before the entry was made, on
// 8 May 2026 at 06:13 UTC; the fresh ones after Google ended the sign-in; or the sample.
inline EarningsEntry entryFor(FaceCase which) {
    const Instant date = instantFromReferenceSeconds(800'000'000);
    AmbrelSnapshot snapshot = which == FaceCase::sample ? sampleSnapshot() : knownSnapshot();
    if (which != FaceCase::sample)
        snapshot.updatedAt = date - std::chrono::minutes(which == FaceCase::stale ? 180 : 5);
    EarningsEntry entry = entryWith(std::move(snapshot));
    entry.date = date;
    entry.needsSignIn = which == FaceCase::signInAgain;
    entry.isSample = which == FaceCase::sample;
    return entry;
}

inline FaceRecording recordFace(const EarningsEntry& entry, WidgetFamily family) {
    FaceRecording recording;
    EarningsWidget::draw(nullptr, &recording, entry, family,
                         QRectF(QPointF(0, 0), familySize(family)));
    return recording;
}

inline std::vector<FaceItem> itemsOfKind(const FaceRecording& recording, FaceItem::Kind kind) {
    std::vector<FaceItem> items;
    for (const FaceItem& item : recording) {
        if (item.kind == kind) items.push_back(item);
    }
    return items;
}

inline QStringList textsOf(const FaceRecording& recording) {
    QStringList texts;
    for (const FaceItem& item : itemsOfKind(recording, FaceItem::Kind::text)) texts << item.text;
    return texts;
}

inline const FaceItem* findText(const FaceRecording& recording, const QString& text) {
    for (const FaceItem& item : recording) {
        if (item.kind == FaceItem::Kind::text && item.text == text) return &item;
    }
    return nullptr;
}

// The test artefacts, for a person to look at; empty outside ctest.
inline std::filesystem::path screenshotFolder() {
    const char* build = std::getenv("AMBREL_BUILD_DIR");
    if (!build || !*build) return {};
    return testArtifactsFolder();
}

}  // namespace ambrel::testing
