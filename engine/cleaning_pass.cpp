#include "cleaning_pass.h"

#include <span>
#include <string_view>

#include "text_primitives.h"

namespace quillmere {
namespace {

enum class Edit {
  kRemoveAll,       // RemoveAllText(a)
  kRemoveBlocks,    // RemoveBlocks(a, b)
  kReplaceBlocks,   // ReplaceBlocks(a, b, c)
  kReplaceAll,      // ReplaceAllText(a, b) in the run's case mode
  kReplaceOnePass,  // ReplaceOnePass(a, b)
  kTrim,            // TrimWhiteSpace
  kCollapseBreaks,  // ReplaceAllText("<BR><BR>", "<BR>") until none is left
};

struct Step {
  Edit edit;
  std::string_view a{};
  std::string_view b{};
  std::string_view c{};
};

constexpr Step kTables[] = {
    {Edit::kRemoveBlocks, "<table", ">"},
    {Edit::kRemoveAll, "</table>"},
    {Edit::kRemoveAll, "<tr>"},
    {Edit::kRemoveAll, "</tr>"},
    {Edit::kReplaceBlocks, "<td", ">", "<p>"},
    {Edit::kReplaceBlocks, "<th", ">", "<p>"},
    {Edit::kReplaceAll, "</td>", "</p>"},
    {Edit::kReplaceAll, "</th>", "</p>"},
};
constexpr Step kScripts[] = {
    {Edit::kRemoveBlocks, "<script", "/script>"},
    {Edit::kRemoveBlocks, "<applet", "/applet>"},
};
constexpr Step kPictures[] = {{Edit::kRemoveBlocks, "<img", ">"}};
constexpr Step kForms[] = {{Edit::kRemoveBlocks, "<form", "/form>"}};
constexpr Step kSounds[] = {{Edit::kRemoveBlocks, "<bgsound", ">"}};
constexpr Step kNotes[] = {
    {Edit::kTrim},
    {Edit::kReplaceOnePass, "  ", " "},
    {Edit::kCollapseBreaks},
    {Edit::kReplaceOnePass, "\t", ""},
    {Edit::kReplaceOnePass, "\r\n\r\n", "\r\n"},
    {Edit::kReplaceOnePass, "\r\n ", "\r\n"},
    {Edit::kRemoveBlocks, "<!--", "-->"},
    {Edit::kRemoveAll, "<p></p>"},
    {Edit::kRemoveAll, "<p>\r\n</p>"},
};
constexpr Step kLists[] = {
    {Edit::kRemoveAll, "<NOBR>"},
    {Edit::kRemoveAll, "</NOBR>"},
    {Edit::kRemoveBlocks, "<UL", ">"},
    {Edit::kRemoveAll, "</UL>"},
    {Edit::kRemoveBlocks, "<OL", ">"},
    {Edit::kRemoveAll, "</OL>"},
    {Edit::kReplaceBlocks, "<LI", ">", "<BR>"},
    {Edit::kRemoveAll, "</LI>"},
    {Edit::kRemoveAll, "<DL>"},
    {Edit::kRemoveAll, "</DL>"},
    {Edit::kRemoveAll, "<DT>"},
    {Edit::kRemoveAll, "</DT>"},
    {Edit::kReplaceAll, "<DD>", "<BR>"},
    {Edit::kRemoveAll, "</DD>"},
    {Edit::kRemoveAll, "<menu>"},
    {Edit::kRemoveAll, "</menu>"},
    {Edit::kRemoveAll, "<dir>"},
    {Edit::kRemoveAll, "</dir>"},
};
constexpr Step kFonts[] = {
    {Edit::kRemoveAll, "<B>"},
    {Edit::kRemoveAll, "</B>"},
    {Edit::kRemoveAll, "<U>"},
    {Edit::kRemoveAll, "</U>"},
    {Edit::kRemoveAll, "<I>"},
    {Edit::kRemoveAll, "</I>"},
    {Edit::kRemoveAll, "<S>"},
    {Edit::kRemoveAll, "</S>"},
    {Edit::kRemoveAll, "<TT>"},
    {Edit::kRemoveAll, "</TT>"},
    {Edit::kRemoveAll, "<BIG>"},
    {Edit::kRemoveAll, "</BIG>"},
    {Edit::kRemoveAll, "<SMALL>"},
    {Edit::kRemoveAll, "</SMALL>"},
    {Edit::kRemoveBlocks, "<FONT", ">"},
    {Edit::kRemoveAll, "</FONT>"},
    {Edit::kRemoveBlocks, "<BASEFONT", ">"},
    {Edit::kRemoveAll, "</BASEFONT>"},
    {Edit::kRemoveAll, "<blockquote>"},
    {Edit::kRemoveAll, "</blockquote>"},
};

constexpr std::string_view kDoubleBreak = "<BR><BR>";

void CollapseBreaks(TextBuffer& buffer, bool caseSensitive) {
  do {
    ReplaceAllText(buffer, kDoubleBreak, "<BR>", caseSensitive);
  } while (FindText(kDoubleBreak, buffer.text, 0, caseSensitive) != -1);
}

void RunStep(TextBuffer& buffer, const Step& step, bool caseSensitive) {
  switch (step.edit) {
    case Edit::kRemoveAll:
      RemoveAllText(buffer, step.a);
      break;
    case Edit::kRemoveBlocks:
      RemoveBlocks(buffer, step.a, step.b);
      break;
    case Edit::kReplaceBlocks:
      ReplaceBlocks(buffer, step.a, step.b, step.c);
      break;
    case Edit::kReplaceAll:
      ReplaceAllText(buffer, step.a, step.b, caseSensitive);
      break;
    case Edit::kReplaceOnePass:
      ReplaceOnePass(buffer, step.a, step.b);
      break;
    case Edit::kTrim:
      TrimWhiteSpace(buffer);
      break;
    case Edit::kCollapseBreaks:
      CollapseBreaks(buffer, caseSensitive);
      break;
  }
}

void RunGroup(TextBuffer& buffer, std::span<const Step> steps, bool caseSensitive) {
  for (const Step& step : steps) RunStep(buffer, step, caseSensitive);
}

}  // namespace

void CleanText(TextBuffer& buffer, const CleaningOptions& options) {
  const bool caseSensitive = options.caseSensitive != 0;
  if (options.convertTables) RunGroup(buffer, kTables, caseSensitive);
  if (options.removeScripts) RunGroup(buffer, kScripts, caseSensitive);
  if (options.removePictures) RunGroup(buffer, kPictures, caseSensitive);
  if (options.removeForms) RunGroup(buffer, kForms, caseSensitive);
  if (options.removeSounds) RunGroup(buffer, kSounds, caseSensitive);
  // The user's texts take part only when they are not empty.
  if (options.removeTextEnabled && !options.removeText.empty()) {
    RemoveAllText(buffer, options.removeText);
  }
  if (options.removeBlockEnabled && !options.blockBegin.empty() && !options.blockEnd.empty()) {
    RemoveBlocks(buffer, options.blockBegin, options.blockEnd);
  }
  if (options.searchEnabled && !options.searchText.empty() && !options.replaceText.empty()) {
    ReplaceAllText(buffer, options.searchText, options.replaceText, caseSensitive);
  }
  if (options.cleanNotes) RunGroup(buffer, kNotes, caseSensitive);
  if (options.convertLists) RunGroup(buffer, kLists, caseSensitive);
  if (options.removeFonts) RunGroup(buffer, kFonts, caseSensitive);
}

}  // namespace quillmere
