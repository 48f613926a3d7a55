# The Windows installer, made by `cpack -G NSIS` in a cross build folder (see
# scripts/package --windows): VantorMsgBoard-<version>-win64.exe. It installs
# for the whole machine under Program Files: the three programs with the Qt
# and MinGW runtime libraries beside them, the guide and the licence, with
# Start menu entries and an uninstaller.

include(${CMAKE_CURRENT_LIST_DIR}/programs.cmake)

install(TARGETS VantorMsgBoard VantorVirtualSign vantor-sign RUNTIME DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt)

# The plugins Qt loads at run time: the window system, the native style and
# the JPEG reader the logo needs. They go where Qt looks beside the program.
get_target_property(vmb_qt_core_dll Qt6::Core IMPORTED_LOCATION_RELEASE)
get_filename_component(vmb_qt_bin "${vmb_qt_core_dll}" DIRECTORY)
get_filename_component(vmb_qt_plugins "${vmb_qt_bin}/../plugins" ABSOLUTE)
set(VMB_QT_PLUGINS platforms/qwindows.dll styles/qwindowsvistastyle.dll imageformats/qjpeg.dll
    imageformats/qico.dll)
foreach(plugin IN LISTS VMB_QT_PLUGINS)
    get_filename_component(folder "${plugin}" DIRECTORY)
    install(FILES "${vmb_qt_plugins}/${plugin}" DESTINATION ${folder})
endforeach()

# The libraries come from the built programs and plugins themselves: their
# import tables, read with the cross objdump and followed through every
# library found in Qt's and the compiler's folders. What is found nowhere
# there is the system's own.
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libstdc++-6.dll
                OUTPUT_VARIABLE vmb_libstdcxx OUTPUT_STRIP_TRAILING_WHITESPACE)
get_filename_component(vmb_gcc_runtime "${vmb_libstdcxx}" DIRECTORY)
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libwinpthread-1.dll
                OUTPUT_VARIABLE vmb_winpthread OUTPUT_STRIP_TRAILING_WHITESPACE)
get_filename_component(vmb_mingw_runtime "${vmb_winpthread}" DIRECTORY)
find_program(VMB_MINGW_OBJDUMP NAMES x86_64-w64-mingw32-objdump REQUIRED)

set(vmb_plugin_paths)
foreach(plugin IN LISTS VMB_QT_PLUGINS)
    list(APPEND vmb_plugin_paths "${vmb_qt_plugins}/${plugin}")
endforeach()
install(CODE "
    set(FILES \"$<TARGET_FILE:VantorMsgBoard>\" \"$<TARGET_FILE:VantorVirtualSign>\"
              \"$<TARGET_FILE:vantor-sign>\" ${vmb_plugin_paths})
    set(FOLDERS \"${vmb_qt_bin}\" \"${vmb_gcc_runtime}\" \"${vmb_mingw_runtime}\")
    set(OBJDUMP \"${VMB_MINGW_OBJDUMP}\")
    set(DESTINATION \"\${CMAKE_INSTALL_PREFIX}\")
    cmake_policy(SET CMP0057 NEW)
    include(\"${CMAKE_CURRENT_LIST_DIR}/RuntimeLibraries.cmake\")
")

set(CPACK_GENERATOR NSIS)
set(CPACK_PACKAGE_NAME ${PROJECT_NAME})
set(CPACK_PACKAGE_VENDOR "${VMB_VENDOR}")
set(CPACK_PACKAGE_FILE_NAME "${PROJECT_NAME}-${PROJECT_VERSION}-win64")
set(CPACK_PACKAGE_INSTALL_DIRECTORY "Vantor Message Board")
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY "${PROJECT_NAME}")
set(CPACK_RESOURCE_FILE_LICENSE "${PROJECT_SOURCE_DIR}/LICENSE")
set(CPACK_STRIP_FILES ON)
set(CPACK_NSIS_DISPLAY_NAME "Vantor Message Board")
set(CPACK_NSIS_PACKAGE_NAME "Vantor Message Board ${PROJECT_VERSION}")
set(CPACK_NSIS_MUI_ICON "${PROJECT_SOURCE_DIR}/assets/icon.ico")
set(CPACK_NSIS_MUI_UNIICON "${PROJECT_SOURCE_DIR}/assets/icon.ico")
set(CPACK_NSIS_INSTALLED_ICON_NAME "VantorMsgBoard.exe")
# A 64-bit installer: the programs are 64-bit, and this machine's kernel runs
# no 32-bit programs to test it with.
set(CPACK_NSIS_DEFINES "Target amd64-unicode")
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_EXECUTABLES_DIRECTORY ".")
set(CPACK_PACKAGE_EXECUTABLES
    "VantorMsgBoard" "Vantor Message Board"
    "VantorVirtualSign" "Vantor Virtual Sign")
set(CPACK_NSIS_MENU_LINKS
    "${VMB_GUIDE_FILE_NAME}" "Vantor Message Board Guide"
    "LICENSE.txt" "Vantor Message Board Licence")
set(CPACK_NSIS_URL_INFO_ABOUT "https://www.vantor.example/")

include(CPack)
