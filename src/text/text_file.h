#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// Whole text files of the family: code page 932, CR LF line ends.
namespace textfile {

struct ReadResult
{
    std::optional<QString> text; // empty when the file could not be read
    QString error;               // the system's reason, in Japanese where we know it
};
constexpr qint64 kMaxBytes = 16 * 1024 * 1024;
// Only a regular file of at most kMaxBytes is read.
ReadResult read(const QString& path);

// The physical lines of a text, split at CR LF, LF or a lone CR; a last line ending in a
// line break is followed by an empty one.
QStringList splitLines(const QString& text);

} // namespace textfile
