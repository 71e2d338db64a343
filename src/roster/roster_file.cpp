#include "roster_file.h"

#include "state/bounded_table.h"
#include "state/loose.h"
#include "text/number_field.h"
#include "text/text_file.h"
#include "text/value_reader.h"

#include <QDir>
#include <QFile>
#include <cmath>
#include <limits>

namespace roster {
namespace {

std::optional<qint64> wholeNumber(const QString& field, qint64 low, qint64 high)
{
    const NumberField number = readWholeNumber(field, double(low), double(high));
    if (!number.ok())
        return std::nullopt;
    return qint64(number.value);
}

} // namespace

QString fixedField(const QString& text)
{
    return text.left(kFieldWidth).leftJustified(kFieldWidth, u' ');
}

QString tidyBlanks(const QString& text)
{
    QString out;
    bool blank = false;
    for (const QChar c : text) {
        if (c.isSpace()) {
            blank = true;
            continue;
        }
        if (blank && !out.isEmpty())
            out += QChar(0x3000);
        blank = false;
        out += c;
    }
    return out;
}

QString Line::format() const
{
    return QStringLiteral("%1,%2,%3,%4,\"%5\",%6,\"%7\",\"%8\"")
        .arg(number)
        .arg(birthYear)
        .arg(spareA)
        .arg(spareB)
        .arg(fixedField(name))
        .arg(status)
        .arg(fixedField(spareStringA), fixedField(spareStringB));
}

Parsed parse(const QString& text)
{
    Parsed result;
    const QStringList rawLines = textfile::splitLines(text);
    for (int i = 0; i < rawLines.size(); ++i) {
        const QString& raw = rawLines[i];
        if (raw.trimmed().isEmpty())
            continue;
        const int lineNo = i + 1;
        ValueReader reader(raw);
        QStringList fields;
        while (fields.size() < 8) {
            const auto value = reader.next();
            if (!value)
                break;
            fields.append(*value);
        }
        const auto problem = [&](const QString& why) {
            result.problems.append(QStringLiteral("%1 行目：%2（%3）").arg(lineNo).arg(why, raw.left(60)));
        };
        if (fields.size() < 8) {
            problem(QStringLiteral("項目が足りません"));
            continue;
        }
        const auto number = wholeNumber(fields[0], 0, kMaxPupil);
        if (!number) {
            problem(QStringLiteral("生徒番号は 0 から 5000 までです"));
            continue;
        }
        const auto birthYear =
            wholeNumber(fields[1], std::numeric_limits<qint16>::min(), std::numeric_limits<qint16>::max());
        const auto spareA =
            wholeNumber(fields[2], std::numeric_limits<qint16>::min(), std::numeric_limits<qint16>::max());
        const auto spareB =
            wholeNumber(fields[3], std::numeric_limits<qint16>::min(), std::numeric_limits<qint16>::max());
        const auto status =
            wholeNumber(fields[5], std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max());
        if (!birthYear || !spareA || !spareB || !status) {
            problem(QStringLiteral("数値でない項目があります"));
            continue;
        }
        Line line;
        line.number = qint16(*number);
        line.birthYear = qint16(*birthYear);
        line.spareA = qint16(*spareA);
        line.spareB = qint16(*spareB);
        line.name = fixedField(fields[4]);
        line.status = *status;
        line.spareStringA = fixedField(fields[6]);
        line.spareStringB = fixedField(fields[7]);
        result.lines.append(line);
        result.lineNumbers.append(lineNo);
    }
    return result;
}

bool isListed(const Line& line, bool listStatus2)
{
    return line.status == 0 || (line.status == 2 && listStatus2);
}

bool isTeacherName(const QString& name)
{
    return name.contains(QStringLiteral("先生"));
}

int schoolYear(const QDate& today, int startMonth)
{
    return today.year() - (today.month() < startMonth ? 1 : 0);
}

int gradeIndex(int year, int birthYear)
{
    return year - birthYear - 6;
}

QString shortGradeLabel(int g)
{
    if (g <= -3)
        return QStringLiteral("幼-");
    if (g <= 0)
        return QStringLiteral("幼") + QString::number(g + 3);
    if (g <= 6)
        return QStringLiteral("小") + QString::number(g);
    if (g <= 9)
        return QStringLiteral("中") + QString::number(g - 6);
    if (g <= 12)
        return QStringLiteral("高") + QString::number(g - 9);
    return QStringLiteral("大+");
}

int yearWithinSchool(int g)
{
    if (g >= 1 && g <= 6)
        return g;
    if (g <= 9) // preschool and junior high
        return g - 6;
    return g - 9;
}

std::optional<QString> fullGradeLabel(int g)
{
    static const char16_t* const digits[] = {u"１", u"２", u"３", u"４", u"５", u"６"};
    if (g == 0)
        return QStringLiteral("幼３");
    if (g >= 1 && g <= 6)
        return QStringLiteral("小") + QString::fromUtf16(digits[g - 1]);
    if (g >= 7 && g <= 9)
        return QStringLiteral("中") + QString::fromUtf16(digits[g - 7]);
    if (g == 10)
        return QStringLiteral("高１");
    return std::nullopt;
}

QString fileName()
{
    return QStringLiteral("生徒用名簿.txt");
}

QString tempFileName()
{
    return QStringLiteral("生徒用名簿temp.txt");
}

void repair(const QString& sharedFolder)
{
    QFile file(sharedFolder + fileName());
    if (file.open(QIODevice::ReadOnly))
        return;
    QFile::rename(sharedFolder + tempFileName(), sharedFolder + fileName());
}

Read read(const QString& sharedFolder)
{
    const auto text = textfile::read(sharedFolder + fileName(), textfile::Utf8::Refused);
    if (!text.text) {
        return {std::nullopt,
                QStringLiteral("名簿ファイル「%1」を読めません（%2）。\r\nこのフォルダにあるはずです：%3\r\n"
                               "先生を呼んでください。")
                    .arg(fileName(), text.error, QDir::toNativeSeparators(sharedFolder))};
    }
    return {parse(*text.text), QString()};
}

} // namespace roster
