#pragma once
// The key list a profile read gives for a null key name: the names one
// after another, each ending in a NUL. No Windows here, so it also builds
// natively, under the sanitizers.
#include <cstddef>
#include <vector>

// The names in the first `length` characters of `list`, a buffer of
// `capacity` characters (at least 2), as GetPrivateProfileString returned
// them. A line "=b" has an empty name: it is listed as a zero-length entry,
// which only the returned length tells from the list's end. When the names
// overflow the buffer (a length of capacity - 2 or more), the last one came
// back cut short; it is dropped so that no made-up name is looked up.
template <class TString>
std::vector<TString> SplitKeyList(const typename TString::value_type* list, size_t length, size_t capacity)
{
    const bool truncated = length + 2 >= capacity;
    if (length > capacity - 1)
        length = capacity - 1;
    std::vector<TString> names;
    for (size_t start = 0; start < length;) {
        size_t end = start;
        while (end < length && list[end] != 0)
            ++end;
        names.emplace_back(list + start, end - start);
        start = end + 1;
    }
    if (truncated && !names.empty())
        names.pop_back();
    return names;
}
