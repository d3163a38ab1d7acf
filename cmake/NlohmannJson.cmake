# nlohmann/json, header-only. A cross build takes the headers from the build
# machine: they are plain portable C++.
find_path(QUILLMERE_JSON_INCLUDE_DIR nlohmann/json.hpp
          PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH REQUIRED)
set(_quillmere_json_dir "${PROJECT_BINARY_DIR}/third_party/json")
file(COPY "${QUILLMERE_JSON_INCLUDE_DIR}/nlohmann" DESTINATION "${_quillmere_json_dir}")

# quillmere_use_json(<target> PUBLIC|PRIVATE)
function(quillmere_use_json target scope)
  target_include_directories(${target} SYSTEM ${scope} "${_quillmere_json_dir}")
endfunction()
