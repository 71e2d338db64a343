#include "name_fold.h"

#include <QHash>

namespace namefold {

const QList<QStringView>& variantGroups()
{
    // Each line one family of forms, the one people type first. Old forms (舊字體), the forms of
    // the family register and the compatibility ideographs that names are entered with.
    static const QList<QStringView> groups = {
        u"斎斉齋齊", u"辺邊邉", u"沢澤", u"島嶋嶌", u"崎﨑嵜", u"高髙", u"吉𠮷", u"浜濱濵", u"桜櫻",   u"竜龍",
        u"徳德",     u"瀬瀨",   u"広廣", u"国國",   u"関關",   u"条條", u"蔵藏", u"真眞",   u"恵惠",   u"富冨",
        u"槙槇",     u"戸戶",   u"浅淺", u"寿壽",   u"滝瀧",   u"杉椙", u"野埜", u"円圓",   u"薗園",   u"会會",
        u"学學",     u"万萬",   u"礼禮", u"実實",   u"栄榮",   u"弥彌", u"亀龜", u"黒黑",   u"渕淵渊", u"峰峯",
        u"桧檜",     u"柳栁",   u"鉄鐵", u"芦蘆",   u"籠篭",   u"凜凛", u"巌巖", u"桑桒",   u"舘館",   u"恒恆",
    };
    return groups;
}

namespace {

const QHash<char32_t, char32_t>& usualForms()
{
    static const QHash<char32_t, char32_t> forms = [] {
        QHash<char32_t, char32_t> map;
        for (const QStringView group : variantGroups()) {
            const QList<uint> chars = group.toUcs4();
            for (const uint c : chars) {
                if (c != chars.first())
                    map.insert(c, chars.first());
            }
        }
        return map;
    }();
    return forms;
}

} // namespace

QString fold(QStringView text)
{
    const QString unified = text.toString().normalized(QString::NormalizationForm_KC).toCaseFolded();
    const QHash<char32_t, char32_t>& forms = usualForms();
    QString out;
    out.reserve(unified.size());
    for (const char32_t c : unified.toUcs4()) {
        // Blanks, and the variation selectors that pick one glyph of a kanji (葛󠄀), say nothing
        // about which name it is.
        if (QChar::isSpace(c) || (c >= 0xFE00 && c <= 0xFE0F) || (c >= 0xE0100 && c <= 0xE01EF))
            continue;
        char32_t folded = forms.value(c, c);
        // Katakana ァ..ヶ as hiragana ぁ..ゖ, so that "サトウ" and "さとう" are one name.
        if (folded >= 0x30A1 && folded <= 0x30F6)
            folded -= 0x60;
        out += QString::fromUcs4(&folded, 1);
    }
    return out;
}

bool matches(QStringView name, QStringView search)
{
    return fold(name).contains(fold(search));
}

} // namespace namefold
