#include "cp932.h"

#include <QList>
#include <cerrno>
#include <iconv.h>

namespace cp932 {
namespace {

class Converter
{
public:
    Converter(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~Converter()
    {
        if (m_cd != iconv_t(-1))
            iconv_close(m_cd);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    bool valid() const { return m_cd != iconv_t(-1); }
    iconv_t handle() const { return m_cd; }

private:
    iconv_t m_cd;
};

// Runs iconv over the whole input; on an invalid sequence calls onInvalid with the offset
// of the bad input and lets it decide how many bytes to skip (0 stops).
template <typename OnInvalid> QByteArray convert(iconv_t cd, const QByteArray& input, OnInvalid onInvalid)
{
    QByteArray output;
    char* in = const_cast<char*>(input.constData());
    size_t inLeft = size_t(input.size());
    char buffer[4096];
    while (inLeft > 0) {
        char* out = buffer;
        size_t outLeft = sizeof buffer;
        const size_t rc = iconv(cd, &in, &inLeft, &out, &outLeft);
        output.append(buffer, qsizetype(out - buffer));
        if (rc != size_t(-1))
            break;
        if (errno == E2BIG)
            continue;
        const size_t skip = onInvalid(qsizetype(in - input.constData()), output);
        if (skip == 0)
            return QByteArray();
        const size_t step = std::min(skip, inLeft);
        in += step;
        inLeft -= step;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    return output;
}

} // namespace

QString decode(const QByteArray& bytes)
{
    Converter cd("UTF-8", "CP932");
    if (!cd.valid())
        qFatal("the C library has no code page 932 converter");
    const QByteArray utf8 = convert(cd.handle(), bytes, [&](qsizetype offset, QByteArray& out) -> size_t {
        out.append("\xEF\xBF\xBD"); // U+FFFD
        return size_t(invalidSequenceLength(bytes, offset));
    });
    return QString::fromUtf8(utf8);
}

Encoded encode(const QString& text)
{
    Converter cd("CP932", "UTF-8");
    if (!cd.valid())
        qFatal("the C library has no code page 932 converter");
    const QByteArray utf8 = text.toUtf8();
    std::optional<char32_t> bad;
    QByteArray bytes = convert(cd.handle(), utf8, [&](qsizetype offset, QByteArray&) -> size_t {
        const QString rest = QString::fromUtf8(utf8.mid(offset, 4));
        bad = rest.isEmpty() ? U'\uFFFD' : rest.toUcs4().value(0, U'\uFFFD');
        return 0;
    });
    if (bad)
        return {QByteArray(), bad};
    return {bytes, std::nullopt};
}

qsizetype byteLength(const QString& text)
{
    const Encoded e = encode(text);
    return e.ok() ? e.bytes.size() : -1;
}

} // namespace cp932
