#include "vertical_columns.h"

#include <algorithm>

namespace verticalcolumns {
namespace {

bool isNumeral(QChar ch)
{
    static const QString kanji = QStringLiteral("〇一二三四五六七八九十百千万");
    return (ch >= u'0' && ch <= u'9') || (ch >= u'０' && ch <= u'９') || kanji.contains(ch);
}

bool isKatakana(QChar ch)
{
    return (ch >= u'\u30A1' && ch <= u'\u30FA') || ch == u'ー' || (ch >= u'\u31F0' && ch <= u'\u31FF');
}

// The text cut into pieces no column may split, in order.
QStringList pieces(const QString& text, const QStringList& keepWhole)
{
    // Where each kept text begins, the longest first at each place.
    QList<qsizetype> keptLength(text.size() + 1, 0);
    for (const QString& word : keepWhole) {
        if (word.size() < 2)
            continue;
        for (qsizetype at = text.indexOf(word); at >= 0; at = text.indexOf(word, at + 1))
            keptLength[at] = std::max(keptLength[at], word.size());
    }
    QStringList out;
    for (qsizetype at = 0; at < text.size();) {
        qsizetype end = at + 1;
        if (keptLength[at] > 0) {
            end = at + keptLength[at];
        } else if (isNumeral(text[at])) {
            while (end < text.size() && isNumeral(text[end]))
                ++end;
        } else if (isKatakana(text[at])) {
            while (end < text.size() && isKatakana(text[end]))
                ++end;
        }
        out << text.mid(at, end - at);
        at = end;
    }
    // A piece that may not start a column goes with the one before; one that may not end a
    // column, with the one after.
    QStringList joined;
    for (const QString& piece : out) {
        if (!joined.isEmpty() && (notAtHead(piece.front()) || notAtFoot(joined.last().back())))
            joined.last() += piece;
        else
            joined << piece;
    }
    return joined;
}

// The pieces packed into columns of at most `capacity`; nothing fits when a piece is longer.
QStringList pack(const QStringList& parts, int capacity)
{
    QStringList columns;
    for (const QString& piece : parts) {
        if (!columns.isEmpty() && columns.last().size() + piece.size() <= capacity)
            columns.last() += piece;
        else
            columns << piece;
    }
    return columns;
}

} // namespace

bool notAtHead(QChar ch)
{
    static const QString marks = QStringLiteral(
        "ぁぃぅぇぉっゃゅょゎゕゖァィゥェォッャュョヮヵヶー、。，．・：；？！）」』】〕〉》］｝ゝゞヽヾ々");
    return marks.contains(ch) || (ch >= u'\u31F0' && ch <= u'\u31FF');
}

bool notAtFoot(QChar ch)
{
    static const QString marks = QStringLiteral("（「『【〔〈《［｛");
    return marks.contains(ch);
}

Set set(const QString& text, int perColumn, const QStringList& keepWhole)
{
    Set result;
    if (text.isEmpty() || perColumn < 1)
        return result;
    const QStringList parts = pieces(text, keepWhole);
    for (const QString& piece : parts) {
        if (piece.size() > perColumn) {
            result.problem = QStringLiteral("「%1」は%2文字あり、1行（%3文字）に入りません。短くしてください。")
                                 .arg(piece)
                                 .arg(piece.size())
                                 .arg(perColumn);
            return result;
        }
    }
    // As few columns as the rules allow, then as even as they allow: the smallest capacity that
    // still needs no more columns.
    const QStringList widest = pack(parts, perColumn);
    const auto count = widest.size();
    for (int capacity = int((text.size() + count - 1) / count); capacity < perColumn; ++capacity) {
        const QStringList even = pack(parts, capacity);
        if (even.size() <= count) {
            result.columns = even;
            return result;
        }
    }
    result.columns = widest;
    return result;
}

} // namespace verticalcolumns
