#pragma once

#include "result_record.h"

#include <QList>
#include <optional>

struct Folders;

// The records of attempts that are not yet in their results files. An attempt's records are
// written here first and taken out once each is appended, so that neither a sibling holding a
// file's lock nor the program being ended between the two appends loses one: what is left is
// appended on the next recording or the next start. "記録待ち成績.dat" in the program folder:
// one byte per entry for its file ('P' this program's, 'S' the family's) and the record.
// Every copy of the program on the folder uses it under one lock (records/waiting_list.h).
namespace pendingrecords {

struct Entry
{
    RecordLayout layout = RecordLayout::Program;
    QByteArray bytes;
    bool operator==(const Entry&) const = default;
};

QString fileName();
QString path(const Folders& folders);

// What a list's bytes hold: every whole entry, in order, and how many bytes around them were
// no entry (garbage, or an entry cut off by a crash). An entry is only taken for one when its
// record is one this program could have written, so that damage in front of good entries
// does not hide them.
struct Contents
{
    QList<Entry> entries;
    qsizetype unreadableBytes = 0;
};
Contents parse(const QByteArray& bytes);
QByteArray encode(const QList<Entry>& entries);

// How many attempts the entries hold: an attempt has a record for each file, and either may
// be the one still waiting.
int attemptCount(const QList<Entry>& entries);

// Why the path cannot be the list, in Japanese: a symbolic link, a folder, a pipe or a device.
// Nothing when it is a regular file or there is none.
std::optional<QString> refusal(const QString& path);

} // namespace pendingrecords
