#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace quillmere {

// How many arguments an option takes after it.
struct OptionArity {
  int count = 0;
  bool optional = false;  // one argument that may be left out (--undo [RUN])
};

// The arity of the option named (as "--jobs" or "-j"), or nothing when there
// is no such option.
using ArityOf = std::function<std::optional<OptionArity>(std::string_view name)>;

// The arguments with the GNU forms written out, one option or argument
// each: --opt=VALUE becomes --opt VALUE, -jN becomes -j N, bundled short
// options -rj2 become -r -j 2. The arguments of an option are taken as they
// stand, even when they begin with '-', and so is everything after "--".
// A lone "-" is an argument (standard input). Otherwise the reason.
std::variant<std::vector<std::string>, std::string> WrittenOut(const std::vector<std::string>& args,
                                                               const ArityOf& arityOf);

}  // namespace quillmere
