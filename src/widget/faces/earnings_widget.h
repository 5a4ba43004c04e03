#pragma once

// The widget as the host places it: its declaration (kind, name, description, families) and its
// container, which lays the entry's view over the gradient background inside standard margins.

#include <QImage>
#include <QRectF>
#include <QString>

#include "widget/earnings_provider.h"
#include "widget/faces/face_canvas.h"
#include "widget/faces/widget_family.h"

class QPainter;

namespace ambrel::EarningsWidget {

inline constexpr const char* kKind = "AmbrelEarnings";

// Margins between the widget's edge and its content; the views place everything inside them.
inline constexpr double kContentMargin = 16;

QString displayName();  // "AdSense earnings"
QString description();  // "Your estimated AdSense earnings, updated automatically."

// Background and view of `entry` for `family` in `rect` (the widget's whole area). Either the
// painter or the recording may be null.
void draw(QPainter* painter, FaceRecording* recording, const EarningsEntry& entry,
          WidgetFamily family, const QRectF& rect);

// The texts of the face as one line for assistive technologies, in reading order.
QString accessibleDescription(const EarningsEntry& entry, WidgetFamily family);

// Draws the face over the whole of `target` (of `logicalSize` × `scale` pixels), which it
// gives the device pixel ratio `scale`; the corners outside the rounded face stay transparent.
// The render command and the desktop's layer surfaces both draw with it.
void paint(QImage& target, double scale, const EarningsEntry& entry, WidgetFamily family,
           QSize logicalSize);

// The face at the family's size × `scale` device pixels (device pixel ratio `scale`), with
// transparent corners.
QImage image(const EarningsEntry& entry, WidgetFamily family, double scale);

}  // namespace ambrel::EarningsWidget
