#pragma once

// A push button of one short text, as the banner and the sign-in's rows offer them.

#include <QString>

class QPushButton;
class QWidget;

namespace ambrel {

// `text` is an English text key (marked with N_ where it is written), looked up now; the
// button's accessible name is that text, and it never answers Return on its own, so a
// destructive or network action is never taken by a key press meant for something else.
// `objectName` is how tests and assistive technologies tell the buttons apart.
QPushButton* makeTextButton(const char* text, const QString& objectName, QWidget* parent);

}  // namespace ambrel
