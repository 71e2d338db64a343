#pragma once

#include <QString>
#include <optional>

// Whole text files of the family: code page 932, CR LF line ends.
namespace textfile {

struct ReadResult
{
    std::optional<QString> text; // empty when the file could not be read
    QString error;               // the system's reason, in Japanese where we know it
};
ReadResult read(const QString& path);

} // namespace textfile
