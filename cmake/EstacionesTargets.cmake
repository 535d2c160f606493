# One helper per kind of target, so that every target gets the same standard,
# warnings and Qt settings.

function(estaciones_common_settings target)
    target_compile_features(${target} PUBLIC cxx_std_20)
    set_target_properties(${target} PROPERTIES CXX_EXTENSIONS OFF AUTOMOC ON)
    # g++ 12 reports maybe-uninitialized on std::optional/std::variant of Qt
    # types where nothing is uninitialised; the noise would hide real warnings.
    target_compile_options(${target} PRIVATE -Wall -Wextra $<$<CXX_COMPILER_ID:GNU>:-Wno-maybe-uninitialized>)
    if(ESTACIONES_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
endfunction()

# estaciones_library(name SOURCES ... [PUBLIC_DEPS ...] [PRIVATE_DEPS ...])
function(estaciones_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;PUBLIC_DEPS;PRIVATE_DEPS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    estaciones_common_settings(${name})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${ARG_PUBLIC_DEPS} PRIVATE ${ARG_PRIVATE_DEPS})
endfunction()

# estaciones_test(name SOURCES ... DEPS ... [LABELS ...] [TIMEOUT s] [COST s])
# Test executables use GoogleTest; the shared test main pins locale, style and
# platform (tests/support). COST, the seconds a test takes, makes CTest start
# the long tests first, so that they do not run alone at the end.
function(estaciones_test name)
    cmake_parse_arguments(ARG "" "TIMEOUT;COST" "SOURCES;DEPS;LABELS" ${ARGN})
    if(NOT BUILD_TESTING)
        return()
    endif()
    add_executable(${name} ${ARG_SOURCES})
    estaciones_common_settings(${name})
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
    target_link_libraries(${name} PRIVATE ${ARG_DEPS} estaciones_test_support GTest::gtest GTest::gmock)
    if(NOT ARG_TIMEOUT)
        set(ARG_TIMEOUT 300)
    endif()
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES
        TIMEOUT ${ARG_TIMEOUT}
        LABELS "${ARG_LABELS}"
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;ESTACIONES_SHARED_DIR=${ESTACIONES_SHARED_DIR};ESTACIONES_BUILD_DIR=${PROJECT_BINARY_DIR}")
    if(ARG_COST)
        set_tests_properties(${name} PROPERTIES COST ${ARG_COST})
    endif()
endfunction()

# estaciones_benchmark(name SOURCES ... DEPS ...)
function(estaciones_benchmark name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
    if(NOT ESTACIONES_BUILD_BENCHMARKS)
        return()
    endif()
    add_executable(${name} ${ARG_SOURCES})
    estaciones_common_settings(${name})
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/bench)
    target_link_libraries(${name} PRIVATE ${ARG_DEPS} benchmark::benchmark)
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/bench)
endfunction()

# estaciones_soname(<variable> <imported target>)
# The name the dynamic linker knows the target's library by ("libodbc.so.2"),
# for the code that opens it only when first needed.
function(estaciones_soname variable target)
    get_target_property(libraries ${target} INTERFACE_LINK_LIBRARIES)
    foreach(library IN LISTS libraries)
        if(library MATCHES "\\.so")
            file(REAL_PATH "${library}" real)
            execute_process(COMMAND ${CMAKE_OBJDUMP} -p "${real}" OUTPUT_VARIABLE header
                            RESULT_VARIABLE failed)
            if(NOT failed AND header MATCHES "SONAME +([^\n ]+)")
                set(${variable} "${CMAKE_MATCH_1}" PARENT_SCOPE)
                message(STATUS "Estaciones: ${target} opened on demand as ${CMAKE_MATCH_1}")
                return()
            endif()
        endif()
    endforeach()
    message(FATAL_ERROR "The library name of ${target} could not be found (${libraries})")
endfunction()

# estaciones_headers_only(<target> <imported target>)
# The imported target's headers without linking it: its library is opened
# at run time (estaciones_soname).
function(estaciones_headers_only target imported)
    target_include_directories(${target} PRIVATE
        $<TARGET_PROPERTY:${imported},INTERFACE_INCLUDE_DIRECTORIES>)
    target_compile_options(${target} PRIVATE
        $<TARGET_PROPERTY:${imported},INTERFACE_COMPILE_OPTIONS>)
endfunction()

# estaciones_module(name FILE_NAME file EXPORTED map SOURCES ... DEPS ...)
# A module the program opens when a feature is first used (os::LazyLibrary),
# built beside the program; only the names of the version script `map` are
# exported.
function(estaciones_module name)
    cmake_parse_arguments(ARG "" "FILE_NAME;EXPORTED" "SOURCES;DEPS" ${ARGN})
    add_library(${name} MODULE ${ARG_SOURCES})
    estaciones_common_settings(${name})
    set_target_properties(${name} PROPERTIES
        OUTPUT_NAME ${ARG_FILE_NAME} PREFIX ""
        LIBRARY_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}
        CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON
        LINK_DEPENDS ${ARG_EXPORTED})
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src)
    target_link_options(${name} PRIVATE -Wl,--version-script=${ARG_EXPORTED})
    # Every name resolved at link time, but for the sanitizers' runtime,
    # which the program (not the module) carries in clang's sanitized builds.
    if(NOT ESTACIONES_SANITIZE AND NOT ESTACIONES_FUZZ)
        target_link_options(${name} PRIVATE -Wl,--no-undefined)
    endif()
    target_link_libraries(${name} PRIVATE ${ARG_DEPS})
endfunction()
