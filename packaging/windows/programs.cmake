# What makes the three programs Windows programs: the console is a GUI
# program (no console window opens beside it), and each carries the version
# record and the program icon.

set(VMB_VENDOR "Vantor Signs Ltd.")
# The version texts read as the major number, a dot and two digits.
math(EXPR vmb_minor_digits "${PROJECT_VERSION_MINOR} * 10 + ${PROJECT_VERSION_PATCH}")
string(LENGTH "${vmb_minor_digits}" vmb_length)
if(vmb_length EQUAL 1)
    set(vmb_minor_digits "0${vmb_minor_digits}")
endif()
set(VMB_VERSION_TEXT "${PROJECT_VERSION_MAJOR}.${vmb_minor_digits}")
set(VMB_ICON_FILE "${PROJECT_SOURCE_DIR}/assets/icon.ico")

# vmb_windows_program(target description)
function(vmb_windows_program target description)
    set(VMB_PROGRAM ${target})
    set(VMB_FILE_DESCRIPTION "${description}")
    configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/version.rc.in
                   ${CMAKE_CURRENT_BINARY_DIR}/${target}-version.rc @ONLY)
    target_sources(${target} PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/${target}-version.rc)
endfunction()

set_target_properties(VantorMsgBoard VantorVirtualSign PROPERTIES WIN32_EXECUTABLE ON)
vmb_windows_program(VantorMsgBoard "Vantor Message Board")
vmb_windows_program(VantorVirtualSign "Vantor Virtual Sign")
vmb_windows_program(vantor-sign "Vantor sign command line")
