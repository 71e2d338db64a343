#include "japanese_date.h"

#include <QRegularExpression>
#include <algorithm>

namespace japanesedate {

const QList<Era>& eras()
{
    static const QList<Era> table{{QStringLiteral("令和"), u'R', QDate(2019, 5, 1)},
                                  {QStringLiteral("平成"), u'H', QDate(1989, 1, 8)},
                                  {QStringLiteral("昭和"), u'S', QDate(1926, 12, 25)},
                                  {QStringLiteral("大正"), u'T', QDate(1912, 7, 30)},
                                  {QStringLiteral("明治"), u'M', QDate(1873, 1, 1), 6}};
    return table;
}

EraDate eraOf(const QDate& date)
{
    for (const Era& era : eras()) {
        if (date >= era.start)
            return {era.name, date.year() - era.start.year() + era.firstYear};
    }
    return {QString(), date.year()};
}

std::optional<QDate> parse(const QString& text)
{
    QString t = text.normalized(QString::NormalizationForm_KC).trimmed().toUpper();
    t.remove(u' ');
    t.replace(QStringLiteral("元年"), QStringLiteral("1年"));
    static const QRegularExpression pattern(
        QStringLiteral("^(明治|大正|昭和|平成|令和|[MTSHR])?\\.?(\\d{1,4})[年/\\-.](\\d{1,2})[月/\\-.](\\d{1,2})日?$"));
    const QRegularExpressionMatch m = pattern.match(t);
    if (!m.hasMatch())
        return std::nullopt;
    const QString eraText = m.captured(1);
    int year = m.captured(2).toInt();
    const int month = m.captured(3).toInt(), day = m.captured(4).toInt();
    if (!eraText.isEmpty()) {
        const auto era = std::find_if(eras().cbegin(), eras().cend(),
                                      [&](const Era& e) { return e.name == eraText || QString(e.letter) == eraText; });
        if (era == eras().cend() || year < era->firstYear)
            return std::nullopt;
        year = era->start.year() + year - era->firstYear;
        const QDate date(year, month, day);
        // A day before the era began, or after the next one did, is no day of it.
        const auto newer = era == eras().cbegin() ? eras().cend() : era - 1;
        if (!date.isValid() || date < era->start || (newer != eras().cend() && date >= newer->start))
            return std::nullopt;
        return date;
    }
    if (m.captured(2).size() != 4)
        return std::nullopt;
    const QDate date(year, month, day);
    return date.isValid() ? std::optional(date) : std::nullopt;
}

} // namespace japanesedate
