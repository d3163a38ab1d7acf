#pragma once

#include <cstddef>
#include <iosfwd>
#include <string>

namespace quillmere {

// Reads a stream line by line with a cap on a line's length: a longer line
// is passed over while it is read, never held whole.
class RecordLines {
 public:
  enum class Read {
    kLine,      // `line` holds the next line, without its line end
    kTooLong,   // the line was longer than the cap and has been passed over
    kNoMemory,  // there was no room for the line; it has been passed over
    kEnd,       // no more input (or it cannot be read: see `in.bad()`)
  };

  RecordLines(std::istream& in, std::size_t mostBytes) : in_(in), mostBytes_(mostBytes) {}

  // The next line. Its room is the line's size and one piece more: it is
  // read in pieces, then joined once.
  Read Next(std::string& line);

 private:
  // Reads the rest of the line into `pieces`, or past it once the line is
  // longer than the cap; the line's length so far is `length`.
  Read Gather(std::string& line, std::size_t& length);
  // Reads up to the line's end, keeping nothing.
  void SkipRest();

  std::istream& in_;
  std::size_t mostBytes_;
};

}  // namespace quillmere
