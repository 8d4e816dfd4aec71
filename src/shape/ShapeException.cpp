#include "shape/ShapeException.h"

#include <cwchar>
#include <utility>

namespace {

constexpr std::size_t kMessageCapacity = 100;

}  // namespace

ShapeException::ShapeException(std::wstring message) : message_(std::move(message)) {}

ShapeException ShapeException::outOfRange(uint32_t length, uint32_t index)
{
    wchar_t buffer[kMessageCapacity] = {};
    std::swprintf(buffer, kMessageCapacity, L"Out of range( array length \"%d\", access index \"%d\"",
                  static_cast<int>(length), static_cast<int>(index));
    return ShapeException(buffer);
}
