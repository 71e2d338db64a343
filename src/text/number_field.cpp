#include "number_field.h"

#include <cmath>

namespace {

NumberField read(const QString& field, double low, double high, bool whole)
{
    const QString text = field.trimmed();
    if (text.isEmpty())
        return {};
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
