# Shared helpers for the project's CMake files.

set(TAVIMO_GTEST_SOURCE /usr/src/googletest CACHE PATH "googletest sources, built with each toolchain")

# tavimo_test(NAME SOURCES ... LIBS ...): one GoogleTest program, registered with ctest.
# Cross builds run it through CMAKE_CROSSCOMPILING_EMULATOR (Wine).
function(tavimo_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;LABELS" ${ARGN})
  if(NOT T_SOURCES)
    return()
  endif()
  tavimo_existing(T_LIBS ${T_LIBS})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gmock GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
  target_compile_definitions(${name} PRIVATE TAVIMO_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
                                              TAVIMO_BINARY_DIR="${CMAKE_BINARY_DIR}")
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
  if(T_LABELS)
    set_tests_properties(${name} PROPERTIES LABELS "${T_LABELS}")
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT 600)
endfunction()

# tavimo_library(NAME SOURCES ... LIBS ...): a static library of one layer.
# A layer with no sources yet adds nothing, and layers not built yet are skipped in LIBS.
function(tavimo_library name)
  cmake_parse_arguments(L "" "" "SOURCES;LIBS" ${ARGN})
  if(NOT L_SOURCES)
    return()
  endif()
  tavimo_existing(L_LIBS ${L_LIBS})
  add_library(${name} STATIC ${L_SOURCES})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${L_LIBS})
endfunction()

# Keeps the names that are targets, or are not our own layers (system libraries pass).
function(tavimo_existing out)
  set(kept)
  foreach(lib ${ARGN})
    if(TARGET ${lib} OR NOT lib MATCHES "^(platform|automation|settings|tables|engine|plugin|ooxml_[a-z]+)$")
      list(APPEND kept ${lib})
    endif()
  endforeach()
  set(${out} ${kept} PARENT_SCOPE)
endfunction()
