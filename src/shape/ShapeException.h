#pragma once

#include <cstdint>
#include <string>

// The one exception type of the application: an element access out of range.
// Derives from no other exception class.
class ShapeException {
public:
    explicit ShapeException(std::wstring message);

    // Message for an access at `index` into an array of `length` elements.
    static ShapeException outOfRange(uint32_t length, uint32_t index);

    const std::wstring& message() const { return message_; }

private:
    std::wstring message_;
};
