#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <functional>
#include <optional>
#include <string>

namespace quillmere {

// The accessible description of the list's item at a 0-based index, if it
// has one.
using ItemDescriber = std::function<std::optional<std::wstring>(int item)>;

// Gives the list view's items the descriptions `describe` makes, where the
// system's own accessible list leaves them empty: the list answers a screen
// reader's query with the system's object wrapped, asking `describe` first.
// Lasts as long as the list.
void DescribeListItems(HWND list, ItemDescriber describe);

}  // namespace quillmere
