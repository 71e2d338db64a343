#include "native.h"

// What both systems' units share: the code page 932 byte classes and the failure kinds.
namespace native {

bool isCp932LeadByte(unsigned char b)
{
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

bool isCp932TrailByte(unsigned char b)
{
    return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC);
}

Failure failureOf(int code)
{
    switch (reasonOf(code)) {
    case Reason::Missing:
        return Failure::NotFound;
    case Reason::Denied:
    case Reason::ReadOnly:
        return Failure::Denied;
    case Reason::Busy:
        return Failure::Sharing;
    default:
        return Failure::Other;
    }
}

} // namespace native
