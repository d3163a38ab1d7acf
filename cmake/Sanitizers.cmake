# QUILLMERE_SANITIZE=address,undefined instruments every target of the build.
if(QUILLMERE_SANITIZE)
  set(_flags -fsanitize=${QUILLMERE_SANITIZE} -fno-omit-frame-pointer
             -fno-sanitize-recover=all)
  add_compile_options(${_flags})
  add_link_options(-fsanitize=${QUILLMERE_SANITIZE})
endif()
