# Warnings, sanitizers and Windows-wide definitions shared by every target.
add_compile_options(-Wall -Wextra -Wshadow)
if(ORVALUX_WARNINGS_AS_ERRORS)
    add_compile_options(-Werror)
endif()

if(ORVALUX_SANITIZE AND NOT WIN32)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
    add_link_options(-fsanitize=address,undefined)
endif()

# The fuzz build: all code gets libFuzzer's coverage hooks and the sanitizers; only
# the fuzz targets link libFuzzer's own main (tests/update/fuzz). -O1 as libFuzzer
# suggests: far faster than -O0, stacks still readable.
if(ORVALUX_FUZZ)
    if(WIN32 OR NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
        message(FATAL_ERROR "ORVALUX_FUZZ needs clang on the host: use the preset \"fuzz\"")
    endif()
    add_compile_options(-O1 -fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
        -fno-sanitize-recover=all)
    add_link_options(-fsanitize=address,undefined)
endif()

if(WIN32)
    add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
    # One self-contained executable: no MinGW runtime DLL may be needed next to it.
    add_link_options(-static -static-libgcc -static-libstdc++)
    add_compile_options(-fopenmp)
    add_link_options(-fopenmp)
endif()
