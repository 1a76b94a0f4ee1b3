# One static library per layer, with the layer's headers visible only to the targets that
# link it.
#
#   grantwise_layer(<target> SOURCES <files...> [LINKS <targets...>] [MOC])
#
# The target's headers are staged under ${CMAKE_BINARY_DIR}/layers/<target>/, one link
# per header at the header's path below src/ ("scan/ReportList.h"), and that folder is the
# target's only include folder, handed on to whoever links it. A file includes another
# layer's header by its path from src/, so the include resolves only in a target that
# links (directly or through its links) the layer the header belongs to: an include
# against the grain is a compile error ("scan/ReportList.h: No such file or directory").
# Links are made per header, not per folder, because some folders hold files of two
# layers (netware/ holds the client-library interface, app/models/ a model of the
# widgets target).
#
# A file's own-folder includes (#include "Sibling.h") resolve beside the file, as the
# compiler always does first. So that this cannot reach into another layer either (a
# bare name in a shared folder, "../scan/...", "controls/..."), every layer target runs
# CheckLayerIncludes.cmake before it compiles: an include that resolves beside the
# including file must name a file of the same target.
#
# MOC: the layer declares Q_OBJECT classes (AUTOMOC is off for the others).

set(GRANTWISE_SOURCE_ROOT ${CMAKE_SOURCE_DIR}/src)
set(GRANTWISE_LAYER_ROOT ${CMAKE_BINARY_DIR}/layers)

# Stages the headers among `sources` for `target` and makes that folder its include folder
# (PUBLIC for a library, PRIVATE for a program).
function(grantwise_stage_headers target scope)
  set(root ${GRANTWISE_LAYER_ROOT}/${target})
  file(REMOVE_RECURSE ${root})
  file(MAKE_DIRECTORY ${root})
  get_target_property(sources ${target} SOURCES)
  foreach(source ${sources})
    if(source MATCHES "\\.h$")
      file(RELATIVE_PATH relative ${GRANTWISE_SOURCE_ROOT} ${source})
      get_filename_component(folder ${root}/${relative} DIRECTORY)
      file(MAKE_DIRECTORY ${folder})
      file(CREATE_LINK ${source} ${root}/${relative} SYMBOLIC)
    endif()
  endforeach()
  target_include_directories(${target} ${scope} ${root})

  # The own-folder check, run again whenever one of the target's files changes.
  set(list_file ${GRANTWISE_LAYER_ROOT}/${target}.files)
  string(REPLACE ";" "\n" lines "${sources}")
  file(WRITE ${list_file} "${lines}\n")
  set(stamp ${GRANTWISE_LAYER_ROOT}/${target}.includes-checked)
  add_custom_command(OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} -DTARGET=${target} -DFILES=${list_file} -DSTAMP=${stamp}
            -P ${CMAKE_SOURCE_DIR}/cmake/CheckLayerIncludes.cmake
    DEPENDS ${sources} ${CMAKE_SOURCE_DIR}/cmake/CheckLayerIncludes.cmake
    COMMENT "Checking the own-folder includes of ${target}"
    VERBATIM)
  target_sources(${target} PRIVATE ${stamp})
endfunction()

function(grantwise_layer target)
  cmake_parse_arguments(PARSE_ARGV 1 ARG "MOC" "" "SOURCES;LINKS")
  add_library(${target} STATIC ${ARG_SOURCES})
  target_link_libraries(${target} PUBLIC ${ARG_LINKS})
  if(ARG_MOC)
    # Workaround: with Ninja, AUTOMOC does not run again when the glob brings in a new
    # Q_OBJECT header in an existing build folder (missing vtable and signal symbols at
    # link time). Making the autogen step depend on every source and header makes a newer
    # file start it again.
    set_property(TARGET ${target} APPEND PROPERTY AUTOGEN_TARGET_DEPENDS ${ARG_SOURCES})
  else()
    set_target_properties(${target} PROPERTIES AUTOMOC OFF)
  endif()
  grantwise_stage_headers(${target} PUBLIC)
endfunction()
