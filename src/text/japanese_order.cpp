#include "japanese_order.h"

#include "cp932.h"

#include <QList>
#include <QString>
#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

namespace japaneseorder {

namespace {

// The kana's marks, in the order they sort.
constexpr std::uint32_t kLong = 1, kSmall = 2, kPlain = 3, kVoiced = 4, kSemiVoiced = 5;

// The groups, in the order they sort.
enum Group : std::uint32_t
{
    Space = 1,
    Punctuation,
    Digit,
    Latin,
    Kana,
    Kanji,
    Other
};

constexpr std::uint32_t weight(Group group, std::uint32_t value)
{
    return (std::uint32_t(group) << 21) | value; // values below 2^21: kanji 0x10000 + code at most
}

// ASCII punctuation and symbols in dictionary order.
constexpr char kPunctuation[] = "_-,;:!?.'\"()[]{}@*/\\&#%`^+<=>|~$";

// The kana in 五十音 order; small and voiced forms are told apart after the letters.
constexpr char16_t kGojuon[] =
    u"あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめもやゆよらりるれろわゐゑをん";

struct KanaLetter
{
    int letter = -1; // index in kGojuon
    int mark = 0;    // 0, ゛ 1, ゜ 2
    bool small = false;
};

// Hiragana U+3041..U+3096 to their letters.
const std::array<KanaLetter, 0x56>& hiragana()
{
    static const std::array<KanaLetter, 0x56> table = [] {
        std::array<KanaLetter, 0x56> t{};
        const auto letterOf = [](char16_t c) {
            for (int i = 0; kGojuon[i]; ++i)
                if (kGojuon[i] == c)
                    return i;
            return -1;
        };
        for (char16_t c = 0x3041; c <= 0x3096; ++c)
            t[c - 0x3041].letter = letterOf(c);
        const auto small = [&](char16_t s, char16_t base) { t[s - 0x3041] = {letterOf(base), 0, true}; };
        small(u'ぁ', u'あ'), small(u'ぃ', u'い'), small(u'ぅ', u'う'), small(u'ぇ', u'え'), small(u'ぉ', u'お');
        small(u'っ', u'つ'), small(u'ゃ', u'や'), small(u'ゅ', u'ゆ'), small(u'ょ', u'よ'), small(u'ゎ', u'わ');
        small(u'ゕ', u'か'), small(u'ゖ', u'け');
        // Voiced forms follow their letter in the code table: が is か + 1, ぱ is は + 2.
        for (const char16_t base : std::u16string_view(u"かきくけこさしすせそたちつてと"))
            t[base + 1 - 0x3041] = {letterOf(base), 1, false};
        for (const char16_t base : std::u16string_view(u"はひふへほ")) {
            t[base + 1 - 0x3041] = {letterOf(base), 1, false};
            t[base + 2 - 0x3041] = {letterOf(base), 2, false};
        }
        t[u'ゔ' - 0x3041] = {letterOf(u'う'), 1, false};
        return t;
    }();
    return table;
}

// Half-width katakana U+FF66..U+FF9D as their full-width forms.
constexpr char16_t kHalfWidthKana[] =
    u"ヲァィゥェォャュョッーアイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメモヤユヨラリルレロワン";

// The vowel (a letter of the あ row: 0 to 4) each letter of kGojuon ends in, for ー after it;
// ん has none.
constexpr char kVowels[] = "01234012340123401234012340123401234024012340134-";

int vowelOf(int letter)
{
    const char vowel = kVowels[letter];
    return vowel == '-' ? -1 : vowel - '0';
}

// The JIS X 0208 kanji (and 々 before them) with their codes in code page 932, whose order is
// the table's: read from the code page once, sorted by character for looking up.
const std::vector<std::pair<char16_t, std::uint16_t>>& jisKanji()
{
    static const std::vector<std::pair<char16_t, std::uint16_t>> table = [] {
        QByteArray bytes = QByteArrayLiteral("\x81\x58"); // 々
        for (int lead = 0x88; lead <= 0xEA; ++lead) {
            if (lead == 0xA0)
                lead = 0xE0;
            for (int trail = 0x40; trail <= 0xFC; ++trail) {
                if (trail != 0x7F) {
                    bytes += char(lead);
                    bytes += char(trail);
                }
            }
        }
        const QString text = cp932::decode(bytes);
        std::vector<std::pair<char16_t, std::uint16_t>> t;
        t.reserve(std::size_t(text.size()));
        for (qsizetype i = 0; i < text.size() && 2 * i + 1 < bytes.size(); ++i) {
            if (text[i] != QChar::ReplacementCharacter)
                t.emplace_back(text[i].unicode(),
                               std::uint16_t((std::uint8_t(bytes[2 * i]) << 8) | std::uint8_t(bytes[2 * i + 1])));
        }
        std::sort(t.begin(), t.end());
        return t;
    }();
    return table;
}

std::uint32_t kanjiWeight(char32_t c)
{
    // The JIS table's kanji keep its order; the others follow by code point. (A collation
    // library puts those others by radical and strokes: two names that first differ in two such
    // kanji, 髙 and 𠮷, may be listed the other way round.)
    if (c < 0x10000) {
        const auto& table = jisKanji();
        const auto found = std::lower_bound(table.begin(), table.end(), std::make_pair(char16_t(c), std::uint16_t(0)));
        if (found != table.end() && found->first == c)
            return found->second;
    }
    return 0x10000 + std::uint32_t(c);
}

bool isKanji(char32_t c)
{
    return (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0x3400 && c <= 0x4DBF) || (c >= 0xF900 && c <= 0xFAFF) ||
           (c >= 0x20000 && c <= 0x3FFFF) || c == 0x3005; // 々 with the kanji
}

} // namespace

QByteArray sortKey(QStringView text)
{
    // Three levels: the letters; then the kana's marks (ー, small, plain, ゛, ゜); then case.
    // Hiragana and katakana, and the widths, are one.
    std::vector<std::uint32_t> primary;
    QByteArray marks, cases;
    primary.reserve(std::size_t(text.size()));
    int lastLetter = -1;
    const QList<uint> codes = text.toUcs4();
    for (const uint code : codes) {
        char32_t c = code;
        if (c >= 0xFF01 && c <= 0xFF5E)
            c -= 0xFEE0;
        else if (c == 0x3000)
            c = u' ';
        else if (c >= 0xFF66 && c <= 0xFF9D)
            c = kHalfWidthKana[c - 0xFF66];
        if (c == 0x3099 || c == 0x309A || c == 0xFF9E || c == 0xFF9F) { // a separate ゛ or ゜
            if (!marks.isEmpty()) {
                marks.back() = char((c == 0x3099 || c == 0xFF9E) ? kVoiced : kSemiVoiced);
                cases.back() = 1; // after the letter written with its mark
            }
            continue;
        }
        const char32_t hira = c >= 0x30A1 && c <= 0x30F6 ? c - 0x60 : c;
        if (hira >= 0x3041 && hira <= 0x3096 && hiragana()[hira - 0x3041].letter >= 0) {
            const KanaLetter k = hiragana()[hira - 0x3041];
            lastLetter = k.letter;
            primary.push_back(weight(Kana, std::uint32_t(k.letter)));
            marks.push_back(char(k.small ? kSmall : k.mark == 1 ? kVoiced : k.mark == 2 ? kSemiVoiced : kPlain));
            cases.push_back(char(0));
            continue;
        }
        if (c == 0x30FC && lastLetter >= 0 && vowelOf(lastLetter) >= 0) { // ー: the vowel before it
            primary.push_back(weight(Kana, std::uint32_t(vowelOf(lastLetter))));
            marks.push_back(char(kLong));
            cases.push_back(char(0));
            continue;
        }
        lastLetter = -1;
        std::uint32_t upper = 0;
        if (c == u' ' || c == u'\t') {
            primary.push_back(weight(Space, 0));
        } else if (c < 0x80 && c != 0 && std::strchr(kPunctuation, char(c))) {
            primary.push_back(weight(Punctuation, std::uint32_t(std::strchr(kPunctuation, char(c)) - kPunctuation)));
        } else if (c == 0x30FC) {
            primary.push_back(weight(Punctuation, sizeof kPunctuation)); // ー alone: after the ASCII marks
        } else if (c >= u'0' && c <= u'9') {
            primary.push_back(weight(Digit, c - u'0'));
        } else if ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z')) {
            upper = c <= u'Z' ? 1 : 0;
            primary.push_back(weight(Latin, upper ? c - u'A' : c - u'a'));
        } else if (isKanji(c)) {
            primary.push_back(weight(Kanji, kanjiWeight(c)));
        } else {
            primary.push_back(weight(Other, c));
        }
        marks.push_back(char(kPlain));
        cases.push_back(char(upper));
    }
    // A letter's group is never 0: the 0 after the letters sorts a shorter text first.
    QByteArray key;
    key.reserve(qsizetype(primary.size()) * 3 + marks.size() + cases.size() + 2);
    for (const std::uint32_t w : primary) {
        key += char(w >> 16);
        key += char(w >> 8);
        key += char(w);
    }
    key += '\0';
    key += marks;
    key += '\0';
    key += cases;
    return key;
}

} // namespace japaneseorder
