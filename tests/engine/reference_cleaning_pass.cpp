#include "reference_engine.h"

// The cleaning pass written out step by step, independently of the engine's
// step tables.
namespace quillmere::reference {
namespace {

void Tables(TextBuffer& b, bool cs) {
  RemoveBlocks(b, "<table", ">");
  RemoveAllText(b, "</table>");
  RemoveAllText(b, "<tr>");
  RemoveAllText(b, "</tr>");
  ReplaceBlocks(b, "<td", ">", "<p>");
  ReplaceBlocks(b, "<th", ">", "<p>");
  ReplaceAllText(b, "</td>", "</p>", cs);
  ReplaceAllText(b, "</th>", "</p>", cs);
}

void Notes(TextBuffer& b, bool cs) {
  TrimWhiteSpace(b);
  ReplaceOnePass(b, "  ", " ");
  do {
    ReplaceAllText(b, "<BR><BR>", "<BR>", cs);
  } while (FindText("<BR><BR>", b.text, 0, cs) != -1);
  ReplaceOnePass(b, "\t", "");
  ReplaceOnePass(b, "\r\n\r\n", "\r\n");
  ReplaceOnePass(b, "\r\n ", "\r\n");
  RemoveBlocks(b, "<!--", "-->");
  RemoveAllText(b, "<p></p>");
  RemoveAllText(b, "<p>\r\n</p>");
}

void Lists(TextBuffer& b, bool cs) {
  RemoveAllText(b, "<NOBR>");
  RemoveAllText(b, "</NOBR>");
  RemoveBlocks(b, "<UL", ">");
  RemoveAllText(b, "</UL>");
  RemoveBlocks(b, "<OL", ">");
  RemoveAllText(b, "</OL>");
  ReplaceBlocks(b, "<LI", ">", "<BR>");
  RemoveAllText(b, "</LI>");
  RemoveAllText(b, "<DL>");
  RemoveAllText(b, "</DL>");
  RemoveAllText(b, "<DT>");
  RemoveAllText(b, "</DT>");
  ReplaceAllText(b, "<DD>", "<BR>", cs);
  RemoveAllText(b, "</DD>");
  RemoveAllText(b, "<menu>");
  RemoveAllText(b, "</menu>");
  RemoveAllText(b, "<dir>");
  RemoveAllText(b, "</dir>");
}

void Fonts(TextBuffer& b) {
  for (const char* tag : {"<B>", "</B>", "<U>", "</U>", "<I>", "</I>", "<S>", "</S>", "<TT>",
                          "</TT>", "<BIG>", "</BIG>", "<SMALL>", "</SMALL>"}) {
    RemoveAllText(b, tag);
  }
  RemoveBlocks(b, "<FONT", ">");
  RemoveAllText(b, "</FONT>");
  RemoveBlocks(b, "<BASEFONT", ">");
  RemoveAllText(b, "</BASEFONT>");
  RemoveAllText(b, "<blockquote>");
  RemoveAllText(b, "</blockquote>");
}

}  // namespace

void CleanText(TextBuffer& b, const CleaningOptions& o) {
  const bool cs = o.caseSensitive != 0;
  if (o.convertTables != 0) Tables(b, cs);
  if (o.removeScripts != 0) {
    RemoveBlocks(b, "<script", "/script>");
    RemoveBlocks(b, "<applet", "/applet>");
  }
  if (o.removePictures != 0) RemoveBlocks(b, "<img", ">");
  if (o.removeForms != 0) RemoveBlocks(b, "<form", "/form>");
  if (o.removeSounds != 0) RemoveBlocks(b, "<bgsound", ">");
  if (o.removeTextEnabled != 0) {
    if (o.removeText.size() > 0) RemoveAllUserText(b, o.removeText);
    for (const TextRule& r : o.rules) {
      if (r.kind == TextRule::Kind::kRemoveText && r.first.size() > 0)
        RemoveAllUserText(b, r.first);
    }
  }
  if (o.removeBlockEnabled != 0) {
    if (o.blockBegin.size() > 0 && o.blockEnd.size() > 0)
      RemoveUserBlocks(b, o.blockBegin, o.blockEnd);
    for (const TextRule& r : o.rules) {
      if (r.kind == TextRule::Kind::kRemoveBlock && r.first.size() > 0 && r.second.size() > 0) {
        RemoveUserBlocks(b, r.first, r.second);
      }
    }
  }
  if (o.searchEnabled != 0) {
    if (o.searchText.size() > 0 && o.replaceText.size() > 0) {
      ReplaceAllUserText(b, o.searchText, o.replaceText, cs);
    }
    for (const TextRule& r : o.rules) {
      if (r.kind == TextRule::Kind::kReplace && r.first.size() > 0 && r.second.size() > 0) {
        ReplaceAllUserText(b, r.first, r.second, cs);
      }
    }
  }
  if (o.cleanNotes != 0) Notes(b, cs);
  if (o.convertLists != 0) Lists(b, cs);
  if (o.removeFonts != 0) Fonts(b);
}

}  // namespace quillmere::reference
