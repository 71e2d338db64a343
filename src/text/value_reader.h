#pragma once

#include <QString>
#include <optional>

// Reads the comma-separated values of the family's settings and table files one by one.
// Values are separated by commas or line ends; a value in double quotes may hold commas;
// blanks and tabs around an unquoted value are dropped; an empty field gives an empty value.
// Line ends carry no meaning beyond separating values, so a group may span several lines.
class ValueReader
{
public:
    explicit ValueReader(QString text) : m_text(std::move(text)) {}

    // True when nothing but blanks and line ends remain and no value is pending after a comma.
    bool atEnd() const;
    // The next value, or nothing at the end of the text.
    std::optional<QString> next();
    // The line, from 1, on which the value last returned by next() starts.
    int lineOfLastValue() const;
    // Where the value last returned by next() stands in the text, its quotes included (empty
    // for an empty value): what to replace to change that one value and nothing else.
    struct Span
    {
        qsizetype start = 0;
        qsizetype end = 0;
    };
    Span lastSpan() const { return {m_valueStart, m_valueEnd}; }

private:
    bool isLineEnd(qsizetype i) const { return m_text[i] == u'\r' || m_text[i] == u'\n'; }
    void skipBlanks();
    void skipLineEnd();
    void finishValue();

    QString m_text;
    qsizetype m_pos = 0;
    qsizetype m_valueStart = 0;
    qsizetype m_valueEnd = 0;
    bool m_afterComma = false;
};
