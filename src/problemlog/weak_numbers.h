#pragma once

#include "problem_log.h"

#include <QHash>
#include <QList>
#include <QSet>

class RandomSource;

// Which numbers a pupil finds hard at a level, from the problem log: each number's last five
// appearances give its median seconds and its mistakes (a wrong judgement or the answer shown).
// The score ranks them, slow and wrong first:
//     score = median seconds × (1 + mistakes ÷ appearances)
// so a number answered wrong every time counts as twice as slow. Ties keep the smaller number
// first.
namespace weaknumbers {

constexpr int kLastAppearances = 5;
constexpr int kShown = 5;             // on the board
constexpr int kPracticeNeeds = 10;    // logged problems at a level before its practice
constexpr int kPracticeProblems = 10; // the numbers of one practice
constexpr int kPracticePool = 10;     // the weakest numbers the practice draws from

struct Weak
{
    int number = 0;
    double medianSeconds = 0;
    int mistakes = 0;
    int appearances = 0;
    double score = 0;
};

// The log's problems of each pupil, in file order: for rankings of many pupils.
QHash<int, QList<problemlog::Problem>> byPupil(const QList<problemlog::Problem>& problems);
// One pupil's numbers at a level, weakest first.
QList<Weak> rank(const QList<problemlog::Problem>& problems, int pupil, int level);
// The class's: the last appearances of each pupil in the group, pooled.
QList<Weak> rankGroup(const QList<problemlog::Problem>& problems, const QSet<int>& pupils, int level);
// The same for a whole class at once, from one pass over a school year's log: each pupil's
// ranking at a level of the pupil's own (levelOf: pupil → level), and the class's per level.
struct ClassRankings
{
    QHash<int, QList<Weak>> ofPupil; // pupil → their ranking at their level
    QHash<int, QList<Weak>> ofLevel; // level → the class's ranking
};
ClassRankings rankClass(const QList<problemlog::Problem>& problems, const QSet<int>& pupils,
                        const QHash<int, int>& levelOf);

// Ten numbers for a practice, drawn from the weakest numbers with the score as weight, never
// the same number twice in a row (unless only one number is weak).
QList<int> drawPractice(const QList<Weak>& weakest, RandomSource& random, int count = kPracticeProblems);

// " 96  12.3秒 ミス2" for the board's list: the number, its median seconds and its mistakes.
QString line(const Weak& weak);
// "36 48 24": the first numbers of a ranking, for a column or a printed page.
QString numbers(const QList<Weak>& weak, int count);

} // namespace weaknumbers
