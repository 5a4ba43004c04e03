#include "ui/divider.h"

#include <QFrame>

#include "ui/colors.h"

namespace ambrel {

QFrame* makeDivider(QWidget* parent) {
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Plain);
    line->setFixedHeight(1);
    // A plain HLine draws in the foreground colour: a quaternary label tone reads as a hairline.
    setForegroundColor(line, labelColor(LabelLevel::Quaternary, line->palette()));
    return line;
}

}  // namespace ambrel
