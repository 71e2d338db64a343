#pragma once

#include "records/clearing.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

struct Catalogue;
struct CourseRules;

// "賞状": a certificate for a level cleared, as Japanese schools write them. Vertical writing
// on A4 landscape (columns from right to left) by default, horizontal on A4 portrait as a
// choice; the title largest, the pupil's name next with the honorific the teacher chooses, a
// body of about a hundred characters without punctuation, broken once before "よって" and
// ending "賞します", the date in the Japanese era and the school as the issuer.
namespace certificate {

enum class Writing
{
    Vertical,  // A4 landscape, kanji numerals
    Horizontal // A4 portrait, Arabic digits
};

// 1 → 一, 10 → 十, 12 → 十二, 20 → 二十, 31 → 三十一, 2026 → 二千二十六.
QString kanjiNumber(int n);
// Every run of digits (half- or full-width) written in kanji numerals.
QString kanjiDigits(const QString& text);
// "令和八年十二月九日" in vertical writing, "令和8年12月9日" in horizontal; the first year of an
// era is 元年 in both.
QString dateText(const QDate& date, Writing writing);

enum class Honorific
{
    San, // さん (the default)
    None,
    Kun,
    Dono // 殿
};
QStringList honorificChoices(); // "さん", "なし", "くん", "殿"
QString withHonorific(const QString& name, Honorific honorific);

// The body's template: {ドリル} is the drill's title, {レベル} the level's name, {きまり} what
// clearing it asks.
QString defaultTemplate();
// What is wrong with a template, one Japanese line each: punctuation, "よって" not once,
// an ending other than "賞します", a length far from a hundred characters once filled in.
QStringList templateProblems(const QString& text);
// The body filled in; split before "よって" into its two paragraphs.
QStringList body(const QString& text, const QString& drill, const QString& level, const QString& rule);
// What clearing a level asks, in words: "30日のうちに5回50点" (in kanji when vertical).
QString ruleText(const CourseRules& rules, int course);

// One certificate, ready to be laid out.
struct Certificate
{
    QString title = QStringLiteral("賞状");
    QString name;           // with its honorific
    QStringList paragraphs; // the body, broken before "よって"
    QString date;
    QString issuer;        // the school
    QString signer;        // who signs for it: "校長　山田　太郎"; empty for none
    QStringList keepWhole; // what no column may split: the drill's title, the level's name
};

// Vertical writing's body: 14 characters a column on any page size (the page's proportions
// decide it), the paragraph after the first a character lower.
constexpr int kColumnChars = 14;
// The name, honorific and all, in its column or on its line: a long one is set smaller, down to
// about half the name's size, to stay on the page.
constexpr int kNameChars = 21;
// The body's columns of a paragraph (the first: 0) by the rules of Japanese line breaking.
QStringList bodyColumns(const Certificate& c, int paragraph);
// Why a certificate cannot be set by those rules, one Japanese line each; none when it can.
QStringList layoutProblems(const Certificate& c, Writing writing);
Certificate make(const clearing::Cleared& cleared, const QString& pupilName, Honorific honorific, const QString& text,
                 const Catalogue& catalogue, const CourseRules& rules, const QString& school, const QString& signer,
                 Writing writing);

// The first clearings within a period (both ends included), of the given pupils or of everyone
// when none are given, in date order.
QList<clearing::Cleared> inPeriod(const QList<clearing::Cleared>& clearings, const QDate& from, const QDate& to,
                                  const QList<int>& pupils = {});

} // namespace certificate
