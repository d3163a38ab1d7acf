#pragma once

#include <string>

namespace quillmere {

// The program's string table. A missing id loads as the empty string.
std::string LoadStringResource(int id);

// Formats a table string's "%d" conversions with the given numbers, in order.
std::string FormatString(const std::string& format, int a);
std::string FormatString(const std::string& format, int a, int b, int c);

}  // namespace quillmere
