#pragma once

#include "result_record.h"

#include <QString>
#include <functional>
#include <optional>

// Reads a whole results file for the teacher's tools, a block of records at a time, so that a
// file of any size is read in a few hundred kilobytes. Only regular files are read: a pipe or a
// device would never end, or end the reading in the middle.
namespace recordblocks {

constexpr qint64 kRecordsPerBlock = 4096;

struct Summary
{
    qint64 records = 0;
    qint64 tail = 0; // bytes of a cut-off last record
};

// Calls each for every whole record in file order (its number from 0), from the record `first`
// on; the error when the file cannot be read, in Japanese. The summary counts every record of
// the file, those before `first` too.
std::optional<QString> read(const QString& path, RecordLayout layout,
                            const std::function<void(qint64 number, const ResultRecord& record)>& each,
                            Summary* summary = nullptr, qint64 first = 0);

} // namespace recordblocks
