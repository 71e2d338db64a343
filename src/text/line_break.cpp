#include "line_break.h"

#include <QStringList>

namespace {

bool endsPhrase(QChar c)
{
    return QStringView(u"、。，．）」』】〉！？：；・ ,.;:!?)").contains(c) || c == QChar(0x3000);
}

bool opensPhrase(QChar c)
{
    return QStringView(u"（「『【〈(").contains(c);
}

bool mustNotStartLine(QChar c)
{
    return QStringView(u"、。，．）」』】〉！？ー々ぁぃぅぇぉっゃゅょァィゥェォッャュョ,.;:!?)").contains(c);
}

bool isLatinWordChar(QChar c)
{
    return c.unicode() < 0x80 && (c.isLetterOrNumber() || c == u'_' || c == u'-' || c == u'.' || c == u'/');
}

// Where to end the first line of rest, which is wider than maxWidth: at most `fits` characters.
qsizetype breakPosition(const QString& rest, qsizetype fits)
{
    for (qsizetype j = fits; j > fits / 2; --j) {
        if (j < rest.size() && mustNotStartLine(rest[j]))
            continue;
        if (endsPhrase(rest[j - 1]) || (j < rest.size() && opensPhrase(rest[j])))
            return j;
    }
    // No phrase mark in reach: any place that is not inside a Latin word or before a closing mark.
    for (qsizetype j = fits; j > fits / 2; --j) {
        if (j < rest.size() && mustNotStartLine(rest[j]))
            continue;
        if (!(isLatinWordChar(rest[j - 1]) && j < rest.size() && isLatinWordChar(rest[j])))
            return j;
    }
    return fits;
}

} // namespace

QString breakJapaneseLines(const QString& text, int maxWidth, const std::function<int(QStringView)>& width)
{
    QStringList out;
    QString normalised = text;
    normalised.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    for (QString rest : normalised.split(u'\n')) {
        while (width(rest) > maxWidth) {
            qsizetype fits = 1;
            while (fits < rest.size() && width(QStringView(rest).left(fits + 1)) <= maxWidth)
                ++fits;
            const qsizetype at = breakPosition(rest, fits);
            QString line = rest.left(at);
            while (line.endsWith(u' '))
                line.chop(1);
            out << line;
            rest = rest.mid(at);
            while (rest.startsWith(u' '))
                rest.remove(0, 1);
        }
        out << rest;
    }
    return out.join(u'\n');
}
