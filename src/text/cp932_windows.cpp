#include "cp932.h"

#include <QList>
#include <windows.h>

namespace cp932 {

namespace {

// Converts strictly: false when any byte sequence is invalid.
bool decodeStrict(const char* bytes, int length, QString& out)
{
    const int n = MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, bytes, length, nullptr, 0);
    if (n <= 0)
        return false;
    QString text(n, Qt::Uninitialized);
    MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, bytes, length, reinterpret_cast<wchar_t*>(text.data()), n);
    out += text;
    return true;
}

} // namespace

QString decode(const QByteArray& bytes)
{
    QString text;
    if (bytes.isEmpty() || decodeStrict(bytes.constData(), int(bytes.size()), text))
        return text;
    // Some sequence is invalid: character by character, each invalid one giving one U+FFFD
    // of the same length as the C library's converter gives elsewhere.
    text.clear();
    for (qsizetype i = 0; i < bytes.size();) {
        const qsizetype pair = isLeadByte(quint8(bytes[i])) && i + 1 < bytes.size() ? 2 : 1;
        if (decodeStrict(bytes.constData() + i, int(pair), text)) {
            i += pair;
            continue;
        }
        text += QChar(0xFFFD);
        i += invalidSequenceLength(bytes, i);
    }
    return text;
}

// Characters that the JIS form of these marks decodes to elsewhere; they are written with
// the code page 932 character that stands for them, as the C library's converter does.
static QString foldJisForms(QString text)
{
    static const std::pair<char16_t, char16_t> folds[] = {
        {u'\u2212', u'\uFF0D'}, {u'\u301C', u'\uFF5E'}, {u'\u2016', u'\u2225'}, {u'\u00A2', u'\uFFE0'},
        {u'\u00A3', u'\uFFE1'}, {u'\u00AC', u'\uFFE2'}, {u'\u2014', u'\u2015'}};
    for (const auto& [from, to] : folds)
        text.replace(QChar(from), QChar(to));
    return text;
}

Encoded encode(const QString& original)
{
    if (original.isEmpty())
        return {QByteArray(), std::nullopt};
    const QString text = foldJisForms(original);
    const auto* wide = reinterpret_cast<const wchar_t*>(text.utf16());
    // Each character is checked on its own so that the first one without a code page 932
    // form can be named; best-fit replacements are refused.
    QByteArray bytes;
    for (qsizetype i = 0; i < text.size();) {
        const int units = (text[i].isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
        char buffer[8];
        BOOL usedDefault = FALSE;
        const int n = WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, wide + i, units, buffer, sizeof buffer, nullptr,
                                          &usedDefault);
        if (n <= 0 || usedDefault) {
            const QString one = text.mid(i, units);
            return {QByteArray(), one.toUcs4().value(0, U'\uFFFD')};
        }
        bytes.append(buffer, n);
        i += units;
    }
    return {bytes, std::nullopt};
}

qsizetype byteLength(const QString& text)
{
    const Encoded e = encode(text);
    return e.ok() ? e.bytes.size() : -1;
}

} // namespace cp932
