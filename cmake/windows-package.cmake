# The Windows package: one ZIP with zek-setup.exe (where the desktop program is built),
# zek-cli.exe and README-Windows.txt, the README's "Windows" section; and a per-user
# installer of the same files (NSIS, packaging/windows/zek-setup.nsi).
#   cmake --build build/windows --target package      the ZIP
#   cmake --build build/windows --target installer    zek-setup-VERSION-windows-x86_64-setup.exe
# What goes in is what the programs install, so a program that is built is packed.

# The section runs from its heading to the next heading; what follows it (building on
# Linux) is not for the package's readers.
file(READ ${PROJECT_SOURCE_DIR}/README.md zek_readme)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/README.md)
string(FIND "${zek_readme}" "\n## Windows\n" zek_section_start)
if(zek_section_start GREATER_EQUAL 0)
    math(EXPR zek_section_start "${zek_section_start} + 1")
    string(SUBSTRING "${zek_readme}" ${zek_section_start} -1 zek_section)
    string(FIND "${zek_section}" "\n#" zek_section_end)
    if(zek_section_end GREATER_EQUAL 0)
        string(SUBSTRING "${zek_section}" 0 ${zek_section_end} zek_section)
    endif()
    # Notepad of older Windows versions shows a file with bare line feeds as one line.
    file(CONFIGURE OUTPUT ${PROJECT_BINARY_DIR}/README-Windows.txt CONTENT "${zek_section}\n"
         @ONLY NEWLINE_STYLE CRLF)
    install(FILES ${PROJECT_BINARY_DIR}/README-Windows.txt DESTINATION .)
endif()

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME zek-setup)
set(zek_package_name zek-setup-${PROJECT_VERSION}-windows-x86_64)
set(CPACK_PACKAGE_FILE_NAME ${zek_package_name})
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_STRIP_FILES ON)
include(CPack)

# The installer packs the files the ZIP holds, installed into a folder of their own.
set(zek_installer_stage ${PROJECT_BINARY_DIR}/installer-stage)
set(zek_installer ${PROJECT_BINARY_DIR}/${zek_package_name}-setup.exe)
add_custom_target(installer
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${zek_installer_stage}
    COMMAND ${CMAKE_COMMAND} --install ${PROJECT_BINARY_DIR} --prefix ${zek_installer_stage}
            --strip
    COMMAND makensis -V2 -DVERSION=${PROJECT_VERSION} -DSTAGE=${zek_installer_stage}
            -DOUTFILE=${zek_installer} ${PROJECT_SOURCE_DIR}/packaging/windows/zek-setup.nsi
    BYPRODUCTS ${zek_installer}
    COMMENT "Packing ${zek_package_name}-setup.exe"
    VERBATIM)
foreach(program IN ITEMS zek-setup zek-cli)
    if(TARGET ${program})
        add_dependencies(installer ${program})
    endif()
endforeach()
