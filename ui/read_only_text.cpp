#include "read_only_text.h"

#include <QtGlobal>

namespace quillmere {

QString ReadOnlyTextInterface::text(int startOffset, int endOffset) const {
  const QString all = wholeText();
  const int size = int(all.size());
  startOffset = qBound(0, startOffset, size);
  endOffset = endOffset < 0 ? size : qBound(startOffset, endOffset, size);
  return all.mid(startOffset, endOffset - startOffset);
}

void ReadOnlyTextInterface::selection(int, int* startOffset, int* endOffset) const {
  *startOffset = 0;
  *endOffset = 0;
}

QString ReadOnlyTextInterface::attributes(int, int* startOffset, int* endOffset) const {
  *startOffset = 0;
  *endOffset = characterCount();
  return {};
}

}  // namespace quillmere
