#include "ui/updated_at_text.h"

#include <QDateTime>
#include <QTime>
#include <chrono>

#include "core/platform/localization.h"

namespace ambrel {
namespace {

// The locale's short time format without its seconds field and the separator before it (the
// C locale's short time is "HH:mm:ss"). Quoted literal text is kept as it is.
QString withoutSeconds(const QString& format) {
    QString kept;
    bool quoted = false;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format.at(i);
        if (c == u'\'') quoted = !quoted;
        if (quoted || c != u's') {
            kept += c;
            continue;
        }
        while (!kept.isEmpty() && !kept.back().isLetter() && kept.back() != u'\'') kept.chop(1);
        while (i + 1 < format.size() && format.at(i + 1) == u's') ++i;
    }
    return kept;
}

}  // namespace

QString updatedAtText(Instant updatedAt, const QLocale& locale) {
    using namespace std::chrono;
    const auto msecs = duration_cast<milliseconds>(updatedAt.time_since_epoch()).count();
    const QTime time = QDateTime::fromMSecsSinceEpoch(msecs, Qt::LocalTime).time();
    const QString format = withoutSeconds(locale.timeFormat(QLocale::ShortFormat));
    return QString::fromStdString(
        fillPlaceholders(tr("Updated at %@"), {locale.toString(time, format).toStdString()}));
}

}  // namespace ambrel
