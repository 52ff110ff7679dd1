# Helpers shared by every folder's CMakeLists.txt.

# tf_library(name [DEPS libs...]): a static library of every .cpp in the
# calling folder, with the source root as include root.
function(tf_library name)
  cmake_parse_arguments(A "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${A_DEPS})
endfunction()

# tf_component(name [DEPS libs...]): a component library (shared object,
# loaded by class creation) named exactly NAME.so, installed into the
# install folder.
function(tf_component name)
  cmake_parse_arguments(A "" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} MODULE ${A_SOURCES})
  set_target_properties(${name} PROPERTIES PREFIX "" SUFFIX ".so")
  target_link_libraries(${name} PRIVATE ${A_DEPS})
  target_link_options(${name} PRIVATE -Wl,--no-undefined)
  install(TARGETS ${name} LIBRARY DESTINATION .)
endfunction()

# tf_gtest(name SOURCES files... [LIBS libs...]): one GoogleTest program whose
# tests CTest runs one process each. The shared test main gives every process
# its own registry file.
function(tf_gtest name)
  cmake_parse_arguments(A "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  target_link_libraries(${name} PRIVATE tf_test_support ${A_LIBS})
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 120 PROPERTIES TIMEOUT 300)
endfunction()
