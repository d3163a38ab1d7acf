#pragma once

namespace quillmere {

// Unicode simple case folding (one character to one character): 'A' and 'a'
// give 'a', 'Σ', 'σ' and 'ς' give 'σ', the Kelvin sign gives 'k'.
char32_t SimpleCaseFold(char32_t character);

}  // namespace quillmere
