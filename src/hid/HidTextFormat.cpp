#include "hid/HidTextFormat.h"

#include <cwchar>
#include <iterator>

namespace {

constexpr wchar_t kHexDigits[] = L"0123456789abcdef";
constexpr size_t kGuidTailBytes = 8;

}  // namespace

wchar_t* formatGuidText(const HidGuid& guid, wchar_t* buffer)
{
    wchar_t tail[2 * kGuidTailBytes + 1];
    formatHexBytes(guid.data4, kGuidTailBytes, tail, std::size(tail));
    std::swprintf(buffer, kGuidTextCapacity, L"%04x-%02x-%02x-%ls", guid.data1, guid.data2,
                  guid.data3, tail);
    return buffer;
}

wchar_t* formatHexBytes(const uint8_t* bytes, size_t count, wchar_t* buffer, size_t capacity,
                        wchar_t separator)
{
    if (capacity == 0)
        return buffer;
    const size_t usable = capacity - 1;
    size_t position = 0;
    for (size_t i = 0; i < count && bytes != nullptr; ++i) {
        const bool needsSeparator = separator != L'\0' && i > 0;
        const size_t needed = (needsSeparator ? 1 : 0) + 2;
        if (position + needed > usable)
            break;
        if (needsSeparator)
            buffer[position++] = separator;
        buffer[position++] = kHexDigits[bytes[i] >> 4];
        buffer[position++] = kHexDigits[bytes[i] & 0x0F];
    }
    buffer[position] = L'\0';
    return buffer;
}
