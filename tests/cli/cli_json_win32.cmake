# zek-cli.exe under Wine and the build machine's zek-cli read the virtual controller and
# must print the same JSON; only the line ends may differ.
#   cmake -D EMULATOR=wine64 -D WINDOWS_CLI=zek-cli.exe -D NATIVE_CLI=zek-cli -P this
# Each run starts in an empty folder of its own: the program keeps qvsetup.cfg there.
set(work ${CMAKE_CURRENT_BINARY_DIR}/cli-json-win32)
file(REMOVE_RECURSE ${work})
file(MAKE_DIRECTORY ${work}/windows ${work}/native)
execute_process(COMMAND ${EMULATOR} ${WINDOWS_CLI} --simulate --json read
    WORKING_DIRECTORY ${work}/windows OUTPUT_VARIABLE windows_out RESULT_VARIABLE windows_exit)
execute_process(COMMAND ${NATIVE_CLI} --simulate --json read
    WORKING_DIRECTORY ${work}/native OUTPUT_VARIABLE native_out RESULT_VARIABLE native_exit)
string(REPLACE "\r\n" "\n" windows_out "${windows_out}")
if(native_out STREQUAL "" OR NOT windows_exit STREQUAL native_exit
        OR NOT windows_out STREQUAL native_out)
    file(WRITE ${work}/windows.json "${windows_out}")
    file(WRITE ${work}/native.json "${native_out}")
    message(FATAL_ERROR "exit ${windows_exit} under Wine, ${native_exit} natively; compare "
        "${work}/windows.json and native.json")
endif()
