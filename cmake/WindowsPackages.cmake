# The Windows packages, made by `cmake --build BUILD --target windows_packages`
# in a cross build: a portable zip and an MSI installer (Debian's wixl), both
# holding the stripped quillmere.exe and quillmere-cli.exe, README.txt (the
# README's Windows section as plain text) and the licence when the repository
# has one.
if(NOT (WIN32 AND TARGET quillmere))
  return()
endif()

set(QUILLMERE_MSI_VERSION "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}")
# wixl finds files by paths relative to the folder it runs in.
set(QUILLMERE_ICON "../quillmere.ico")
configure_file(${PROJECT_SOURCE_DIR}/res/icons/quillmere.ico
               ${PROJECT_BINARY_DIR}/packaging/quillmere.ico COPYONLY)
configure_file(${PROJECT_SOURCE_DIR}/packaging/quillmere.wxs.in
               ${PROJECT_BINARY_DIR}/packaging/quillmere.wxs @ONLY)

set(stage ${PROJECT_BINARY_DIR}/packaging/Quillmere)
set(base quillmere-${QUILLMERE_MSI_VERSION}-windows-x64)
set(zip ${PROJECT_BINARY_DIR}/${base}.zip)
set(msi ${PROJECT_BINARY_DIR}/${base}.msi)
find_program(QUILLMERE_STRIP NAMES x86_64-w64-mingw32-strip strip REQUIRED)
find_program(QUILLMERE_ZIP zip REQUIRED)
find_program(QUILLMERE_WIXL wixl REQUIRED)
find_program(QUILLMERE_MSIBUILD msibuild REQUIRED)
find_program(QUILLMERE_PYTHON python3 REQUIRED)
set(licence_files)
foreach(name LICENSE LICENSE.txt COPYING)
  if(EXISTS ${PROJECT_SOURCE_DIR}/${name})
    list(APPEND licence_files ${PROJECT_SOURCE_DIR}/${name})
  endif()
endforeach()
set(copy_licence)
if(licence_files)
  set(copy_licence COMMAND ${CMAKE_COMMAND} -E copy ${licence_files} ${stage}/)
endif()

add_custom_command(OUTPUT ${zip} ${msi}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${stage}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${stage}
  COMMAND ${QUILLMERE_STRIP} -o ${stage}/quillmere.exe $<TARGET_FILE:quillmere>
  COMMAND ${QUILLMERE_STRIP} -o ${stage}/quillmere-cli.exe $<TARGET_FILE:quillmere-cli>
  # README.txt: Windows opens .txt files in Notepad.
  COMMAND ${QUILLMERE_PYTHON} ${PROJECT_SOURCE_DIR}/tools/make-windows-readme.py
          ${PROJECT_SOURCE_DIR}/README.md ${stage}/README.txt ${QUILLMERE_MSI_VERSION}
  ${copy_licence}
  COMMAND ${CMAKE_COMMAND} -E rm -f ${zip} ${msi}
  COMMAND ${CMAKE_COMMAND} -E chdir ${PROJECT_BINARY_DIR}/packaging
          ${QUILLMERE_ZIP} -q -r -X ${zip} Quillmere
  COMMAND ${CMAKE_COMMAND} -DWXS=${PROJECT_BINARY_DIR}/packaging/quillmere.wxs -DSTAGE=${stage}
          -DMSI=${msi} -DWIXL=${QUILLMERE_WIXL} -DMSIBUILD=${QUILLMERE_MSIBUILD}
          -P ${PROJECT_SOURCE_DIR}/cmake/WindowsMsi.cmake
  DEPENDS quillmere quillmere-cli ${PROJECT_SOURCE_DIR}/README.md ${licence_files}
          ${PROJECT_SOURCE_DIR}/tools/make-windows-readme.py
          ${PROJECT_SOURCE_DIR}/cmake/WindowsMsi.cmake
          ${PROJECT_BINARY_DIR}/packaging/quillmere.wxs ${PROJECT_SOURCE_DIR}/res/icons/quillmere.ico
  COMMENT "Packing ${base}.zip and ${base}.msi"
  VERBATIM)
add_custom_target(windows_packages DEPENDS ${zip} ${msi})
