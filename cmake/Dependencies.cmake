# Third-party libraries as imported targets: Deps::Curl, Deps::TinyXml and
# Deps::CryptoPP. The Windows build links the static libraries scripts/bootstrap
# cross-builds from Debian's source packages (ORVALUX_MINGW_PREFIX); a native
# build uses Debian's own -dev packages where they are installed.
include_guard(GLOBAL)

function(orvalux_import_static_library target library includeDir)
    add_library(${target} STATIC IMPORTED GLOBAL)
    set_target_properties(${target} PROPERTIES
        IMPORTED_LOCATION ${library}
        INTERFACE_INCLUDE_DIRECTORIES ${includeDir})
endfunction()

if(WIN32)
    set(ORVALUX_MINGW_PREFIX "$ENV{ORVALUX_MINGW_PREFIX}" CACHE PATH
        "Cross-built dependencies (include/ and lib/), made by scripts/bootstrap")
    if(NOT ORVALUX_MINGW_PREFIX OR NOT EXISTS "${ORVALUX_MINGW_PREFIX}/manifest.txt")
        message(FATAL_ERROR
            "MinGW dependencies not found (ORVALUX_MINGW_PREFIX='${ORVALUX_MINGW_PREFIX}'): run scripts/bootstrap "
            "and configure with ORVALUX_MINGW_PREFIX set to the directory it prints")
    endif()
    set(prefix ${ORVALUX_MINGW_PREFIX})

    orvalux_import_static_library(Deps::Curl ${prefix}/lib/libcurl.a ${prefix}/include)
    # The system libraries libcurl's own configure links; it loads secur32.dll
    # (Schannel) itself at run time. CURL_STATICLIB drops the headers'
    # dllimport decorations.
    set_target_properties(Deps::Curl PROPERTIES
        INTERFACE_COMPILE_DEFINITIONS CURL_STATICLIB
        INTERFACE_LINK_LIBRARIES "ws2_32;crypt32;bcrypt;advapi32")

    orvalux_import_static_library(Deps::TinyXml ${prefix}/lib/libtinyxml.a ${prefix}/include)
    set_target_properties(Deps::TinyXml PROPERTIES INTERFACE_COMPILE_DEFINITIONS TIXML_USE_STL)

    orvalux_import_static_library(Deps::CryptoPP ${prefix}/lib/libcryptopp.a ${prefix}/include)
else()
    find_package(CURL QUIET)
    if(CURL_FOUND)
        add_library(Deps::Curl INTERFACE IMPORTED GLOBAL)
        target_link_libraries(Deps::Curl INTERFACE CURL::libcurl)
    endif()

    find_path(ORVALUX_TINYXML_INCLUDE_DIR tinyxml.h)
    find_library(ORVALUX_TINYXML_LIBRARY tinyxml)
    if(ORVALUX_TINYXML_INCLUDE_DIR AND ORVALUX_TINYXML_LIBRARY)
        add_library(Deps::TinyXml UNKNOWN IMPORTED GLOBAL)
        set_target_properties(Deps::TinyXml PROPERTIES
            IMPORTED_LOCATION ${ORVALUX_TINYXML_LIBRARY}
            INTERFACE_INCLUDE_DIRECTORIES ${ORVALUX_TINYXML_INCLUDE_DIR}
            INTERFACE_COMPILE_DEFINITIONS TIXML_USE_STL)
    endif()

    find_path(ORVALUX_CRYPTOPP_INCLUDE_DIR cryptopp/base64.h)
    find_library(ORVALUX_CRYPTOPP_LIBRARY NAMES cryptopp crypto++)
    if(ORVALUX_CRYPTOPP_INCLUDE_DIR AND ORVALUX_CRYPTOPP_LIBRARY)
        add_library(Deps::CryptoPP UNKNOWN IMPORTED GLOBAL)
        set_target_properties(Deps::CryptoPP PROPERTIES
            IMPORTED_LOCATION ${ORVALUX_CRYPTOPP_LIBRARY}
            INTERFACE_INCLUDE_DIRECTORIES ${ORVALUX_CRYPTOPP_INCLUDE_DIR})
    endif()
endif()
