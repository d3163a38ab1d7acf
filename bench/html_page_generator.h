#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace quillmere::bench {

// Writes HTML pages of the kind the tool is used on: a head with style and
// script, navigation lists, tables, paragraphs with inline markup, links,
// images, forms, comments, CRLF line ends and indentation. Deterministic for a
// given seed.
std::string GenerateHtml(std::size_t approximateBytes, std::uint32_t seed = 1);

// `count` copies of `unit` followed by `tail`.
std::string Repeat(const std::string& unit, std::size_t count, const std::string& tail = {});

}  // namespace quillmere::bench
