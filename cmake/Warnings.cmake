# Every target of the suite compiles with the same warnings; suite_target_defaults applies them.
function(suite_target_defaults target)
  if(MSVC)
    # The sources, with their Japanese texts, are UTF-8, and the texts must stay UTF-8 in the program.
    target_compile_options(${target} PRIVATE /W4 /utf-8)
  else()
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion
                                              -Wno-sign-conversion)
  endif()
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
endfunction()
