#include "record_answer.h"

#include <new>
#include <ostream>
#include <sstream>
#include <stdexcept>
#include <variant>

#include "cleaning_pass.h"
#include "record_reader.h"

namespace quillmere {
namespace {

bool Blank(const std::string& line) {
  return line.find_first_not_of(" \t\r\n") == std::string::npos;
}

void WriteProblem(const Json& id, const std::string& reason, std::ostream& out) {
  Json answer;
  answer["id"] = id;
  answer["error"] = reason;
  out << JsonLine(answer);
}

// Reads, cleans and answers one record; the line's room becomes the text's.
void Answer(const CleaningOptions& options, std::string& line, Json& id, std::ostream& out) {
  std::variant<RecordParts, RecordProblem> read = ReadRecord(std::move(line));
  if (auto* problem = std::get_if<RecordProblem>(&read)) {
    WriteProblem(problem->id, problem->reason, out);
    return;
  }
  auto& parts = std::get<RecordParts>(read);
  id = std::move(parts.id);
  if (parts.text.find('\0') != std::string::npos) {
    WriteProblem(id, "the text holds a NUL byte; it is not 8-bit text", out);
    return;
  }
  TextBuffer buffer{std::move(parts.text)};
  CleanText(buffer, options);
  out << "{\"id\":" << id.dump(-1, ' ', false, Json::error_handler_t::replace) << ',';
  WriteBytes(out, "text", buffer.text);
  out << ",\"changed\":" << (buffer.modified ? "true" : "false") << "}\n";
}

}  // namespace

void WriteAnswer(const CleaningOptions& options, std::string line, std::ostream& out) {
  if (Blank(line)) return;
  Json id;
  try {
    Answer(options, line, id, out);
    return;
  } catch (const std::bad_alloc&) {
  } catch (const std::length_error&) {
  }
  std::string().swap(line);
  WriteProblem(id, "out of memory", out);
}

std::string AnswerLine(const CleaningOptions& options, std::string line) {
  std::ostringstream out;
  WriteAnswer(options, std::move(line), out);
  return out.str();
}

void WriteErrorAnswer(const std::string& reason, std::ostream& out) {
  WriteProblem(nullptr, reason, out);
}

}  // namespace quillmere
