#pragma once

#include <string>

namespace quillmere {

// The prose of --help and of the manual page, beside the options that
// OptionDocs() lists, so that both say the same.
inline constexpr const char* kUsageSynopsis = "quillmere-cli [OPTIONS] [FILE...]";
inline constexpr const char* kUsageDescription =
    "Cleans HTML and plain-text files. With no FILE (or the FILE -), cleans standard input to "
    "standard output. With FILEs, cleans each file in place; a file is rewritten only when its "
    "text changed.";
// Paragraphs separated by blank lines.
inline constexpr const char* kUsageNotes =
    "Each kind of rule (--remove-text, --remove-block, --replace) runs in the order given, at "
    "its group's place. No TEXT, BEGIN, END, SEARCH or REPLACEMENT may be empty; to delete a "
    "text, use --remove-text TEXT.\n\n"
    "A rules file holds one cleaning option per line without its dashes, and its texts: replace "
    "\"Colour\" \"Color\". A text in double quotes may hold spaces and the escapes \\\" \\\\ \\t "
    "\\n \\r \\xHH; a line beginning with # is a comment.\n\n"
    "Options with one argument take the forms --jobs=2, -j2 and -j 2; short options bundle "
    "(-rj2). \"--\" ends the options: every argument after it is a FILE. A lone - is standard "
    "input, for FILE, --rules and --files-from.\n\n"
    "A GLOB without / matches file names at any depth; with /, the path below the folder given; "
    "* and ? never match /, ** matches any number of folders.\n\n"
    "Errors go to standard error as \"File open error: PATH\" or \"File save error: PATH\", a "
    "tab, and the reason.";
inline constexpr const char* kUsageExitStatus =
    "0 success, 1 a file or input could not be cleaned (or with --check would change), 2 usage "
    "error, 128 plus the signal's number when a signal stopped the run (130 for Ctrl+C).";

// The text printed for --help, made from the same tables as the parser.
std::string UsageText();

// The option as --help heads its line: "-j, --jobs N".
std::string OptionHeading(const struct OptionDoc& doc);

}  // namespace quillmere
