# Build settings shared by every target of the project.

# Flags of our own code: warnings on and treated as errors on every target
# (so a warning fails the build instead of waiting for a reader), and
# floating point that gives the same bytes on every target (no fused
# multiply-add, SSE arithmetic on i686).
add_library(velk_options INTERFACE)
target_compile_options(velk_options INTERFACE -Wall -Wextra -Wshadow -Werror -ffp-contract=off)
target_include_directories(velk_options INTERFACE ${PROJECT_SOURCE_DIR})
# A build carries no trace of where or when it was made, so two builds of one
# commit give the same bytes: source paths written relative to the tree, and
# no link time in the Windows modules' and programs' headers.
if(NOT EMSCRIPTEN)
    target_compile_options(velk_options INTERFACE -ffile-prefix-map=${PROJECT_SOURCE_DIR}/=)
endif()
if(WIN32)
    target_link_options(velk_options INTERFACE -Wl,--no-insert-timestamp)
endif()
if(EMSCRIPTEN)
    # WebAssembly's 128-bit lanes carry the four-lane SSE2 code unchanged.
    target_compile_options(velk_options INTERFACE -msimd128 -msse2)
elseif(CMAKE_SYSTEM_PROCESSOR MATCHES "i686|i386|x86$")
    target_compile_options(velk_options INTERFACE -msse2 -mfpmath=sse)
endif()

set(VELK_SANITIZE_FLAGS -fsanitize=address,undefined,float-cast-overflow -fno-sanitize-recover=all -fno-omit-frame-pointer)

# velk_portable_library(name sources...): a static library of portable code.
# On Linux a second copy, name_san, is built with AddressSanitizer and
# UndefinedBehaviorSanitizer for the native tests.
function(velk_portable_library name)
    add_library(${name} STATIC ${ARGN})
    target_link_libraries(${name} PUBLIC velk_options)
    if(NOT WIN32 AND NOT EMSCRIPTEN)
        add_library(${name}_san STATIC ${ARGN})
        target_link_libraries(${name}_san PUBLIC velk_options)
        target_compile_options(${name}_san PUBLIC ${VELK_SANITIZE_FLAGS})
        target_link_options(${name}_san PUBLIC ${VELK_SANITIZE_FLAGS})
    endif()
endfunction()

# velk_link_portable(target san lib...): links the plain or the sanitized copy.
function(velk_link_portable target san)
    foreach(lib ${ARGN})
        if(san AND NOT WIN32)
            target_link_libraries(${target} PRIVATE ${lib}_san)
        else()
            target_link_libraries(${target} PRIVATE ${lib})
        endif()
    endforeach()
endfunction()

# velk_native_test(name SOURCES ... LIBS ...): a GoogleTest program built with
# the sanitizers, linked against the sanitized portable libraries.
function(velk_native_test name)
    cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE velk_options GTest::gtest_main)
    target_compile_options(${name} PRIVATE ${VELK_SANITIZE_FLAGS})
    target_link_options(${name} PRIVATE ${VELK_SANITIZE_FLAGS})
    velk_link_portable(${name} ON ${T_LIBS})
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
        PROPERTIES ENVIRONMENT "VELK_SOURCE_DIR=${PROJECT_SOURCE_DIR}")
endfunction()

# velk_windows_test(name SOURCES ... LIBS ... [LOCK resource]): a GoogleTest
# program for Win64, run under Wine through the cross-compiling emulator.
# Tests that share a LOCK (for example a registry key) never run at once.
function(velk_windows_test name)
    cmake_parse_arguments(T "" "LOCK" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE velk_options gtest_main ${T_LIBS})
    target_link_options(${name} PRIVATE -static)
    if(VELK_RUN_WINDOWS_TESTS)
        set(lock)
        if(T_LOCK)
            set(lock RESOURCE_LOCK ${T_LOCK})
        endif()
        gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
            PROPERTIES ENVIRONMENT "VELK_SOURCE_DIR=${PROJECT_SOURCE_DIR}" ${lock})
    endif()
endfunction()

# velk_tsan_test(name SOURCES ... LIBS ...): a GoogleTest program built with
# ThreadSanitizer, the sources of the portable libraries compiled into it
# (their other copies carry AddressSanitizer, which cannot be combined).
function(velk_tsan_test name)
    cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
    set(sources ${T_SOURCES})
    foreach(lib ${T_LIBS})
        get_target_property(lib_sources ${lib} SOURCES)
        get_target_property(lib_dir ${lib} SOURCE_DIR)
        foreach(s ${lib_sources})
            list(APPEND sources ${lib_dir}/${s})
        endforeach()
    endforeach()
    add_executable(${name} ${sources})
    target_link_libraries(${name} PRIVATE velk_options GTest::gtest_main)
    target_compile_options(${name} PRIVATE -fsanitize=thread -fno-omit-frame-pointer -O1)
    target_link_options(${name} PRIVATE -fsanitize=thread)
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST TEST_PREFIX "tsan."
        PROPERTIES ENVIRONMENT "TSAN_OPTIONS=halt_on_error=1")
endfunction()

# velk_avx2_sources(files...): files built for AVX2 on 64-bit targets; their
# code runs only where the processor has it (chosen at run time). The Windows
# compiler cannot align the stack to 32 bytes, so there the assembler writes
# every aligned vector move as an unaligned one: no access can fault on a
# misaligned spill, and VEX arithmetic never needs aligned memory.
function(velk_avx2_sources)
    if(NOT CMAKE_SYSTEM_PROCESSOR MATCHES "x86_64|AMD64")
        return()
    endif()
    if(WIN32)
        set_source_files_properties(${ARGN}
            PROPERTIES COMPILE_OPTIONS "-mavx2;-Wa,-muse-unaligned-vector-move")
    else()
        set_source_files_properties(${ARGN} PROPERTIES COMPILE_OPTIONS -mavx2)
    endif()
endfunction()
