#pragma once

#include "records/results_file.h"
#include "review.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QString>
#include <QTime>
#include <optional>

class Pause;
struct Folders;

// "問題記録.csv" in the program folder: one line per problem of a recorded attempt (and of a
// practice of weak numbers), so that the teacher and the program can see which numbers cost a
// pupil time or mistakes. UTF-8 with a byte-order mark, CR LF line ends, RFC 4180; appended
// under a lock on its first byte, as the results files are, never rewritten. The family's own
// files stay as they are.
namespace problemlog {

QString fileName();
QString path(const Folders& folders);

struct Entry
{
    QDate date;
    QTime time; // when the problem ended
    int pupil = 0;
    int level = 0;
    int number = 0;
    double seconds = 0; // from its appearance to its end, to a tenth of a second
    int wrong = 0;      // wrong judgements
    QString firstWrong; // what the first wrong judgement was on
    bool answerShown = false;
    QString practice; // the kind of practice ("ふくしゅう", …); empty for a recorded attempt
};

// The header line with the byte-order mark, written when the file is made.
QByteArray header();
QByteArray line(const Entry& entry);

// Appends the lines after the file's last whole line, making the file with its header when
// there is none; the error, in Japanese, when it could not. A sibling's lock is waited for as
// for the results files.
std::optional<QString> append(const QString& path, const QList<Entry>& entries, Pause& pause,
                              const resultsfile::Opener& open = openRecordFile);

// What the rankings need of a logged problem, small enough to hold a school year's log.
struct Problem
{
    qint32 day = 0; // days since 30 December 1899
    qint16 pupil = 0;
    qint16 level = 0;
    qint16 number = 0;
    float seconds = 0;
    bool mistake = false; // a wrong judgement, or the answer shown
};

// What the views need of the log, whatever its size: of each number a pupil met at a level, its
// last appearances (as many as the weak numbers use), in file order, and how many problems each
// pupil logged at each level.
struct Read
{
    review::Tracker review; // every line, never thinned: what comes back for ふくしゅう
    static constexpr int kKeptAppearances = 5;
    QList<Problem> problems;   // in file order
    int damaged = 0;           // lines that could not be read, passed over
    QHash<qint64, int> logged; // pupil and level (pupil × 65536 + level): problems logged
    int loggedAt(int pupil, int level) const { return logged.value(qint64(pupil) * 65536 + level); }
};
// Reads the whole log a block at a time; nothing when it cannot be read (the error says why). A
// missing log is an empty one.
std::optional<Read> read(const QString& path, QString* error = nullptr);
// Only one pupil's ふくしゅう (the rest of the Read left empty), reading that pupil's lines alone.
std::optional<Read> readReview(const QString& path, int pupil, QString* error = nullptr);
// The same from the log's bytes; the problems are thinned out once they reach thinAt.
Read parse(const QByteArray& bytes, qsizetype thinAt = 1 << 20);
// "12 行を読めません" for the views that show weak numbers; empty when every line was read.
QString damageNote(const Read& read);

} // namespace problemlog
