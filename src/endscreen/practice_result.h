#pragma once

#include <QList>
#include <QString>

struct PracticeOutcome;

// What the end of a practice of weak numbers tells the pupil: number by number, how it went
// before (its last appearances in the problem log) and this time.
namespace practiceresult {

struct Row
{
    QString number;
    QString before;  // "12.3秒　5回中2回まちがい", or "はじめて"
    QString now;     // "4.1秒　まちがいなし"
    QString verdict; // "よくなった！", "もう少し", or empty
};

QList<Row> rows(const PracticeOutcome& outcome);
QString timeLine(const PracticeOutcome& outcome); // "タイム：42秒"

} // namespace practiceresult
