#pragma once

// One credited component of the application, as listed in the About view's licenses tab.

#include <QString>
#include <QUrl>
#include <QUuid>
#include <optional>

namespace ambrel {

struct License {
    License(QString name, QString licenseType, QString copyright, std::optional<QUrl> url,
            QString licenseText);

    QUuid id;  // fresh for every value
    QString name;
    QString licenseType;  // e.g. "MIT"
    QString copyright;
    std::optional<QUrl> url;
    QString licenseText;
};

}  // namespace ambrel
