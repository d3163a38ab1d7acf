# Warnings for every target of ours; third-party headers come in as system headers.
function(quillmere_set_warnings target)
  if(MSVC)
    target_compile_options(${target} PRIVATE /W4 /permissive-)
  else()
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow
                                             -Wconversion -Wno-sign-conversion)
    # GCC 12 warns of overlapping copies inside its own std::string when
    # "text" + std::string is inlined at -O2 (GCC bug 105329);
    # there is no overlap, and the warning drowns real ones.
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
      target_compile_options(${target} PRIVATE -Wno-restrict)
    endif()
  endif()
endfunction()
