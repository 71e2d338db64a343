#pragma once

#include <QChar>
#include <QStringView>

// The width of text in the family's lists, in half-width cells: a half-width character (ASCII,
// half-width katakana) takes one cell, every other character two, as its code page 932 form
// takes one byte or two. Lines built to this count line up in the lists.
namespace displaycells {

inline int of(QChar ch)
{
    const char16_t u = ch.unicode();
    return u < 0x80 || (u >= 0xFF61 && u <= 0xFF9F) ? 1 : 2;
}

inline int of(QStringView text)
{
    int n = 0;
    for (const QChar ch : text) {
        if (!ch.isLowSurrogate()) // counted with its high half
            n += of(ch);
    }
    return n;
}

} // namespace displaycells
