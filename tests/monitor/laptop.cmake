# Laptop backlight tests: the platform-free rules everywhere; the backlight with the
# simulated panel and the platform's WMI (as far as the machine has it) on Windows.
orvalux_add_test(laptop_backlight_rules_test ${CMAKE_CURRENT_LIST_DIR}/LaptopBacklightRulesTest.cpp)
target_link_libraries(laptop_backlight_rules_test PRIVATE orvalux_pure)

if(WIN32)
    orvalux_add_test(laptop_backlight_test
        ${CMAKE_CURRENT_LIST_DIR}/LaptopBacklightTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/LaptopBacklightRegistryTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/LaptopBacklightWmiTest.cpp
    )
    target_link_libraries(laptop_backlight_test PRIVATE orvalux_win)
endif()
