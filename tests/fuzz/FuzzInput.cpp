#include "FuzzInput.h"

std::vector<std::string_view> splitFuzzInput(std::string_view input, std::size_t count)
{
    std::vector<std::string_view> parts;
    parts.reserve(count);
    while (parts.size() + 1 < count) {
        const std::size_t end = input.find(kFuzzPartSeparator);
        if (end == std::string_view::npos)
            break;
        parts.push_back(input.substr(0, end));
        input.remove_prefix(end + kFuzzPartSeparator.size());
    }
    parts.push_back(input);
    parts.resize(count);
    return parts;
}
