# Every folder under src/ is one logic library (Qt Core + Qt Sql, never Qt Widgets).
# The widget classes of every folder live in its ui/ subfolder and are gathered into
# the single widgets library, so a widget header included from logic code does not compile.
function(webconsole_logic_library name folder)
  cmake_parse_arguments(ARG "" "" "LINKS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS
       ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.h
       ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*/*.h)
  list(FILTER sources EXCLUDE REGEX "/ui/")
  list(FILTER sources EXCLUDE REGEX "/main\\.cpp$")
  if(NOT sources)
    # A folder whose logic is not written yet still takes part in the link graph.
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} INTERFACE Qt6::Core Qt6::Sql ${ARG_LINKS})
    return()
  endif()
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC Qt6::Core Qt6::Sql ${ARG_LINKS})
endfunction()

# Gathers tests/<folder>/*.cpp and those of its subfolders (one level: the rooms of the console)
# into one GoogleTest program registered with CTest.
function(webconsole_test name folder)
  cmake_parse_arguments(ARG "" "" "LINKS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.h
       ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*/*.h)
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE wc_testsupport GTest::gtest GTest::gmock ${ARG_LINKS})
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()
