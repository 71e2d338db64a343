#include "kana.h"

namespace kana {
namespace {

QChar hiragana(QChar c)
{
    if (c.unicode() >= 0xFF61 && c.unicode() <= 0xFF9F) // half-width katakana
        c = QString(c).normalized(QString::NormalizationForm_KC).front();
    if (c.unicode() >= 0x30A1 && c.unicode() <= 0x30F6) // katakana
        c = QChar(c.unicode() - 0x60);
    return c;
}

} // namespace

QStringList rows()
{
    return {QStringLiteral("あ"), QStringLiteral("か"), QStringLiteral("さ"), QStringLiteral("た"),
            QStringLiteral("な"), QStringLiteral("は"), QStringLiteral("ま"), QStringLiteral("や"),
            QStringLiteral("ら"), QStringLiteral("わ")};
}

QChar plain(QChar c)
{
    static const QString small = QStringLiteral("ぁぃぅぇぉっゃゅょゎゕゖ");
    static const QString big = QStringLiteral("あいうえおつやゆよわかけ");
    const QChar h = hiragana(c);
    if (h.unicode() < 0x3041 || h.unicode() > 0x3096)
        return QChar();
    if (const qsizetype at = small.indexOf(h); at >= 0)
        return big[at];
    // Voiced and half-voiced kana are their plain kana with a mark: が is か and ゛.
    return QString(h).normalized(QString::NormalizationForm_D).front();
}

int rowOf(QChar c)
{
    static const QString starts = QStringLiteral("あかさたなはまやらわ");
    static const QString order = QStringLiteral("あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめも"
                                                "やゆよらりるれろわゐゑをん");
    const QChar p = plain(c);
    if (p.isNull())
        return -1;
    const qsizetype at = order.indexOf(p);
    if (at < 0)
        return -1;
    // や行 has three kana and わ行 the rest: the row is the last start at or before the kana.
    int row = 0;
    for (int r = 0; r < starts.size(); ++r) {
        if (order.indexOf(starts[r]) <= at)
            row = r;
    }
    return row;
}

QChar initial(const QString& text)
{
    for (const QChar c : text) {
        if (c.isSpace())
            continue;
        return plain(c);
    }
    return QChar();
}

} // namespace kana
