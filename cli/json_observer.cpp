#include "json_observer.h"

#include <ostream>

#include "json_report.h"

namespace quillmere {

void JsonObserver::FileFinished(int, const std::string& path, const FileOutcome& outcome) {
  CountHandled();
  out_ << JsonFileLine(path, outcome);
}

}  // namespace quillmere
