# The source tree is a stack of rooms, each one static library: version and host at the bottom,
# then trace, probe and the search. A room shows the rooms above it its public headers only, and
# only to the rooms that link it, so an include that runs upwards, or sideways into a room that is
# not linked, fails to build. Headers are included as "room/header.h" everywhere; a room's
# public headers are linked into an include directory of its own under the build tree.

# Settings every target of ours shares: C++20 and, where the compiler knows them, its warnings.
add_library(locate_jvm_settings INTERFACE)
target_compile_features(locate_jvm_settings INTERFACE cxx_std_20)
if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
  target_compile_options(locate_jvm_settings INTERFACE -Wall -Wextra -Wpedantic -Wshadow
    # No build path in what is built, so that two checkouts build the same bytes.
    -ffile-prefix-map=${PROJECT_SOURCE_DIR}/=
    -ffile-prefix-map=${PROJECT_BINARY_DIR}/=)
endif()

function(locate_jvm_use_settings target)
  set_target_properties(${target} PROPERTIES CXX_EXTENSIONS OFF)
  target_link_libraries(${target} PRIVATE locate_jvm_settings)
endfunction()

# An include directory that holds `headers` of src/<room>/ and nothing else, as <room>/<header>.
function(locate_jvm_stage_headers directory room)
  file(MAKE_DIRECTORY ${directory}/${room})
  foreach(header ${ARGN})
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/src/${room}/${header} ${directory}/${room}/${header}
         SYMBOLIC)
  endforeach()
endfunction()

# locate_jvm_room(<target> DIRECTORY <dir under src> SOURCES ... HEADERS ... LINKS ...)
# HEADERS are the room's public headers; LINKS the rooms below it that it uses.
function(locate_jvm_room target)
  cmake_parse_arguments(ROOM "" "DIRECTORY" "SOURCES;HEADERS;LINKS" ${ARGN})
  set(include ${PROJECT_BINARY_DIR}/rooms/${target})
  locate_jvm_stage_headers(${include} ${ROOM_DIRECTORY} ${ROOM_HEADERS})
  list(TRANSFORM ROOM_SOURCES PREPEND ${PROJECT_SOURCE_DIR}/src/${ROOM_DIRECTORY}/)
  add_library(${target} STATIC ${ROOM_SOURCES})
  target_include_directories(${target} PUBLIC ${include})
  target_link_libraries(${target} PRIVATE ${ROOM_LINKS})
  locate_jvm_use_settings(${target})
endfunction()
