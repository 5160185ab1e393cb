# The language sets of the resources, read from the translation table the resource build
# expands its templates with, so the tests check the resources against the product's own
# list: writes ResourceLanguages.h into the folder named by resourceLanguagesDir.
set(translationTable ${PROJECT_SOURCE_DIR}/resources/translations.toml)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${translationTable})
set(resourceLanguagesDir ${PROJECT_BINARY_DIR}/tests/generated)
foreach(languageSet IN ITEMS program update)
    file(STRINGS ${translationTable} line REGEX "^${languageSet} = \\[[0-9, ]+\\]$")
    if(NOT line MATCHES "\\[([0-9, ]+)\\]")
        message(FATAL_ERROR "${translationTable} has no language set ${languageSet}")
    endif()
    set(${languageSet}Languages ${CMAKE_MATCH_1})
endforeach()
configure_file(${CMAKE_CURRENT_LIST_DIR}/ResourceLanguages.h.in ${resourceLanguagesDir}/ResourceLanguages.h @ONLY)
