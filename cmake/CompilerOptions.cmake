# Warnings, sanitizers and Windows-wide definitions shared by every target.
add_compile_options(-Wall -Wextra -Wshadow)
if(ORVALUX_WARNINGS_AS_ERRORS)
    add_compile_options(-Werror)
endif()

if(ORVALUX_SANITIZE AND NOT WIN32)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
    add_link_options(-fsanitize=address,undefined)
endif()

if(WIN32)
    add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
    # One self-contained executable: no MinGW runtime DLL may be needed next to it.
    add_link_options(-static -static-libgcc -static-libstdc++)
    add_compile_options(-fopenmp)
    add_link_options(-fopenmp)
endif()
