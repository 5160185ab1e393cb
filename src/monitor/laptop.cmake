# The laptop panel backlight. Its platform-free rules belong to orvalux_pure (and are
# tested natively as well); the backlight, its per-thread registry and the device access
# underneath (WMI and the panel driver, or the simulated panel) to the Windows library.
target_sources(orvalux_pure PRIVATE ${CMAKE_CURRENT_LIST_DIR}/LaptopBacklightRules.cpp)

if(WIN32)
    target_sources(orvalux_win PRIVATE
        ${CMAKE_CURRENT_LIST_DIR}/LaptopBacklight.cpp
        ${CMAKE_CURRENT_LIST_DIR}/LaptopPanelBackend.cpp
        ${CMAKE_CURRENT_LIST_DIR}/SimulatedLaptopPanel.cpp
        ${CMAKE_CURRENT_LIST_DIR}/WmiLaptopPanel.cpp
    )
    target_link_libraries(orvalux_win PUBLIC wbemuuid ole32 oleaut32 uuid)
endif()
