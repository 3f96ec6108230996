# orlanlog_library(<name> FOLDER <folder> SOURCES <files...> [GUI]
#                  [PUBLIC <libraries...>] [PRIVATE <libraries...>])
#
# One static library of a subsystem. Its headers are included as
# "<folder>/<header>.h", and the only include root it exports is a folder in the
# build tree holding a link named <folder> to src/<folder>: a library sees the
# headers of the libraries it links and no others, so an include that goes up a
# layer (the table engine reaching for a widget, say) fails to compile.
# Libraries named <subsystem>_gui hold the widgets (GUI: moc runs on them).
function(orlanlog_library name)
  cmake_parse_arguments(LIB "GUI" "FOLDER" "SOURCES;PUBLIC;PRIVATE" ${ARGN})
  add_library(${name} STATIC ${LIB_SOURCES})
  set(root ${CMAKE_BINARY_DIR}/include-roots/${LIB_FOLDER})
  if(NOT EXISTS ${root}/${LIB_FOLDER})
    file(MAKE_DIRECTORY ${root})
    file(CREATE_LINK ${CMAKE_SOURCE_DIR}/src/${LIB_FOLDER} ${root}/${LIB_FOLDER} SYMBOLIC)
  endif()
  target_include_directories(${name} PUBLIC ${root})
  target_link_libraries(${name} PUBLIC ${LIB_PUBLIC} PRIVATE ${LIB_PRIVATE})
  if(LIB_GUI)
    set_target_properties(${name} PROPERTIES AUTOMOC ON)
  endif()
endfunction()
