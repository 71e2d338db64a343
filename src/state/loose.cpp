#include "loose.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

bool parseWholeNumber(const QString& text, double& out)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return false;
    bool ok = false;
    out = trimmed.toDouble(&ok);
    return ok;
}

} // namespace

Loose Loose::fromField(const QString& field)
{
    double number = 0;
    if (parseWholeNumber(field, number))
        return Loose(number);
    if (field.isEmpty())
        return Loose();
    return Loose(field);
}

double Loose::toDouble() const
{
    if (const auto* number = std::get_if<double>(&m_value))
        return *number;
    if (const auto* text = std::get_if<QString>(&m_value))
        return leadingNumber(*text);
    return 0;
}

int Loose::toInt() const
{
    const double value = std::nearbyint(toDouble());
    if (std::isnan(value))
        return 0;
    return int(std::clamp(value, double(std::numeric_limits<int>::min()), double(std::numeric_limits<int>::max())));
}

QString Loose::toText() const
{
    if (const auto* number = std::get_if<double>(&m_value))
        return shortestDecimal(*number);
    if (const auto* text = std::get_if<QString>(&m_value))
        return *text;
    return QString();
}

bool Loose::isNonNumericText() const
{
    double unused = 0;
    const auto* text = std::get_if<QString>(&m_value);
    return text && !parseWholeNumber(*text, unused);
}

bool Loose::operator==(const Loose& other) const
{
    if (isEmpty() || other.isEmpty()) {
        const Loose& full = isEmpty() ? other : *this;
        return full.isEmpty() || (full.isNumber() && full.toDouble() == 0) ||
               (full.isText() && full.toText().isEmpty());
    }
    if (isNumber() && other.isNumber())
        return toDouble() == other.toDouble();
    return toText() == other.toText();
}

double leadingNumber(const QString& text)
{
    QString digits;
    int i = 0;
    const auto skipBlanks = [&] {
        while (i < text.size() && (text[i] == u' ' || text[i] == u'\t'))
            ++i;
    };
    skipBlanks();
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+'))
        digits += text[i++];
    bool seenDigit = false;
    bool seenPoint = false;
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u' ')
            continue;
        if (c >= u'0' && c <= u'9') {
            digits += c;
            seenDigit = true;
        } else if (c == u'.' && !seenPoint) {
            digits += c;
            seenPoint = true;
        } else {
            break;
        }
    }
    if (!seenDigit)
        return 0;
    return digits.toDouble();
}

qint64 roundHalfEven(double value)
{
    // The default rounding mode is to nearest, ties to even. Values no 64-bit integer holds
    // are held at its ends, and "not a number" is 0, rather than undefined.
    const double rounded = std::nearbyint(value);
    if (std::isnan(rounded))
        return 0;
    constexpr double kLimit = 9223372036854774784.0; // the largest double below 2^63
    return qint64(std::clamp(rounded, -kLimit, kLimit));
}

QString shortestDecimal(double value)
{
    if (value == std::floor(value) && std::fabs(value) < 1e15)
        return QString::number(qint64(value));
    return QString::number(value, 'g', 7);
}
