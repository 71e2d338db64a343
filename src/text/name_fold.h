#pragma once

#include <QList>
#include <QString>
#include <QStringView>

// Names as a search compares them. Schools write a pupil's name with the kanji of the family
// register (髙, 﨑, 齋, 𠮷) while a teacher types the everyday form, or the other way round; a
// reading may be in hiragana, katakana or half-width katakana, with or without blanks.
namespace namefold {

// The groups of kanji that name one family name, the everyday form first: "斉斎齋齊". The table
// is data, read by every search of names (the class view, the roster window, the roster
// import's matching, the name menu).
const QList<QStringView>& variantGroups();

// The text with compatibility forms unified (full- and half-width), letters in one case,
// every variant kanji as the first of its group, katakana as hiragana and blanks left out:
// fold("髙橋 ユイ") is fold("高橋ゆい").
QString fold(QStringView text);

// Whether the folded name contains the folded search.
bool matches(QStringView name, QStringView search);

} // namespace namefold
