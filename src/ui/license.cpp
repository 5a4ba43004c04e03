#include "ui/license.h"

#include <utility>

namespace ambrel {

License::License(QString name, QString licenseType, QString copyright, std::optional<QUrl> url,
                 QString licenseText)
    : id(QUuid::createUuid()),
      name(std::move(name)),
      licenseType(std::move(licenseType)),
      copyright(std::move(copyright)),
      url(std::move(url)),
      licenseText(std::move(licenseText)) {}

}  // namespace ambrel
