# The desktop program HarvexUtility.exe (Windows builds only) and its
# end-to-end test under Wine in a virtual X display.

# Resources go through windres by hand: the global -Wall/-Wextra would
# reach the resource compiler through CMake's RC language.
set(HX_RC_SOURCE ${CMAKE_SOURCE_DIR}/resources/HarvexUtility.rc)
set(HX_RC_OBJECT ${CMAKE_BINARY_DIR}/HarvexUtility_rc.o)
add_custom_command(
  OUTPUT ${HX_RC_OBJECT}
  COMMAND ${CMAKE_RC_COMPILER} -I ${CMAKE_SOURCE_DIR}/resources -DHX_VERSION=${PROJECT_VERSION}
          -DHX_VERSION_FIELDS=${PROJECT_VERSION_MAJOR},${PROJECT_VERSION_MINOR},0,0 -O coff -i ${HX_RC_SOURCE} -o ${HX_RC_OBJECT}
  WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}/resources
  DEPENDS ${HX_RC_SOURCE} ${CMAKE_SOURCE_DIR}/resources/ResourceIds.h ${CMAKE_SOURCE_DIR}/resources/HarvexUtility.ico
  COMMENT "Compiling the desktop program's resources"
  VERBATIM)
add_custom_target(harvex_gui_resources DEPENDS ${HX_RC_OBJECT})

# Window framework, forms and main-window commands; everything but the
# entry, so the unit tests link the same code.
file(GLOB HX_GUI_SOURCES CONFIGURE_DEPENDS src/ui/*.cpp src/forms/*.cpp src/app/Gui*.cpp src/app/Win32*.cpp
  src/app/ChartWindow.cpp)
list(FILTER HX_GUI_SOURCES EXCLUDE REGEX "/GuiWinMain\\.cpp$")
add_library(harvex_gui STATIC ${HX_GUI_SOURCES})
target_include_directories(harvex_gui PUBLIC src resources)
target_link_libraries(harvex_gui PUBLIC harvex_core comctl32 comdlg32 shell32 gdi32 user32)
target_compile_definitions(harvex_gui PRIVATE HX_VERSION="${PROJECT_VERSION}")

add_executable(HarvexUtility WIN32 src/app/GuiWinMain.cpp ${HX_RC_OBJECT})
target_link_libraries(HarvexUtility PRIVATE harvex_gui)
# The HTML help goes beside the program.
add_custom_command(TARGET HarvexUtility POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${CMAKE_SOURCE_DIR}/resources/wHarvex.htm $<TARGET_FILE_DIR:HarvexUtility>/wHarvex.htm
  VERBATIM)

if(HX_TESTS AND CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  # The scenarios of tests/gui/scenarios.txt, driven under Wine in a virtual display.
  add_executable(harvex_gui_driver tests/gui/driver/main.cpp)
  target_link_libraries(harvex_gui_driver PRIVATE harvex_support user32 advapi32)
  add_test(NAME gui.e2e
    COMMAND bash ${CMAKE_SOURCE_DIR}/tools/xvfb-wine.sh ${CMAKE_BINARY_DIR}/gui-e2e $<TARGET_FILE:harvex_gui_driver>
      ${CMAKE_SOURCE_DIR}/tests/gui/scenarios.txt $<TARGET_FILE:HarvexUtility> $<TARGET_FILE:harvex>)
  set_tests_properties(gui.e2e PROPERTIES TIMEOUT 900)
endif()
