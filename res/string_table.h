#pragma once

#include <initializer_list>
#include <string>

namespace quillmere {

// The program's string table. A missing id loads as the empty string.
std::string LoadStringResource(int id);

// Formats a table string's "%d" conversions with the given numbers, in order.
std::string FormatString(const std::string& format, int a);
std::string FormatString(const std::string& format, int a, int b, int c);

// Fills a text's numbered places, "%1" to "%9", with the given texts, the
// first for "%1"; a place without a text stays as it stands.
std::string FormatPlaces(const std::string& format, std::initializer_list<std::string> texts);

}  // namespace quillmere
