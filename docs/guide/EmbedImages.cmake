# cmake -DSOURCE=page.html -DOUTPUT=out.html -DBASE64=/usr/bin/base64 -P EmbedImages.cmake
#
# Copies the page, replacing every src="images/NAME.png" with the picture
# itself as a data: URI. A picture the page names but that is missing stops
# the build.
file(READ "${SOURCE}" page)
get_filename_component(folder "${SOURCE}" DIRECTORY)

string(REGEX MATCHALL "src=\"images/[A-Za-z0-9_.-]+\\.png\"" references "${page}")
list(REMOVE_DUPLICATES references)
foreach(reference IN LISTS references)
    string(REGEX REPLACE "^src=\"(.*)\"$" "\\1" relative "${reference}")
    if(NOT EXISTS "${folder}/${relative}")
        message(FATAL_ERROR "${SOURCE} shows ${relative}, which does not exist")
    endif()
    execute_process(
        COMMAND "${BASE64}" -w 0 "${folder}/${relative}"
        OUTPUT_VARIABLE encoded
        RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "cannot encode ${folder}/${relative}")
    endif()
    string(REPLACE "${reference}" "src=\"data:image/png;base64,${encoded}\"" page "${page}")
endforeach()

file(WRITE "${OUTPUT}" "${page}")
