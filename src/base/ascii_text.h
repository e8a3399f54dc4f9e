// Letter-case comparisons of single-byte texts (file names, extensions): only A-Z and a-z are
// folded, so the result never depends on the locale.
#pragma once

#include <cstddef>
#include <string_view>

namespace zorva {

constexpr char ascii_lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

constexpr bool equal_ignoring_case(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (ascii_lower(a[i]) != ascii_lower(b[i])) return false;
    return true;
}

constexpr bool ends_with_ignoring_case(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() &&
           equal_ignoring_case(text.substr(text.size() - suffix.size()), suffix);
}

}  // namespace zorva
