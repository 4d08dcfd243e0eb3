# kx_add_layer(<target> <dir> [DEPS libs...] [EXCLUDE regex])
# A static library of every .cpp under <dir> (picked up when files are added), or an
# interface library while the folder has no sources yet.
function(kx_add_layer target dir)
    cmake_parse_arguments(ARG "" "EXCLUDE" "DEPS" ${ARGN})
    file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${dir}/*.cpp)
    if(ARG_EXCLUDE)
        list(FILTER sources EXCLUDE REGEX "${ARG_EXCLUDE}")
    endif()
    if(sources)
        add_library(${target} STATIC ${sources})
        target_link_libraries(${target} PUBLIC ${ARG_DEPS})
    else()
        add_library(${target} INTERFACE)
        target_link_libraries(${target} INTERFACE ${ARG_DEPS})
    endif()
endfunction()

# kx_add_test_suite(<name> <dir> DEPS libs...)
# One GoogleTest executable test_<name> of every .cpp directly in <dir>, each test case its
# own CTest test.
function(kx_add_test_suite name dir)
    cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${dir}/*.cpp)
    if(NOT sources)
        return()
    endif()
    add_executable(test_${name} ${sources})
    target_link_libraries(test_${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gmock GTest::gtest_main)
    gtest_discover_tests(test_${name} DISCOVERY_MODE PRE_TEST
        WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
        PROPERTIES ENVIRONMENT "KX_SOURCE_DIR=${CMAKE_SOURCE_DIR};SDL_AUDIODRIVER=dummy")
endfunction()
