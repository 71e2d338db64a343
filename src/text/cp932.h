#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// Conversion between the program's text and code page 932 (the Microsoft variant of
// Shift-JIS), done by the platform's own converter (platform/native: iconv here, the Win32
// code page calls on Windows). Every text file and record text field of the family is in this
// code page.
namespace cp932 {

// Bytes that are not valid code page 932 become U+FFFD; nothing is dropped silently. A lead
// byte takes the byte after it only when that is a trail byte: a character cut after its
// first byte never swallows the comma or quote that follows.
QString decode(const QByteArray& bytes);

struct Encoded
{
    QByteArray bytes;
    // The first character that code page 932 cannot hold, when there is one; bytes is then empty.
    std::optional<char32_t> unencodable;
    bool ok() const { return !unencodable.has_value(); }
};
Encoded encode(const QString& text);

} // namespace cp932
