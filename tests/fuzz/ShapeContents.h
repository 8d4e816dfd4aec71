#pragma once

#include <type_traits>
#include <vector>

// The elements of a shape value as a plain vector, for comparisons.
template <class Shape>
auto shapeElements(const Shape& shape)
{
    using Element = std::remove_cvref_t<decltype(*shape.data())>;
    const Element* first = shape.data();
    return first == nullptr ? std::vector<Element>{} : std::vector<Element>(first, first + shape.length());
}
