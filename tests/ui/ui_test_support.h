#pragma once

#include <gtest/gtest.h>

#include <QString>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "file_store.h"
#include "main_dlg.h"

class QMimeData;

// Readable QStrings in failure messages.
inline void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}

namespace quillmere::test {

// The system's file store, recording every load and save and calling `onLoad`
// before each load (where a test can queue events for the next draining).
class ObservedStore : public FileStore {
 public:
  LoadedFile Load(const std::string& path) override;
  LoadedFile Peek(const std::string& path) override { return system_->Peek(path); }
  std::optional<FileError> Save(const std::string& path, const std::string& text) override;
  std::optional<FileError> CheckSave(const std::string& path) override {
    return system_->CheckSave(path);
  }
  std::optional<FileError> Stamp(const std::string& path, FileStamp& stamp) override {
    return system_->Stamp(path, stamp);
  }
  std::optional<FileError> Restamp(const std::string& path, const FileStamp& stamp) override {
    return system_->Restamp(path, stamp);
  }

  std::function<void(const std::string&)> onLoad;
  std::vector<std::string> loaded;
  std::vector<std::string> saved;

 private:
  std::unique_ptr<FileStore> system_ = MakeSystemFileStore();
};

std::string ToStd(const QString& text);
std::string WriteFile(const QTemporaryDir& dir, const QString& name, const std::string& content);
std::string ReadFile(const std::string& path);

// Runs `action` from the event queue: at the next draining of a run, or the
// next time the test spins the event loop.
void Queue(std::function<void()> action);

// Sends a drag-enter and, if it was accepted, a drop of `data` to `target`.
// Returns whether the drop was accepted.
bool SendDrop(QWidget& target, QMimeData* data);
QMimeData* LocalFilesData(const std::vector<std::string>& paths);

// A shown main window on a recording store, with helpers to reach and drive
// its controls.
class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  template <typename T>
  T* Get(int id) const {
    return qobject_cast<T*>(window->control(id));
  }
  QString Status() const;
  QString Percent() const;
  int Progress() const;
  std::vector<std::string> Listed() const;

  // A left click in the middle of the control (on a check box's box).
  void Click(int id);
  void AddByDialog(const std::vector<std::string>& paths);
  void TypeInto(int id, const QString& text);

  std::unique_ptr<CMainDlg> window;
  ObservedStore* store = nullptr;
  QTemporaryDir dir;
};

}  // namespace quillmere::test
