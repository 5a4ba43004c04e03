#include "widget/faces/small_widget.h"

#include "widget/faces/face_canvas.h"
#include "widget/faces/face_fonts.h"
#include "widget/faces/face_notice.h"
#include "widget/faces/fitted_line.h"

namespace ambrel {

RingRow SmallWidget::rings() const {
    return RingRow::dayAndMonth(entry, kRingDiameter, kRingSpacing, true);
}

void SmallWidget::draw(FaceCanvas& canvas, const QRectF& content) const {
    const RingRow row = rings();
    const FaceNotice notice = faceNoticeOf(entry);
    const std::optional<QString> note = notice.smallNote();
    if (!note) return row.draw(canvas, content);

    // The rings and the note as one stack, centred.
    const double rowHeight = row.size(content.width()).height();
    const double noteHeight = lineHeight(faceCaptionFont());
    const double top = content.center().y() - (rowHeight + kNoteSpacing + noteHeight) / 2;
    row.draw(canvas, QRectF(content.left(), top, content.width(), rowHeight));
    canvas.drawLine(
        *note, QRectF(content.left(), top + rowHeight + kNoteSpacing, content.width(), noteHeight),
        Qt::AlignHCenter, faceCaptionFont(), notice.smallNoteColor(), kNoteMinimumScale);
}

}  // namespace ambrel
