# Every target of the suite compiles with the same warnings; suite_target_defaults applies them.
function(suite_target_defaults target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion
                                            -Wno-sign-conversion)
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
endfunction()
