#include "UserSeedLocale.h"

#include <QDate>
#include <QLocale>
#include <QString>

namespace kivora {

QString UserSeedLocale::ShortDateFormat() {
    QString format = QLocale().dateFormat(QLocale::ShortFormat);
    if (!format.contains(QLatin1String("yyyy"))) {
        format.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    }
    return format;
}

std::string UserSeedLocale::ShortDateText(const CalendarDate& date) const {
    return QLocale()
        .toString(QDate(date.year, date.month, date.day), ShortDateFormat())
        .toStdString();
}

std::optional<double> UserSeedLocale::ReadNumber(std::string_view text) const {
    const QString qtext = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    bool ok = false;
    const double value = QLocale().toDouble(qtext.trimmed(), &ok);
    if (ok) {
        return value;
    }
    // Plain digits read in every locale; nothing else does (a point in "27.04" is no decimal
    // point where the user writes "27,04").
    return PlainSeedLocale::ReadPlainNumber(text);
}

} // namespace kivora
