#pragma once

#include <cstdint>
#include <string>

// A rectangle of the button picture, relative to the widget's top-left corner.
// A point is inside when left <= x < right and top <= y < bottom.
struct CoordRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;

    bool contains(std::int32_t x, std::int32_t y) const
    {
        return left <= x && x < right && top <= y && y < bottom;
    }
    bool operator==(const CoordRect&) const = default;
};

// One button of the picture, as read from the coords file, with its run-time flags.
struct CoordButtonItem {
    std::int32_t id = -1;
    std::int32_t value = 0;
    std::int32_t index = -1;
    std::wstring name;
    CoordRect rect;
    std::uint32_t bground = 0; // toolkit colour: red in bits 0-7, ..., opacity in 24-31
    std::uint32_t fground = 0;
    bool selected = false;
    bool hover = false;
    bool marked = false;

    bool operator==(const CoordButtonItem&) const = default;
};
