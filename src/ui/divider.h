#pragma once

// A one-pixel horizontal rule in the palette's separator tone, between the parts of a view.

class QFrame;
class QWidget;

namespace ambrel {

QFrame* makeDivider(QWidget* parent = nullptr);

}  // namespace ambrel
