# xxHash, used header-only (XXH_INLINE_ALL), so nothing is linked. A cross
# build takes the header from the build machine: it is plain portable C.
find_path(QUILLMERE_XXHASH_INCLUDE_DIR xxhash.h
          PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH REQUIRED)
set(_quillmere_xxhash_dir "${PROJECT_BINARY_DIR}/third_party/xxhash")
configure_file("${QUILLMERE_XXHASH_INCLUDE_DIR}/xxhash.h" "${_quillmere_xxhash_dir}/xxhash.h" COPYONLY)

function(quillmere_use_xxhash target)
  target_include_directories(${target} SYSTEM PRIVATE "${_quillmere_xxhash_dir}")
endfunction()
