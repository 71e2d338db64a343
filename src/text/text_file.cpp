#include "text_file.h"

#include "cp932.h"
#include "platform/system_error.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace textfile {

ReadBytes readBytes(const QString& path)
{
    QFile file(path);
    if (!file.exists())
        return {std::nullopt, QStringLiteral("ファイルがありません")};
    // A settings file or roster is a few kilobytes: a pipe would never end and a huge file
    // would fill the memory.
    const QFileInfo info(path);
    if (!info.isFile())
        return {std::nullopt, QStringLiteral("ふつうのファイルではありません")};
    if (info.size() > kMaxBytes)
        return {std::nullopt, QStringLiteral("ファイルが大きすぎます（%1 MB まで）").arg(kMaxBytes / (1024 * 1024))};
    if (!file.open(QIODevice::ReadOnly))
        return {std::nullopt, QStringLiteral("ファイルを開けません：%1").arg(describeSystemError(lastSystemError()))};
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return {std::nullopt, QStringLiteral("ファイルを読めません：%1").arg(describeSystemError(lastSystemError()))};
    return {std::move(bytes), QString()};
}

std::optional<QString> replace(const QString& path, const QByteArray& bytes)
{
    const QFileInfo info(path);
    if (info.isSymLink())
        return QStringLiteral("ファイルの場所にリンクがあります。リンクの先には書き込みません");
    if (info.exists() && !info.isFile())
        return QStringLiteral("ファイルの場所にフォルダなど、ふつうのファイルでないものがあります");
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return describeSystemError(lastSystemError());
    // The save file keeps a buffer: a write that fails while it is emptied (a full disk) must be
    // seen before committing, which would otherwise put a cut file in the old one's place.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const int code = lastSystemError();
        file.cancelWriting();
        return describeSystemError(code);
    }
    if (!file.commit())
        return describeSystemError(lastSystemError());
    return std::nullopt;
}

ReadResult read(const QString& path, Utf8 utf8)
{
    const ReadBytes read = readBytes(path);
    if (!read.bytes)
        return {std::nullopt, read.error};
    const QByteArray& bytes = *read.bytes;
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        const QByteArray text = bytes.sliced(3);
        if (utf8 == Utf8::Read && text.isValidUtf8())
            return {QString::fromUtf8(text), QString()};
        return {std::nullopt, utf8 == Utf8::Read
                                  ? QStringLiteral("UTF-8 の印がありますが、UTF-8 として読めない部分があります。"
                                                   "Shift_JIS（CP932）で保存してください")
                                  : QStringLiteral("UTF-8 で保存されています。ほかのプログラムも読むファイルなので、"
                                                   "Shift_JIS（CP932）で保存してください")};
    }
    return {cp932::decode(bytes), QString()};
}

Earlier earlier(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return {path, std::nullopt};
    const ReadBytes r = readBytes(path);
    return {path, r.bytes, r.bytes.has_value()};
}

std::optional<QString> putBack(const Earlier& earlier)
{
    if (!earlier.read)
        return std::nullopt;
    if (earlier.bytes)
        return replace(earlier.path, *earlier.bytes);
    if (QFileInfo::exists(earlier.path) && !QFile::remove(earlier.path))
        return describeSystemError(lastSystemError());
    return std::nullopt;
}

QStringList splitLines(const QString& text)
{
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'\r' && text[i] != u'\n')
            continue;
        lines.append(text.mid(start, i - start));
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    lines.append(text.mid(start));
    return lines;
}

} // namespace textfile
