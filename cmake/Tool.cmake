# suite_tool(NAME MAIN source CORE libraries... WINDOW_ENTRY source WINDOW libraries...)
# The program NAME links the core libraries only, so that a command-line run loads no Qt; its
# window is the module NAME + "Window.so" beside it, which the program loads when a window opens.
function(suite_tool name)
  cmake_parse_arguments(PARSE_ARGV 1 TOOL "" "MAIN;WINDOW_ENTRY" "CORE;WINDOW")
  add_executable(${name} ${TOOL_MAIN})
  suite_target_defaults(${name})
  target_link_libraries(${name} PRIVATE ${TOOL_CORE})

  set(module ${name}Window)
  add_library(${module} MODULE ${TOOL_WINDOW_ENTRY})
  suite_target_defaults(${module})
  set_target_properties(${module} PROPERTIES PREFIX "" SUFFIX ".so"
                                             LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
  target_link_libraries(${module} PRIVATE ${TOOL_WINDOW})
  add_dependencies(${name} ${module})
endfunction()
