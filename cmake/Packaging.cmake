# The program's identity outside its own code: the Windows icon and version record,
# the Linux desktop entry and icons, and the Debian package. Included at the end of
# the top-level CMakeLists.txt, so every target it refers to already exists.

# --- Windows resources ------------------------------------------------------------
# The version record takes its numbers from project(VERSION), so they cannot drift.
set(_quillmere_version_parts)
foreach(part MAJOR MINOR PATCH TWEAK)
  if("${PROJECT_VERSION_${part}}" STREQUAL "")
    list(APPEND _quillmere_version_parts 0)
  else()
    list(APPEND _quillmere_version_parts ${PROJECT_VERSION_${part}})
  endif()
endforeach()
list(JOIN _quillmere_version_parts "," QUILLMERE_RC_VERSION)
list(JOIN _quillmere_version_parts ", " QUILLMERE_RC_VERSION_TEXT)
set(QUILLMERE_RC_ICON "${PROJECT_SOURCE_DIR}/res/icons/quillmere.ico")

# Configured on every platform so the resource script can be checked anywhere.
set(QUILLMERE_WINDOWS_RC "${PROJECT_BINARY_DIR}/res/quillmere.rc")
configure_file("${PROJECT_SOURCE_DIR}/res/quillmere.rc.in" "${QUILLMERE_WINDOWS_RC}" @ONLY)

# The native window's own resource script (winui/) includes it.

# --- Installation -------------------------------------------------------------------
# quillmere-cli installs itself (cli/CMakeLists.txt); the window, its desktop entry and
# its icons come only with the GUI build.
if(TARGET quillmere)
  install(TARGETS quillmere RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  if(UNIX AND NOT APPLE)
    install(FILES "${PROJECT_SOURCE_DIR}/res/quillmere.desktop"
            DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    foreach(size 16 32 48 64 128 256)
      install(FILES "${PROJECT_SOURCE_DIR}/res/icons/quillmere-${size}.png"
              DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
              RENAME quillmere.png)
    endforeach()
  endif()
endif()

# --- Debian package (cpack -G DEB) --------------------------------------------------
set(CPACK_PACKAGE_NAME quillmere)
set(CPACK_PACKAGE_VERSION
    "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}")
set(CPACK_PACKAGE_VENDOR "The Quillmere developers")
set(CPACK_PACKAGE_CONTACT "Quillmere developers <quillmere@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
# Kept in lines under 80 characters, as the Debian control file wants them.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Quillmere collects HTML and plain-text files in a list and rewrites each of\n"
    "them in place with the chosen edits: tables and lists turned into text;\n"
    "scripts, forms, pictures, sounds, comments and font markup removed; surplus\n"
    "white space trimmed; texts or blocks given by the user removed or replaced.\n"
    "No backup is made.\n"
    "The package holds the Qt window, quillmere, and the command-line tool,\n"
    "quillmere-cli.")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Runtime dependencies (libqt6widgets6, libstdc++6, ...) are read from the binaries by
# dpkg-shlibdeps, which comes with dpkg-dev.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)

include(CPack)
