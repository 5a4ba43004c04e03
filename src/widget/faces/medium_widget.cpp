#include "widget/faces/medium_widget.h"

#include <algorithm>

#include "widget/faces/face_canvas.h"
#include "widget/faces/face_fonts.h"
#include "widget/faces/face_notice.h"
#include "widget/faces/face_texts.h"
#include "widget/faces/fitted_line.h"
#include "widget/faces/stack_spacers.h"
#include "widget/faces/widget_colors.h"
#include "widget/faces/widget_title.h"

namespace ambrel {

RingRow MediumWidget::rings() const {
    return RingRow::dayAndMonth(entry, kRingDiameter, kRingSpacing, false);
}

std::array<WidgetStat, 2> MediumWidget::stats() const {
    const AmbrelSnapshot& snapshot = entry.snapshot;
    return {WidgetStat{.title = localized("Today"),
                       .value = moneyText(snapshot, snapshot.today),
                       .prominent = true},
            WidgetStat{
                .title = localized("Balance"), .value = balanceText(snapshot), .prominent = false}};
}

void MediumWidget::draw(FaceCanvas& canvas, const QRectF& content) const {
    const RingRow ringRow = rings();
    const std::array<WidgetStat, 2> figures = stats();
    const FaceNotice notice = faceNoticeOf(entry);

    // Across: rings, a flexible spacer and the figures, 18 apart; the spacer and the figures
    // (which take all the width they are offered) share what the rings leave.
    const QSizeF ringsSize = ringRow.size(content.width());
    const double shared = content.width() - ringsSize.width() - 2 * kRowSpacing;
    const std::vector<double> across = distributeSpacers({kSpacerMinimum, 0}, shared);
    const double statsLeft =
        content.left() + ringsSize.width() + kRowSpacing + across[0] + kRowSpacing;
    const double statsWidth = std::max(content.right() - statsLeft, 0.0);

    // Down: title, flexible spacer, the row, flexible spacer, and the sign-in line when Google
    // ended the sign-in.
    const double statsHeight = figures[0].height() + kStatSpacing + figures[1].height();
    const double rowHeight = std::max(ringsSize.height(), statsHeight);
    const double titleHeight = WidgetTitle::height();
    const double alertHeight = notice.signInAgain ? lineHeight(faceCaptionFont()) : 0;
    const std::vector<double> down = distributeSpacers(
        {kSpacerMinimum, kSpacerMinimum}, content.height() - titleHeight - rowHeight - alertHeight);

    WidgetTitle{.note = notice.freshness, .noteColor = notice.freshnessColor}.draw(
        canvas, QRectF(content.left(), content.top(), content.width(), titleHeight));
    const double rowTop = content.top() + titleHeight + down[0];
    ringRow.draw(canvas, QRectF(content.left(), rowTop, ringsSize.width(), rowHeight));

    double statTop = rowTop + (rowHeight - statsHeight) / 2;
    for (const WidgetStat& stat : figures) {
        stat.draw(canvas, QRectF(statsLeft, statTop, statsWidth, stat.height()));
        statTop += stat.height() + kStatSpacing;
    }
    if (notice.signInAgain) {
        canvas.drawLine(
            *notice.signInAgain,
            QRectF(content.left(), content.bottom() - alertHeight, content.width(), alertHeight),
            Qt::AlignLeft, faceCaptionFont(), widgetAccentColor());
    }
}

}  // namespace ambrel
