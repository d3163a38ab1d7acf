# Each folder of production code is a room: a library that names the rooms it
# may use. It links exactly those (so only their headers are found), and the
# check at the end of configuring fails when anything else links into it.
function(quillmere_room target)
  cmake_parse_arguments(ROOM "" "" "MAY_USE" ${ARGN})
  set_property(TARGET ${target} PROPERTY QUILLMERE_MAY_USE ${ROOM_MAY_USE})
  set_property(GLOBAL APPEND PROPERTY QUILLMERE_ROOMS ${target})
  foreach(room IN LISTS ROOM_MAY_USE)
    if(TARGET ${room})  # a room the build leaves out (diff) is not linked
      target_link_libraries(${target} PUBLIC ${room})
    endif()
  endforeach()
endfunction()

function(quillmere_check_rooms)
  get_property(rooms GLOBAL PROPERTY QUILLMERE_ROOMS)
  foreach(room IN LISTS rooms)
    get_target_property(allowed ${room} QUILLMERE_MAY_USE)
    get_target_property(linked ${room} LINK_LIBRARIES)
    foreach(lib IN LISTS linked)
      if(lib MATCHES "^quillmere_" AND NOT lib IN_LIST allowed)
        message(FATAL_ERROR "${room} links ${lib}, which its room may not use")
      endif()
    endforeach()
  endforeach()
endfunction()
