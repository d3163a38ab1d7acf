#pragma once

#include <ostream>
#include <string>

namespace quillmere::test {

// Names each case of a parameterised test by its `name` field.
struct ByName {
  template <typename Info>
  std::string operator()(const Info& info) const {
    return info.param.name;
  }
};

// Prints a case by its name in failure messages; bring it in with
// `using test::PrintTo;` beside the case type.
template <typename Case>
requires requires(const Case& c) {
  c.name;
}
void PrintTo(const Case& c, std::ostream* out) {
  *out << c.name;
}

}  // namespace quillmere::test
