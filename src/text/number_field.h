#pragma once

#include <QString>

// A number in a field of the family's comma-separated files: blanks around it are dropped and
// a blank field is 0; "nan", "inf" and anything that is not a number are refused, and so is a
// number outside low..high. A whole number is rounded half to even before its range is checked.
struct NumberField
{
    enum class Problem
    {
        None,
        NotANumber,
        OutOfRange
    };
    double value = 0;
    Problem problem = Problem::None;
    bool ok() const { return problem == Problem::None; }
};

NumberField readNumber(const QString& field, double low, double high);
NumberField readWholeNumber(const QString& field, double low, double high);
