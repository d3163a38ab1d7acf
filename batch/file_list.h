#pragma once

#include <string>
#include <unordered_set>
#include <vector>

#include "platform_services.h"
#include "window_fields.h"

namespace quillmere {

class BatchRun;

// The list of files the next run cleans: newest at the top, no two
// byte-identical. Filled by the open-file dialog and by drops, emptied by CLR.
// None of the three handlers changes the list while a run goes on.
class FileList {
 public:
  FileList(PlatformServices& platform, WindowFields& fields, const BatchRun& run);

  // Inserts the path at the top unless a byte-identical path is listed.
  void AddPath(const std::string& path);

  void OnAddFiles();
  void OnClear();
  // Files dropped on the window; ignored while a run goes on.
  void OnDropFiles(const std::vector<std::string>& paths);

 private:
  void ReportSelected();
  // Rebuilds the set of listed paths if the list control was changed behind
  // this object's back.
  void SyncListed();

  PlatformServices& platform_;
  WindowFields& fields_;
  const BatchRun& run_;
  // The listed paths, so that a duplicate is found without scanning the list.
  std::unordered_set<std::string> listed_;
};

}  // namespace quillmere
