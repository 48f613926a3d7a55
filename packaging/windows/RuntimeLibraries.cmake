# Installs the libraries the given Windows programs and libraries load, and
# the libraries those load in turn, from the given folders. Run at install
# time with -D or set(): FILES, FOLDERS, OBJDUMP, DESTINATION.
#
# Each file's import table is read with the cross objdump. Windows matches
# library names without regard to case (Qt6Core.dll may be imported as
# QT6CORE.DLL), so the folders are indexed by lower-case name. A library in
# none of the folders is the system's own and is left out.

set(index_names)
set(index_paths)
foreach(folder IN LISTS FOLDERS)
    file(GLOB libraries "${folder}/*.dll")
    foreach(library IN LISTS libraries)
        get_filename_component(name "${library}" NAME)
        string(TOLOWER "${name}" name)
        if(NOT name IN_LIST index_names)
            list(APPEND index_names "${name}")
            list(APPEND index_paths "${library}")
        endif()
    endforeach()
endforeach()

set(queue ${FILES})
set(seen)
set(found)
while(queue)
    list(POP_FRONT queue file)
    execute_process(COMMAND "${OBJDUMP}" -p "${file}" OUTPUT_VARIABLE dump RESULT_VARIABLE failed)
    if(failed)
        message(FATAL_ERROR "${OBJDUMP} cannot read ${file}")
    endif()
    string(REGEX MATCHALL "DLL Name: [^\r\n]+" imports "${dump}")
    foreach(import IN LISTS imports)
        string(REGEX REPLACE "^DLL Name: *" "" name "${import}")
        string(STRIP "${name}" name)
        string(TOLOWER "${name}" name)
        if(name IN_LIST seen)
            continue()
        endif()
        list(APPEND seen "${name}")
        list(FIND index_names "${name}" at)
        if(at GREATER -1)
            list(GET index_paths ${at} library)
            list(APPEND found "${library}")
            list(APPEND queue "${library}")
        endif()
    endforeach()
endwhile()

list(SORT found)
file(INSTALL ${found} DESTINATION "${DESTINATION}")
