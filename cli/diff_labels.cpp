#include "diff_labels.h"

#include <chrono>
#include <cstdio>
#include <ctime>

namespace quillmere {
namespace {

bool NeedsQuotes(const std::string& name) {
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F || c == '"' || c == '\\') return true;
  }
  return false;
}

std::string Quoted(const std::string& name) {
  std::string out = "\"";
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    switch (c) {
      case '"':
        out += "\\\"";
        continue;
      case '\\':
        out += "\\\\";
        continue;
      case '\a':
        out += "\\a";
        continue;
      case '\b':
        out += "\\b";
        continue;
      case '\t':
        out += "\\t";
        continue;
      case '\n':
        out += "\\n";
        continue;
      case '\v':
        out += "\\v";
        continue;
      case '\f':
        out += "\\f";
        continue;
      case '\r':
        out += "\\r";
        continue;
      default:
        break;
    }
    if (byte < 0x20 || byte == 0x7F) {
      char octal[5];
      std::snprintf(octal, sizeof octal, "\\%03o", byte);
      out += octal;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

std::string TimeText(const Timestamp& time) {
  const auto seconds = static_cast<std::time_t>(time.seconds);
  std::tm parts{};
#ifdef _WIN32
  gmtime_s(&parts, &seconds);
  const char* zone = " +0000";
#else
  localtime_r(&seconds, &parts);
  char zone[16];
  std::strftime(zone, sizeof zone, " %z", &parts);
#endif
  char date[40];
  std::strftime(date, sizeof date, "%Y-%m-%d %H:%M:%S", &parts);
  char nanoseconds[16];
  std::snprintf(nanoseconds, sizeof nanoseconds, ".%09lld",
                static_cast<long long>(time.nanoseconds));
  return std::string(date) + nanoseconds + zone;
}

}  // namespace

std::string DiffLabel(const std::string& name, const Timestamp& time) {
  return (NeedsQuotes(name) ? Quoted(name) : name) + '\t' + TimeText(time);
}

Timestamp TimeNow() {
  const auto since = std::chrono::system_clock::now().time_since_epoch();
  const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(since);
  return {seconds.count(),
          std::chrono::duration_cast<std::chrono::nanoseconds>(since - seconds).count()};
}

}  // namespace quillmere
