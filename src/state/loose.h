#pragma once

#include <QString>
#include <variant>

// A value read from a settings file that may hold a number or a text. It starts empty; an
// empty value converts to 0 and compares equal to 0 and to the empty text, so a switch that
// was never set behaves as 0.
class Loose
{
public:
    Loose() = default;
    Loose(double number) : m_value(number) {}
    Loose(int number) : m_value(double(number)) {}
    Loose(const QString& text) : m_value(text) {}

    // A value read from a file becomes a number when its whole text is a number.
    static Loose fromField(const QString& field);

    bool isEmpty() const { return std::holds_alternative<std::monostate>(m_value); }
    bool isNumber() const { return std::holds_alternative<double>(m_value); }
    bool isText() const { return std::holds_alternative<QString>(m_value); }

    // Numeric value: the number itself, the leading number of a text (0 when there is none).
    double toDouble() const;
    int toInt() const; // rounded half to even
    QString toText() const;

    bool operator==(const Loose& other) const;
    bool operator==(double number) const { return toDouble() == number && !isNonNumericText(); }
    bool operator==(const QString& text) const { return toText() == text; }

private:
    bool isNonNumericText() const;
    std::variant<std::monostate, double, QString> m_value;
};

// The numeric value of the leading number of a text, ignoring blanks; 0 when it does not
// start with a number ("2015年" gives 2015, "abc" gives 0).
double leadingNumber(const QString& text);

// Rounds to the nearest whole number, an exact half going to the even neighbour.
qint64 roundHalfEven(double value);

// The shortest decimal form of a number: 2 for 2.0, 1.5 for 1.5.
QString shortestDecimal(double value);
