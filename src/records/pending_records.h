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
namespace pendingrecords {

struct Entry
{
    RecordLayout layout = RecordLayout::Program;
    QByteArray bytes;
    bool operator==(const Entry&) const = default;
};

QString fileName();
QString path(const Folders& folders);

// The entries waiting, in order; a cut-off last entry or an unknown byte ends the reading.
QList<Entry> read(const QString& path);
// The entries as the whole file, which goes when there are none; the error when it cannot be
// written.
std::optional<QString> write(const QString& path, const QList<Entry>& entries);

} // namespace pendingrecords
