#include "cli_docs.h"

#include <algorithm>
#include <string_view>

#include "cli_options.h"
#include "usage_text.h"

namespace quillmere {
namespace {

// What an option's argument is completed with.
enum class Completes { kNothing, kWord, kFile, kColour };

Completes CompletionOf(const OptionDoc& doc) {
  if (doc.arguments.empty() || doc.arguments.starts_with('[')) return Completes::kNothing;
  if (doc.arguments == "FILE" || doc.arguments == "LIST") return Completes::kFile;
  if (doc.arguments == "WHEN") return Completes::kColour;
  return Completes::kWord;
}

int ArgumentCount(const OptionDoc& doc) {
  if (doc.arguments.empty() || doc.arguments.starts_with('[')) return 0;
  return doc.arguments.find(' ') == std::string::npos ? 1 : 2;
}

constexpr const char* kColourWords = "auto always never";

// The help up to its first "; " or " (", for a completion's one line.
std::string Short(const std::string& help) {
  std::size_t end = std::min({help.find("; "), help.find(" ("), help.find(": ")});
  if (end == std::string::npos) end = help.size();
  return help.substr(0, end);
}

std::string Replaced(std::string text, std::string_view from, std::string_view to) {
  for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size()) {
    text.replace(at, from.size(), to);
  }
  return text;
}

// Text for roff: backslashes and dashes escaped, no line taken as a request.
std::string Roff(const std::string& text) {
  std::string out = Replaced(Replaced(text, "\\", "\\e"), "-", "\\-");
  out = Replaced(out, "\n", "\n\\&");
  return out.starts_with('.') || out.starts_with('\'') ? "\\&" + out : out;
}

std::string RoffParagraphs(std::string_view text) {
  std::string out;
  for (std::size_t start = 0; start <= text.size();) {
    std::size_t end = text.find("\n\n", start);
    if (end == std::string_view::npos) end = text.size();
    out += ".PP\n" + Roff(std::string(text.substr(start, end - start))) + "\n";
    start = end + 2;
  }
  return out;
}

std::string ShellQuoted(const std::string& arg) {
  if (arg.find_first_not_of(
          "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789-_./=") ==
      std::string::npos) {
    return arg;
  }
  return "'" + Replaced(arg, "'", "'\\''") + "'";
}

std::string ExampleLine(const CliExample& example) {
  std::string command = "quillmere-cli";
  for (const std::string& arg : example.args) command += " " + ShellQuoted(arg);
  return Replaced(example.shell, "%", command);
}

std::string ManOptions() {
  std::string out;
  std::string section;
  for (const OptionDoc& doc : OptionDocs()) {
    if (section != doc.section) {
      section = doc.section;
      out += ".SS " + Roff(section) + "\n";
    }
    out += ".TP\n";
    if (!doc.shortName.empty()) out += "\\fB" + Roff(doc.shortName) + "\\fR, ";
    out += "\\fB" + Roff(doc.name) + "\\fR";
    if (!doc.arguments.empty()) out += " \\fI" + Roff(doc.arguments) + "\\fR";
    out += "\n" + Roff(doc.help) + "\n";
  }
  return out;
}

std::string ManExamples() {
  std::string out;
  for (const CliExample& example : CliExamples()) {
    out += ".PP\n" + Roff(example.what) + "\n.PP\n.RS\n.nf\n" + Roff(ExampleLine(example)) +
           "\n.fi\n.RE\n";
  }
  return out;
}

// The options as bash's case patterns: "--rules|--files-from".
std::string BashPattern(Completes completes, int count) {
  std::string pattern;
  for (const OptionDoc& doc : OptionDocs()) {
    if (CompletionOf(doc) != completes || ArgumentCount(doc) < count) continue;
    for (const std::string& name : {doc.shortName, doc.name}) {
      if (!name.empty()) pattern += (pattern.empty() ? "" : "|") + name;
    }
  }
  return pattern.empty() ? "--no-such-option" : pattern;
}

std::string AllNames() {
  std::string names;
  for (const OptionDoc& doc : OptionDocs()) {
    names += (names.empty() ? "" : " ") + doc.name;
    if (!doc.shortName.empty()) names += " " + doc.shortName;
  }
  return names;
}

// Text inside single quotes for zsh's _arguments, with [ ] : escaped.
std::string ZshText(const std::string& text) {
  std::string out = Replaced(text, "'", "'\\''");
  for (const char* special : {"[", "]", ":"})
    out = Replaced(out, special, std::string("\\") + special);
  return out;
}

std::string ZshOptionEntry(const OptionDoc& doc, const std::string& name) {
  const int count = ArgumentCount(doc);
  // Options that add rules or patterns may be given again.
  const bool repeatable = doc.section == "Cleaning groups"
                              ? count > 0
                              : doc.help.find("repeatable") != std::string::npos;
  std::string entry = repeatable ? "*" : "";
  entry += name;
  if (count == 1) entry += name.starts_with("--") ? "=" : "+";
  entry += "[" + ZshText(Short(doc.help)) + "]";
  std::size_t start = 0;
  for (int i = 0; i < count; ++i) {
    const std::size_t space = doc.arguments.find(' ', start);
    const std::string argument = doc.arguments.substr(start, space - start);
    start = space + 1;
    const Completes completes = CompletionOf(doc);
    const std::string action = completes == Completes::kFile ? "_files"
                               : completes == Completes::kColour
                                   ? std::string("(") + kColourWords + ")"
                                   : " ";
    entry += ":" + ZshText(argument) + ":" + action;
  }
  return "  '" + entry + "' \\\n";
}

std::string FishQuoted(const std::string& text) {
  return "'" + Replaced(Replaced(text, "\\", "\\\\"), "'", "\\'") + "'";
}

}  // namespace

const std::vector<CliExample>& CliExamples() {
  static const std::vector<CliExample> examples{
      {"Clean a copy of one page: tables to text, no comments.",
       {"--tables", "--notes"},
       "% < page.htm > clean.htm"},
      {"Clean two files in place: the PDA preset, no font markup, and one replacement.",
       {"--pda", "--fonts", "--replace", "Colour", "Color", "page.htm", "news.html"},
       "%"},
      {"List the files of a site that removing scripts would change, writing nothing.",
       {"--dry-run", "-r", "--scripts", "site/"},
       "%"},
      {"Fail a CI job when any page would still change, printing nothing but errors.",
       {"--check", "-q", "-r", "--pda", "site/"},
       "%"},
      {"Review the changes in colour, page by page.",
       {"--diff", "--color=always", "--pda", "site/index.html"},
       "% | less -R"},
      {"Clean the files that find lists, four at a time.",
       {"--files-from", "-", "-0", "-j4", "--pda"},
       "find site -name '*.php' -print0 | %"},
      {"Put back the files of the last run.", {"--undo"}, "%"},
  };
  return examples;
}

std::string ManPage(const std::string& version) {
  std::string page = ".TH QUILLMERE\\-CLI 1 \"\" \"quillmere-cli " + Roff(version) +
                     "\" \"User Commands\"\n"
                     ".SH NAME\nquillmere\\-cli \\- clean HTML and text files in place, in "
                     "batches\n.SH SYNOPSIS\n.B quillmere\\-cli\n[\\fIOPTIONS\\fR] "
                     "[\\fIFILE\\fR...]\n.SH DESCRIPTION\n" +
                     Roff(kUsageDescription) + "\n.SH OPTIONS\n" + ManOptions() + ".SH NOTES\n" +
                     RoffParagraphs(kUsageNotes) + ".SH EXIT STATUS\n" + Roff(kUsageExitStatus) +
                     "\n.SH ENVIRONMENT\n"
                     ".TP\n.B NO_COLOR\nwhen set and not empty, \\-\\-color=auto gives no colour\n"
                     ".TP\n.B TERM\nthe terminal \\(lqdumb\\(rq gets no colour from "
                     "\\-\\-color=auto\n"
                     ".TP\n.B XDG_STATE_HOME\nthe undo journals are kept in its quillmere/runs "
                     "(default: ~/.local/state/quillmere/runs)\n"
                     ".SH EXAMPLES\n" +
                     ManExamples() + ".SH SEE ALSO\n.BR patch (1)\n";
  return page;
}

std::string BashCompletion() {
  return "# bash completion for quillmere-cli, made from its option table\n"
         "_quillmere_cli() {\n"
         "  local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}\n"
         "  local before=${COMP_WORDS[COMP_CWORD-2]}\n"
         "  # --opt=VALUE: bash splits at the =\n"
         "  if [[ $cur == = ]]; then cur=; fi\n"
         "  if [[ $prev == = ]]; then prev=$before; fi\n"
         "  case $prev in\n"
         "    " +
         BashPattern(Completes::kFile, 1) +
         ")\n"
         "      COMPREPLY=($(compgen -f -- \"$cur\")); return ;;\n"
         "    " +
         BashPattern(Completes::kColour, 1) +
         ")\n"
         "      COMPREPLY=($(compgen -W \"" +
         kColourWords +
         "\" -- \"$cur\")); return ;;\n"
         "    " +
         BashPattern(Completes::kWord, 1) +
         ")\n"
         "      return ;;\n"
         "  esac\n"
         "  case $before in\n"
         "    " +
         BashPattern(Completes::kWord, 2) +
         ")\n"
         "      return ;;\n"
         "  esac\n"
         "  if [[ $cur == -* ]]; then\n"
         "    COMPREPLY=($(compgen -W \"" +
         AllNames() +
         "\" -- \"$cur\"))\n"
         "    return\n"
         "  fi\n"
         "  COMPREPLY=($(compgen -f -- \"$cur\"))\n"
         "}\n"
         "complete -o filenames -F _quillmere_cli quillmere-cli\n";
}

std::string ZshCompletion() {
  std::string out =
      "#compdef quillmere-cli\n# zsh completion for quillmere-cli, made from its "
      "option table\n_arguments -s -S \\\n";
  for (const OptionDoc& doc : OptionDocs()) {
    if (!doc.shortName.empty()) out += ZshOptionEntry(doc, doc.shortName);
    out += ZshOptionEntry(doc, doc.name);
  }
  return out + "  '*:FILE:_files'\n";
}

std::string FishCompletion() {
  std::string out = "# fish completion for quillmere-cli, made from its option table\n";
  for (const OptionDoc& doc : OptionDocs()) {
    out += "complete -c quillmere-cli";
    if (!doc.shortName.empty()) out += " -s " + doc.shortName.substr(1);
    out += " -l " + doc.name.substr(2);
    switch (CompletionOf(doc)) {
      case Completes::kFile:
        out += " -r -F";
        break;
      case Completes::kColour:
        out += std::string(" -x -a ") + FishQuoted(kColourWords);
        break;
      case Completes::kWord:
        out += " -x";
        break;
      case Completes::kNothing:
        break;
    }
    out += " -d " + FishQuoted(Short(doc.help)) + "\n";
  }
  return out;
}

}  // namespace quillmere
