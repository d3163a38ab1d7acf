#pragma once

#include <memory>
#include <utility>
#include <vector>

#include "file_store_layer.h"

namespace quillmere {

// Layers put over a base store, each over the one added before it; calls go
// to the top one.
class LayeredFileStore final : public FileStoreLayer {
 public:
  explicit LayeredFileStore(FileStore& base) : FileStoreLayer(base) {}

  void SaveInBatch(const std::string& path, const std::string& text, SaveDone done) override {
    ForwardSaveInBatch(path, text, std::move(done));
  }

  template <class Layer, class... Args>
  Layer& Add(Args&&... args) {
    auto layer = std::make_unique<Layer>(inner(), std::forward<Args>(args)...);
    Layer& added = *layer;
    SetInner(added);
    layers_.push_back(std::move(layer));
    return added;
  }

 private:
  std::vector<std::unique_ptr<FileStore>> layers_;
};

}  // namespace quillmere
