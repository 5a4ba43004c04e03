#include "app/text_button.h"

#include <QPushButton>

#include "app/localized.h"

namespace ambrel {

QPushButton* makeTextButton(const char* text, const QString& objectName, QWidget* parent) {
    auto* button = new QPushButton(localized(text), parent);
    button->setObjectName(objectName);
    button->setAccessibleName(button->text());
    button->setAutoDefault(false);
    return button;
}

}  // namespace ambrel
