#pragma once

#include <QString>
#include <QStringList>

// Japanese text set in columns (vertical writing) by the rules of Japanese line breaking: no
// small kana, prolonged sound mark, closing bracket or punctuation at the head of a column, no
// opening bracket at its foot; a number (Arabic or kanji numerals), a katakana word and every
// text in keepWhole (a level's name, a name with its honorific) are never split; the columns are
// balanced, the last no shorter than it must be.
namespace verticalcolumns {

struct Set
{
    QStringList columns;
    QString problem; // why the text cannot be set so (a word longer than a column), in Japanese
};
Set set(const QString& text, int perColumn, const QStringList& keepWhole = {});

// Whether a character may not start a column, or may not end one.
bool notAtHead(QChar ch);
bool notAtFoot(QChar ch);

} // namespace verticalcolumns
