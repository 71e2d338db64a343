#include "value_reader.h"

void ValueReader::skipBlanks()
{
    while (m_pos < m_text.size() && (m_text[m_pos] == u' ' || m_text[m_pos] == u'\t'))
        ++m_pos;
}

void ValueReader::skipLineEnd()
{
    if (m_pos < m_text.size() && m_text[m_pos] == u'\r')
        ++m_pos;
    if (m_pos < m_text.size() && m_text[m_pos] == u'\n')
        ++m_pos;
}

bool ValueReader::atEnd() const
{
    if (m_afterComma)
        return false;
    for (qsizetype i = m_pos; i < m_text.size(); ++i) {
        const QChar c = m_text[i];
        if (c != u' ' && c != u'\t' && c != u'\r' && c != u'\n' && c != QChar(0x1A))
            return false;
    }
    return true;
}

// After a value: anything up to the next comma or line end is passed over, and the
// separator itself is consumed.
void ValueReader::finishValue()
{
    while (m_pos < m_text.size() && m_text[m_pos] != u',' && !isLineEnd(m_pos))
        ++m_pos;
    if (m_pos < m_text.size() && m_text[m_pos] == u',') {
        ++m_pos;
        m_afterComma = true;
    } else {
        skipLineEnd();
        m_afterComma = false;
    }
}

std::optional<QString> ValueReader::next()
{
    for (;;) {
        skipBlanks();
        if (m_pos >= m_text.size()) {
            if (m_afterComma) {
                m_afterComma = false;
                m_valueStart = m_valueEnd = m_pos;
                return QString();
            }
            return std::nullopt;
        }
        if (!isLineEnd(m_pos))
            break;
        if (m_afterComma) { // "a," at the end of a line leaves one empty value
            m_valueStart = m_valueEnd = m_pos;
            skipLineEnd();
            m_afterComma = false;
            return QString();
        }
        skipLineEnd(); // a blank line holds no value
    }

    QString value;
    m_valueStart = m_pos;
    if (m_text[m_pos] == u'"') {
        const qsizetype close = m_text.indexOf(u'"', m_pos + 1);
        const qsizetype end = close < 0 ? m_text.size() : close;
        value = m_text.mid(m_pos + 1, end - m_pos - 1);
        m_pos = close < 0 ? end : close + 1;
        m_valueEnd = m_pos;
    } else {
        const qsizetype start = m_pos;
        while (m_pos < m_text.size() && m_text[m_pos] != u',' && !isLineEnd(m_pos))
            ++m_pos;
        value = m_text.mid(start, m_pos - start);
        while (!value.isEmpty() && (value.back() == u' ' || value.back() == u'\t'))
            value.chop(1);
        m_valueEnd = start + value.size();
    }
    finishValue();
    return value;
}

int ValueReader::lineOfLastValue() const
{
    return int(QStringView(m_text).left(m_valueStart).count(u'\n')) + 1;
}
