#pragma once

// What a signed-in face says about its figures besides the figures themselves: how fresh they
// are, that they are only the sample, that Google ended the sign-in. Freshness is judged at the
// entry's date, so a face drawn twice from one entry is the same picture.

#include <QColor>
#include <QString>
#include <optional>

#include "widget/earnings_provider.h"
#include "widget/faces/face_canvas.h"

namespace ambrel {

struct FaceNotice {
    FigureStyle figures = FigureStyle::plain;
    // "Updated at 14:05", "Updated 3 hours ago" (older than two refreshes) or "No figures yet"
    // (the sample): beside the title of the medium and large faces.
    QString freshness;
    QColor freshnessColor;
    // "Open Ambrel to sign in again": Google refused the stored sign-in, the figures are the
    // last ones fetched.
    std::optional<QString> signInAgain;

    // The small face has room for one line, shown only when something is amiss: the sign-in,
    // else the sample, else old figures.
    std::optional<QString> smallNote() const;
    QColor smallNoteColor() const;
};

FaceNotice faceNoticeOf(const EarningsEntry& entry);

}  // namespace ambrel
