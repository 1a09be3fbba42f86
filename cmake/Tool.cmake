# suite_program(NAME MAIN source CORE libraries...)
# The program NAME links the core libraries only, so that a command-line run loads no Qt.
function(suite_program name)
  cmake_parse_arguments(PARSE_ARGV 1 TOOL "" "MAIN" "CORE")
  add_executable(${name} ${TOOL_MAIN})
  suite_target_defaults(${name})
  target_link_libraries(${name} PRIVATE ${TOOL_CORE})
endfunction()

# suite_window_module(NAME ENTRY source WINDOW libraries...)
# The window of the program NAME: the module NAME + "Window" beside it ("KeldraWindow.so", or
# "KeldraWindow.dll" on Windows), which the program loads when a window opens.
function(suite_window_module name)
  cmake_parse_arguments(PARSE_ARGV 1 TOOL "" "ENTRY" "WINDOW")
  set(module ${name}Window)
  add_library(${module} MODULE ${TOOL_ENTRY})
  suite_target_defaults(${module})
  # MSVC exports only what is marked: all of the module's own file, which holds just its entry.
  set_target_properties(${module} PROPERTIES PREFIX "" LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin
                                             WINDOWS_EXPORT_ALL_SYMBOLS ON)
  target_link_libraries(${module} PRIVATE ${TOOL_WINDOW})
  # Building the program builds the window it opens.
  add_dependencies(${name} ${module})
endfunction()
