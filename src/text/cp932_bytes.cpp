#include "cp932.h"

namespace cp932 {

bool isLeadByte(quint8 byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

bool isTrailByte(quint8 byte)
{
    return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0x80 && byte <= 0xFC);
}

qsizetype invalidSequenceLength(const QByteArray& bytes, qsizetype offset)
{
    const bool pair =
        isLeadByte(quint8(bytes[offset])) && offset + 1 < bytes.size() && isTrailByte(quint8(bytes[offset + 1]));
    return pair ? 2 : 1;
}

} // namespace cp932
