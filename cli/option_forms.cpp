#include "option_forms.h"

namespace quillmere {
namespace {

bool IsOptionWord(const std::string& arg) {
  return arg.size() > 1 && arg[0] == '-';
}

using Written = std::variant<std::vector<std::string>, std::string>;

// --name=VALUE: only for an option with one argument.
std::optional<std::string> LongWithValue(const std::string& arg, const ArityOf& arityOf,
                                         std::vector<std::string>& out) {
  const std::size_t equals = arg.find('=');
  const std::string name = arg.substr(0, equals);
  const std::optional<OptionArity> arity = arityOf(name);
  if (!arity) return "unknown option " + name;
  if (arity->count != 1 && !arity->optional) {
    return arity->count == 0 ? "option " + name + " takes no value"
                             : "option " + name + " takes " + std::to_string(arity->count) +
                                   " arguments: give them apart, not after =";
  }
  out.push_back(name);
  out.push_back(arg.substr(equals + 1));
  return std::nullopt;
}

// -abc: short options in a row; the first that takes an argument takes the
// rest of the word, or the next argument.
std::optional<std::string> ShortOptions(const std::vector<std::string>& args, std::size_t& i,
                                        const ArityOf& arityOf, std::vector<std::string>& out) {
  const std::string& word = args[i];
  for (std::size_t at = 1; at < word.size(); ++at) {
    const std::string name{'-', word[at]};
    const std::optional<OptionArity> arity = arityOf(name);
    if (!arity) {
      return word.size() == 2 ? "unknown option " + name : "unknown option " + name + " in " + word;
    }
    out.push_back(name);
    if (arity->count == 0) continue;
    if (at + 1 < word.size()) {
      out.push_back(word.substr(at + 1));
    } else {
      for (int k = 0; k < arity->count && i + 1 < args.size(); ++k) out.push_back(args[++i]);
    }
    return std::nullopt;
  }
  return std::nullopt;
}

}  // namespace

Written WrittenOut(const std::vector<std::string>& args, const ArityOf& arityOf) {
  std::vector<std::string> out;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--") {
      out.insert(out.end(), args.begin() + static_cast<std::ptrdiff_t>(i), args.end());
      break;
    }
    std::optional<std::string> error;
    if (!IsOptionWord(arg)) {
      out.push_back(arg);
    } else if (arg.starts_with("--") && arg.find('=') != std::string::npos) {
      error = LongWithValue(arg, arityOf, out);
    } else if (arg.starts_with("--")) {
      out.push_back(arg);
      // Its arguments go as they stand, whatever they begin with.
      const std::optional<OptionArity> arity = arityOf(arg);
      for (int k = 0; arity && k < arity->count && i + 1 < args.size(); ++k) {
        out.push_back(args[++i]);
      }
    } else {
      error = ShortOptions(args, i, arityOf, out);
    }
    if (error) return *error;
  }
  return out;
}

}  // namespace quillmere
