# The Unicode simple case folding table, generated from Debian's unicode-data
# (CaseFolding.txt) when configuring, so that every target folds alike.
set(QUILLMERE_CASE_FOLDING_FILE "/usr/share/unicode/CaseFolding.txt"
    CACHE FILEPATH "Unicode's CaseFolding.txt (Debian package unicode-data)")

function(quillmere_generate_case_folding output)
  if(NOT EXISTS "${QUILLMERE_CASE_FOLDING_FILE}")
    message(FATAL_ERROR "${QUILLMERE_CASE_FOLDING_FILE} is missing: install unicode-data")
  endif()
  file(STRINGS "${QUILLMERE_CASE_FOLDING_FILE}" lines REGEX "^[0-9A-F]+; [CS]; [0-9A-F]+;")
  set(entries "")
  foreach(line IN LISTS lines)
    string(REGEX MATCH "^([0-9A-F]+); [CS]; ([0-9A-F]+);" _ "${line}")
    string(APPEND entries "    {0x${CMAKE_MATCH_1}, 0x${CMAKE_MATCH_2}},\n")
  endforeach()
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${QUILLMERE_CASE_FOLDING_FILE}")
  file(CONFIGURE OUTPUT "${output}" CONTENT "// Generated from CaseFolding.txt; do not edit.
#include \"case_folding_table.h\"

namespace quillmere::detail {

const CaseFoldingPair kCaseFoldingPairs[] = {
${entries}};
const std::size_t kCaseFoldingPairCount = sizeof kCaseFoldingPairs / sizeof kCaseFoldingPairs[0];

}  // namespace quillmere::detail
" @ONLY)
endfunction()
