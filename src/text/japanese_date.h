#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <optional>

// Dates as Japanese schools write them: the Western year (西暦) or the era's (和暦).
namespace japanesedate {

// The eras from the Gregorian calendar's adoption, newest first.
struct Era
{
    QString name;      // 令和
    QChar letter;      // R, as the era is written short ("R1.5.1")
    QDate start;       // its first day (for 明治, the calendar's first Gregorian day)
    int firstYear = 1; // the era's year on that day
};
const QList<Era>& eras();

struct EraDate
{
    QString era;  // empty before the first era of the table
    int year = 0; // 1 for the era's first year (元年)
};
EraDate eraOf(const QDate& date);

// "2015/4/5", "2015-04-05", "2015年4月5日", "平成27年4月5日", "H27.4.5", "令和元年5月1日", in
// half- or full-width; nothing for a text that is not a date or a day the era did not have.
std::optional<QDate> parse(const QString& text);

} // namespace japanesedate
