#pragma once

#include <QChar>
#include <QString>
#include <QStringList>

// The kana table (五十音) as the name menu's jump uses it: a reading belongs to the row of its
// first kana, voiced and small kana with their plain forms (が with か, ぁ with あ).
namespace kana {

// "あ", "か", "さ", "た", "な", "は", "ま", "や", "ら", "わ": the rows' first kana.
QStringList rows();

// The row of a kana (hiragana, katakana or half-width katakana), or -1 for anything else.
int rowOf(QChar c);
// The kana itself without its voicing or smallness, in hiragana: が → か, ぱ → は, ゃ → や,
// ヴ → う; 0 for anything that is not kana.
QChar plain(QChar c);

// The first kana of a text in its plain form, passing over blanks; 0 when the text does not
// start with kana.
QChar initial(const QString& text);

// The letter a reading begins with in romaji (Hepburn), as initials are written: や → Y, し → S,
// ち → C, ふ → F, が → G, じ → J; 0 for what is not kana.
QChar romajiInitial(QChar c);
// "Y.T." for "やまだ　たろう": the initial of each word of a reading; empty when it has no kana.
QString initials(const QString& reading);

} // namespace kana
