// The code page 932 converter: any bytes decode; what decodes without U+FFFD encodes back to the
// same bytes.
#include "text/cp932.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString text = cp932::decode(bytes);
    if (text.contains(QChar(0xFFFD)))
        return 0;
    const cp932::Encoded encoded = cp932::encode(text);
    // Code page 932 has a few characters with two byte forms (NEC and IBM duplicates): what
    // comes back must decode to the same text.
    if (!encoded.ok() || cp932::decode(encoded.bytes) != text)
        std::abort();
    return 0;
}
