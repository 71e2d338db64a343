#pragma once

#include <QByteArray>
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

// What a file that a modern editor saved in UTF-8 with a byte-order mark gets. The program's
// own files are read as UTF-8 when they decode cleanly; the files the family's other programs
// read too are refused with the reason, since those programs would show their text garbled.
enum class Utf8
{
    Read,
    Refused
};
// Only a regular file of at most kMaxBytes is read.
ReadResult read(const QString& path, Utf8 utf8 = Utf8::Read);

// A whole file's bytes, read as read() reads them, without decoding.
struct ReadBytes
{
    std::optional<QByteArray> bytes;
    QString error;
};
ReadBytes readBytes(const QString& path);

// Replaces a file whole: the bytes are written beside it and put in its place only once every
// one of them is on the disk, so a write that fails (a full disk, no rights, a folder gone)
// leaves the file exactly as it was. A folder or a link in the file's place is refused, never
// written through. The reason, in Japanese, when the file was not replaced.
std::optional<QString> replace(const QString& path, const QByteArray& bytes);

// A file as it was before a change that writes several files: when a later file is refused,
// the earlier ones are put back, so the change happens whole or not at all.
struct Earlier
{
    QString path;
    std::optional<QByteArray> bytes; // nothing: there was no file
    bool read = true;                // false: a file that could not be read, left alone
};
Earlier earlier(const QString& path);
// Puts the file back as it was, removing it when there was none; the reason when it could not.
std::optional<QString> putBack(const Earlier& earlier);

// The physical lines of a text, split at CR LF, LF or a lone CR; a last line ending in a
// line break is followed by an empty one.
QStringList splitLines(const QString& text);

} // namespace textfile
