#include "number_field.h"

#include <cmath>
#include <optional>

namespace {

// Nearly every field is a short whole number: read those directly, the rest as a double.
std::optional<double> plainWholeNumber(QStringView text)
{
    const bool negative = text.startsWith(u'-');
    const QStringView digits = negative ? text.mid(1) : text;
    if (digits.isEmpty() || digits.size() > 15)
        return std::nullopt;
    qint64 value = 0;
    for (const QChar c : digits) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
    }
    return negative ? -double(value) : double(value);
}

NumberField read(const QString& field, double low, double high, bool whole)
{
    const QStringView text = QStringView(field).trimmed();
    if (text.isEmpty())
        return {};
    if (const auto plain = plainWholeNumber(text)) {
        if (*plain < low || *plain > high)
            return {*plain, NumberField::Problem::OutOfRange};
        return {*plain, NumberField::Problem::None};
    }
    bool ok = false;
    double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return {0, NumberField::Problem::NotANumber};
    if (whole)
        value = std::nearbyint(value); // the default rounding: to nearest, ties to even
    if (value < low || value > high)
        return {value, NumberField::Problem::OutOfRange};
    return {value, NumberField::Problem::None};
}

} // namespace

NumberField readNumber(const QString& field, double low, double high)
{
    return read(field, low, high, false);
}

NumberField readWholeNumber(const QString& field, double low, double high)
{
    return read(field, low, high, true);
}
