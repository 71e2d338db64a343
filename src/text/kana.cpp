#include "kana.h"

#include <QHash>
#include <QRegularExpression>

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

QChar romajiInitial(QChar c)
{
    const QChar h = hiragana(c);
    // The exceptions to the row's consonant, then the rows with their voiced and half-voiced forms.
    static const QHash<QChar, QChar> special = {{u'し', u'S'}, {u'ち', u'C'}, {u'つ', u'T'}, {u'ふ', u'F'},
                                                {u'じ', u'J'}, {u'ぢ', u'J'}, {u'づ', u'Z'}, {u'を', u'O'},
                                                {u'ん', u'N'}, {u'ゔ', u'V'}};
    if (const auto it = special.constFind(h); it != special.cend())
        return *it;
    const QChar base = plain(h);
    if (base.isNull())
        return QChar();
    const bool voiced = QString(h).normalized(QString::NormalizationForm_D).contains(QChar(0x3099));
    const bool halfVoiced = QString(h).normalized(QString::NormalizationForm_D).contains(QChar(0x309A));
    static const QString vowels = QStringLiteral("あいうえお");
    if (const qsizetype v = vowels.indexOf(base); v >= 0)
        return QStringLiteral("AIUEO")[v];
    const int row = rowOf(base);
    static const QString plainLetters = QStringLiteral("AKSTNHMYRW");
    static const QString voicedLetters = QStringLiteral("AGZDNBMYRW");
    if (halfVoiced)
        return u'P';
    return (voiced ? voicedLetters : plainLetters)[row];
}

QString initials(const QString& reading)
{
    QString out;
    for (const QString& word : reading.split(QRegularExpression(QStringLiteral("[\\s　]+")), Qt::SkipEmptyParts)) {
        const QChar letter = romajiInitial(word.front());
        if (!letter.isNull())
            out += letter + u'.';
    }
    return out;
}

} // namespace kana
