#include "usage_text.h"

#include <string_view>

#include "cli_options.h"

namespace quillmere {
namespace {

// "  --remove-text TEXT    remove every TEXT", the help in a column; an
// option too long for its column gets the help on the next line.
constexpr std::size_t kHelpColumn = 24;
constexpr std::size_t kLineWidth = 78;

// Wraps text to `width`, each next line after `indent` spaces.
std::string Wrapped(std::string_view text, std::size_t width, std::size_t indent) {
  std::string out;
  std::size_t lineStart = 0;
  for (std::size_t start = 0; start < text.size();) {
    std::size_t end = text.find(' ', start);
    if (end == std::string_view::npos) end = text.size();
    if (out.size() - lineStart + (end - start) > width && out.size() > lineStart) {
      out.back() = '\n';
      out.append(indent, ' ');
      lineStart = out.size();
    }
    out.append(text, start, end - start);
    out += ' ';
    start = end + 1;
  }
  if (!out.empty()) out.pop_back();
  return out;
}

std::string OptionLine(const std::string& option, const std::string& help) {
  std::string line = "  " + option;
  if (line.size() + 2 > kHelpColumn) {
    line += "\n";
    line.append(kHelpColumn, ' ');
  } else {
    line.append(kHelpColumn - line.size(), ' ');
  }
  return line + Wrapped(help, kLineWidth - kHelpColumn, kHelpColumn) + "\n";
}

// Paragraphs separated by blank lines, each wrapped.
std::string Paragraphs(std::string_view text) {
  std::string out;
  for (std::size_t start = 0; start <= text.size();) {
    std::size_t end = text.find("\n\n", start);
    if (end == std::string_view::npos) end = text.size();
    out += Wrapped(text.substr(start, end - start), kLineWidth, 0) + "\n";
    start = end + 2;
  }
  return out;
}

}  // namespace

std::string OptionHeading(const OptionDoc& doc) {
  std::string heading = doc.shortName.empty() ? doc.name : doc.shortName + ", " + doc.name;
  if (!doc.arguments.empty()) heading += " " + doc.arguments;
  return heading;
}

std::string UsageText() {
  std::string text = std::string("Usage: ") + kUsageSynopsis + "\n" +
                     Wrapped(kUsageDescription, kLineWidth, 0) + "\n";
  std::string section;
  for (const OptionDoc& doc : OptionDocs()) {
    if (section != doc.section) {
      section = doc.section;
      text += "\n" + section;
      if (section == "Cleaning groups")
        text += " (applied in this order, whatever the order given)";
      text += ":\n";
    }
    text += OptionLine(OptionHeading(doc), doc.help);
  }
  text += "\n" + Paragraphs(kUsageNotes);
  text += Wrapped(std::string("Exit status: ") + kUsageExitStatus, kLineWidth, 0) + "\n";
  return text;
}

}  // namespace quillmere
