#include "widget/faces/face_notice.h"

#include "core/earnings/updated_at_text.h"
#include "core/platform/localization.h"
#include "widget/faces/face_texts.h"
#include "widget/faces/widget_colors.h"

namespace ambrel {
namespace {

// A note that asks to be read (old figures, the sample) is brighter than the quiet time.
constexpr double kQuietOpacity = 0.6;
constexpr double kUrgentOpacity = 0.9;

}  // namespace

FaceNotice faceNoticeOf(const EarningsEntry& entry) {
    FaceNotice notice;
    if (entry.needsSignIn) notice.signInAgain = localized("Open Ambrel to sign in again");
    const AmbrelSnapshot& snapshot = entry.snapshot;
    if (entry.isSample) {
        notice.figures = FigureStyle::placeholder;
        notice.freshness = localized("No figures yet");
        notice.freshnessColor = whiteAt(kUrgentOpacity);
    } else if (isStale(snapshot.updatedAt, entry.date)) {
        notice.figures = FigureStyle::dimmed;
        notice.freshness = QString::fromStdString(
            fillPlaceholders(tr("Updated %@"), {ageText(snapshot.updatedAt, entry.date)}));
        notice.freshnessColor = whiteAt(kUrgentOpacity);
    } else {
        notice.freshness = QString::fromStdString(updatedAtText(snapshot.updatedAt, entry.date));
        notice.freshnessColor = whiteAt(kQuietOpacity);
    }
    return notice;
}

std::optional<QString> FaceNotice::smallNote() const {
    if (signInAgain) return signInAgain;
    if (figures != FigureStyle::plain) return freshness;
    return std::nullopt;
}

QColor FaceNotice::smallNoteColor() const {
    return signInAgain ? widgetAccentColor() : freshnessColor;
}

}  // namespace ambrel
