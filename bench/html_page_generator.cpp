#include "html_page_generator.h"

#include <array>
#include <random>
#include <string_view>

namespace quillmere::bench {
namespace {

constexpr std::array<std::string_view, 24> kWords = {
    "the",     "river", "quietly", "carried", "letters", "across", "a",      "valley",
    "where",   "old",   "mills",   "turned",  "slowly",  "under",  "grey",   "skies",
    "reading", "notes", "printed", "on",      "thin",    "paper",  "sheets", "today"};

class PageWriter {
 public:
  explicit PageWriter(std::uint32_t seed) : random_(seed) {}

  void Page(std::string& out) {
    out += "<!DOCTYPE html>\r\n<html>\r\n<head>\r\n\t<title>";
    Words(out, 4);
    out += "</title>\r\n\t<style>\r\n\t  body { font-family: serif; }\r\n\t</style>\r\n";
    out += "\t<script type=\"text/javascript\">\r\n\t  function show(id) { return id; }\r\n";
    out += "\t</script>\r\n</head>\r\n<body bgcolor=\"#ffffff\">\r\n";
    Navigation(out);
    for (int section = 0; section < 6; ++section) Section(out);
    out += "<!-- page footer -->\r\n<p><font size=\"1\">&copy; ";
    Words(out, 3);
    out += "</font></p>\r\n</body>\r\n</html>\r\n";
  }

 private:
  std::uint32_t Below(std::uint32_t n) { return static_cast<std::uint32_t>(random_() % n); }

  void Words(std::string& out, int count) {
    for (int i = 0; i < count; ++i) {
      if (i > 0) out += ' ';
      out += kWords[Below(kWords.size())];
    }
  }

  void Navigation(std::string& out) {
    out += "<ul class=\"nav\">\r\n";
    for (int i = 0; i < 5; ++i) {
      out += "  <li><a href=\"page" + std::to_string(Below(90)) + ".htm\">";
      Words(out, 2);
      out += "</a></li>\r\n";
    }
    out += "</ul>\r\n";
  }

  void Paragraph(std::string& out) {
    out += "<p>";
    const int sentences = 2 + static_cast<int>(Below(4));
    for (int s = 0; s < sentences; ++s) {
      switch (Below(6)) {
        case 0:
          out += "<b>";
          Words(out, 3);
          out += "</b> ";
          break;
        case 1:
          out += "<a href=\"#n" + std::to_string(Below(50)) + "\">";
          Words(out, 2);
          out += "</a> ";
          break;
        case 2:
          out += "<i>";
          Words(out, 2);
          out += "</i>  ";
          break;
        default:
          break;
      }
      Words(out, 8 + static_cast<int>(Below(10)));
      out += ".  ";
    }
    out += "</p>\r\n";
    if (Below(4) == 0) out += "<BR><BR>\r\n";
  }

  void Table(std::string& out) {
    out += "<table border=\"1\" cellpadding=\"2\">\r\n";
    for (int row = 0; row < 4; ++row) {
      out += "\t<tr>\r\n";
      for (int cell = 0; cell < 3; ++cell) {
        out += row == 0 ? "\t\t<th>" : "\t\t<td align=\"left\">";
        Words(out, 3);
        out += row == 0 ? "</th>\r\n" : "</td>\r\n";
      }
      out += "\t</tr>\r\n";
    }
    out += "</table>\r\n";
  }

  void Section(std::string& out) {
    out += "<h2>";
    Words(out, 3);
    out += "</h2>\r\n\r\n";
    const int paragraphs = 3 + static_cast<int>(Below(4));
    for (int i = 0; i < paragraphs; ++i) Paragraph(out);
    switch (Below(4)) {
      case 0:
        Table(out);
        break;
      case 1:
        out += "<img src=\"pic" + std::to_string(Below(40)) + ".jpg\" width=\"120\" alt=\"\">\r\n";
        break;
      case 2:
        out += "<form action=\"/send\" method=\"post\">\r\n  <input type=\"text\" name=\"q\">\r\n";
        out += "  <input type=\"submit\" value=\"Go\">\r\n</form>\r\n";
        break;
      default:
        out += "<ol>\r\n  <li>";
        Words(out, 4);
        out += "\r\n  <li>";
        Words(out, 4);
        out += "\r\n</ol>\r\n";
        break;
    }
  }

  std::mt19937 random_;
};

}  // namespace

std::string GenerateHtml(std::size_t approximateBytes, std::uint32_t seed) {
  std::string out;
  out.reserve(approximateBytes + 16384);
  PageWriter writer(seed);
  while (out.size() < approximateBytes) writer.Page(out);
  return out;
}

std::string Repeat(const std::string& unit, std::size_t count, const std::string& tail) {
  std::string out;
  out.reserve(unit.size() * count + tail.size());
  for (std::size_t i = 0; i < count; ++i) out += unit;
  out += tail;
  return out;
}

}  // namespace quillmere::bench
