#include "filter_mode.h"

#include <array>
#include <cstring>
#include <istream>
#include <new>
#include <optional>
#include <ostream>
#include <stdexcept>

#include "cli.h"
#include "diff_labels.h"
#include "encoded_cleaning.h"
#include "file_encoding.h"
#include "file_store.h"
#include "large_pages.h"
#include "readable_text.h"

#ifdef QUILLMERE_HAVE_DIFF
#include "text_diff.h"
#endif

namespace quillmere {
namespace {

enum class ReadFailure { kNone, kCannotRead, kNulByte, kTooLarge };

// Room for what is left of `in` when it can tell (a file, not a pipe), so the
// text is read once into its place instead of copied as the string grows.
void ReserveRest(std::istream& in, std::string& data) {
  const std::istream::pos_type here = in.tellg();
  if (here == std::istream::pos_type(-1)) return;
  in.seekg(0, std::ios::end);
  const std::istream::pos_type end = in.tellg();
  in.seekg(here);
  in.clear();
  // One byte more, so that the read that finds the end needs no new room.
  if (end == std::istream::pos_type(-1) || end <= here) return;
  data.reserve(static_cast<std::size_t>(end - here) + 1);
  PreferLargePages(data.data(), data.capacity());
}

bool StartsAsUtf16(const std::string& data) {
  return data.rfind("\xFF\xFE", 0) == 0 || data.rfind("\xFE\xFF", 0) == 0;
}

// Whether the run reads every input as UTF-16, mark or not.
bool ForcedUtf16(const EncodingChoice& choice) {
  const std::optional<FileEncoding> forced = EncodingNamed(choice.forced);
  return forced && (forced->kind == FileEncoding::Kind::kUtf16Le ||
                    forced->kind == FileEncoding::Kind::kUtf16Be);
}

// Reads all of `in`, giving up at the first NUL byte unless the input is
// UTF-16 text (a byte order mark, or UTF-16 forced): other input with one is
// no text, and an endless one (/dev/zero) must not be read until memory runs
// out. No input is read beyond the largest file a run takes.
ReadFailure ReadAll(std::istream& in, std::string& data, bool utf16) {
  ReserveRest(in, data);
  std::array<char, 1 << 16> chunk;
  while (in.read(chunk.data(), chunk.size()) || in.gcount() > 0) {
    const auto count = static_cast<std::size_t>(in.gcount());
    data.append(chunk.data(), count);
    if (!utf16 && !StartsAsUtf16(data) && std::memchr(chunk.data(), '\0', count) != nullptr) {
      return ReadFailure::kNulByte;
    }
    if (data.size() > kMaxLoadSize) return ReadFailure::kTooLarge;
  }
  return in.bad() ? ReadFailure::kCannotRead : ReadFailure::kNone;
}

// The cleaned text, or the diff that the cleaning makes (in UTF-8 for text
// in another encoding).
void WriteResult(const FilterOutput& output, const EncodingChoice& encoding, std::string before,
                 const std::string& after, std::ostream& out) {
  if (output.diff) {
#ifdef QUILLMERE_HAVE_DIFF
    const std::string label = DiffLabel("-", TimeNow());
    const ReadableTexts texts = ToReadableTexts(std::move(before), after, encoding);
    out << UnifiedDiff(texts.before, texts.after, label, label, output.colour);
#else
    (void)encoding;
    (void)before;
#endif
    return;
  }
  if (!output.check) out.write(after.data(), static_cast<std::streamsize>(after.size()));
}

int CleanAndWrite(const CleaningOptions& options, const FilterOutput& output, std::istream& in,
                  std::ostream& out, std::ostream& err) {
  std::string input;
  switch (ReadAll(in, input, ForcedUtf16(options.encoding))) {
    case ReadFailure::kCannotRead:
      err << "quillmere-cli: cannot read standard input\n";
      return kExitFailure;
    case ReadFailure::kNulByte:
      err << "quillmere-cli: standard input holds a NUL byte; it is not text (UTF-16 without "
             "its byte order mark needs --encoding)\n";
      return kExitFailure;
    case ReadFailure::kTooLarge:
      err << "quillmere-cli: standard input is refused: "
          << ReasonText(FileError{FileProblem::kTooLarge, ""}) << "\n";
      return kExitFailure;
    case ReadFailure::kNone:
      break;
  }
  // Only a diff needs the text as it was.
  std::string before = output.diff ? input : std::string();
  EncodedCleaning cleaned = CleanEncoded(std::move(input), options);
  if (cleaned.error) {
    err << "quillmere-cli: standard input is refused: " << ReasonText(*cleaned.error) << "\n";
    return kExitFailure;
  }
  if (cleaned.textLeftOut) err << "quillmere-cli: " << LeftOutText(cleaned.encoding) << "\n";
  WriteResult(output, options.encoding, std::move(before), cleaned.bytes, out);
  out.flush();
  if (!out) {
    err << "quillmere-cli: cannot write standard output\n";
    return kExitFailure;
  }
  return output.check && cleaned.modified ? kExitFailure : kExitOk;
}

}  // namespace

int RunFilterMode(const CleaningOptions& options, const FilterOutput& output, std::istream& in,
                  std::ostream& out, std::ostream& err) {
  try {
    return CleanAndWrite(options, output, in, out, err);
  } catch (const std::bad_alloc&) {
  } catch (const std::length_error&) {
  }
  err << "quillmere-cli: out of memory: the input or its cleaned text does not fit; "
         "nothing was written\n";
  return kExitFailure;
}

}  // namespace quillmere
