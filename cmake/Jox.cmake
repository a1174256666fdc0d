# jox_library(NAME [DEPS lib...]): the library of one subsystem folder, made
# of every .cpp file in that folder, plus any EXTRA_SOURCES (generated files).
function(jox_library name)
  cmake_parse_arguments(ARG "" "" "DEPS;EXTRA_SOURCES" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  list(APPEND srcs ${ARG_EXTRA_SOURCES})
  if(srcs)
    add_library(${name} STATIC ${srcs})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR} ${PROJECT_BINARY_DIR})
    target_link_libraries(${name} PUBLIC ${ARG_DEPS} ${GMPXX_LIB} ${GMP_LIB} Threads::Threads)
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR} ${PROJECT_BINARY_DIR})
    target_link_libraries(${name} INTERFACE ${ARG_DEPS} ${GMPXX_LIB} ${GMP_LIB} Threads::Threads)
  endif()
endfunction()

# jox_tests(SUBSYSTEM LIBS lib...): in tests/SUBSYSTEM, every *_test.cpp goes
# into one GoogleTest binary, and every fixtures/*.jox is one end-to-end test
# run by tests/run_fixture.sh against the real binaries.
function(jox_tests sub)
  cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
  file(GLOB units CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${sub}/*_test.cpp
                                    ${CMAKE_CURRENT_SOURCE_DIR}/${sub}/*_support.cpp)
  if(units)
    add_executable(${sub}_tests ${units})
    target_link_libraries(${sub}_tests PRIVATE ${ARG_LIBS} GTest::gtest_main)
    target_compile_definitions(${sub}_tests PRIVATE
      JOX_BUILD_DIR="${PROJECT_BINARY_DIR}" JOX_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
    gtest_discover_tests(${sub}_tests TEST_PREFIX "${sub}." DISCOVERY_TIMEOUT 60)
  endif()
  file(GLOB fixtures CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${sub}/fixtures/*.jox)
  foreach(fx ${fixtures})
    get_filename_component(fxname ${fx} NAME_WE)
    add_test(NAME ${sub}.fixture.${fxname}
             COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/run_fixture.sh ${fx} ${PROJECT_BINARY_DIR})
  endforeach()
endfunction()
