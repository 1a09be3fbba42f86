#pragma once
// File dialog filters in the form the dialogs take: description, NUL, pattern, NUL, further pairs,
// and a final NUL. Tools build them once; each Shell turns them into its own dialog's form.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace shell {

struct FilterEntry {
    std::string description;
    std::string pattern;
};

std::string makeFilter(const std::vector<FilterEntry>& entries);

// The pairs of a filter text; a malformed tail (a description without pattern) is dropped.
std::vector<FilterEntry> filterEntries(std::string_view filter);

}  // namespace shell
