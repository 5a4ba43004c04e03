#pragma once

// The faces' fonts, in fixed pixels: a face is a picture of a fixed size, so its texts keep
// their sizes whatever the desktop's font setting (the application's texts follow it). The
// smallest, the captions, are 11 px rather than the 10 px caption style, which at scale 1
// left "Day", "Page views" and the changes hard to read.

#include <QFont>

namespace ambrel {

// Captions: the rings' titles, the figures' titles, the metrics' titles, the notes.
QFont faceCaptionFont();
// The face's title and the large face's heading: the caption, semibold.
QFont faceHeadingFont();
// A change against the previous period.
QFont faceDeltaFont();
inline constexpr double kFaceDeltaArrowSize = 8;

}  // namespace ambrel
