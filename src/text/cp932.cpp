#include "cp932.h"

#include "platform/native.h"

namespace cp932 {

QString decode(const QByteArray& bytes)
{
    return QString::fromStdU16String(native::decodeCp932(std::string_view(bytes.constData(), size_t(bytes.size()))));
}

Encoded encode(const QString& text)
{
    const native::Cp932Encoded e = native::encodeCp932(text.toStdU16String());
    if (e.unencodable)
        return {QByteArray(), e.unencodable};
    return {QByteArray::fromStdString(e.bytes), std::nullopt};
}

} // namespace cp932
