# Installed like any Linux program: man pages, bash completion, AppStream metainfo and the
# package's documents beside the programs, desktop entry and icon; and a Debian package of
# all of it, the udev rules included:
#   cmake --build BUILD && (cd BUILD && cpack -G DEB)
include(GNUInstallDirs)

find_program(ZEK_SCDOC scdoc)
find_program(ZEK_GZIP gzip)
set(zek_doc_outputs)
if(ZEK_SCDOC AND ZEK_GZIP)
    foreach(page zek-cli zek-setup)
        set(out ${PROJECT_BINARY_DIR}/man/${page}.1.gz)
        add_custom_command(OUTPUT ${out}
            COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/man
            COMMAND ${ZEK_SCDOC} < ${PROJECT_SOURCE_DIR}/docs/${page}.1.scd > ${PROJECT_BINARY_DIR}/man/${page}.1
            COMMAND ${ZEK_GZIP} -9nf ${PROJECT_BINARY_DIR}/man/${page}.1
            DEPENDS ${PROJECT_SOURCE_DIR}/docs/${page}.1.scd VERBATIM)
        list(APPEND zek_doc_outputs ${out})
        install(FILES ${out} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    endforeach()
else()
    message(STATUS "zek: scdoc not found, building without the man pages")
endif()

# The changelog in Debian's format, compressed as the package wants it.
set(zek_changelog ${PROJECT_BINARY_DIR}/debian/changelog)
string(TIMESTAMP zek_changelog_date "%a, %d %b %Y 00:00:00 +0000" UTC)
file(WRITE ${zek_changelog}.in
     "zek-setup (${PROJECT_VERSION}) unstable; urgency=low\n\n"
     "  * Release ${PROJECT_VERSION}.\n\n"
     " -- zek-setup maintainers <maintainers@zek-setup.invalid>  ${zek_changelog_date}\n")
if(ZEK_GZIP)
    add_custom_command(OUTPUT ${zek_changelog}.gz
        COMMAND ${CMAKE_COMMAND} -E copy ${zek_changelog}.in ${zek_changelog}
        COMMAND ${ZEK_GZIP} -9nf ${zek_changelog}
        DEPENDS ${zek_changelog}.in VERBATIM)
    list(APPEND zek_doc_outputs ${zek_changelog}.gz)
    install(FILES ${zek_changelog}.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})
endif()
add_custom_target(zek_docs ALL DEPENDS ${zek_doc_outputs})

install(FILES ${PROJECT_SOURCE_DIR}/resources/completion/zek-cli
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
install(FILES ${PROJECT_SOURCE_DIR}/resources/completion/zek-cli
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME zek-setup)
install(FILES ${PROJECT_SOURCE_DIR}/resources/zek-setup.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo
        RENAME io.github.zek_setup.zek_setup.metainfo.xml)
install(FILES ${PROJECT_SOURCE_DIR}/docs/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zek-setup)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_CONTACT "zek-setup maintainers <maintainers@zek-setup.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "setup program for the ZEK-Micro speed controller")
set(CPACK_PACKAGE_DESCRIPTION "Reads, edits and writes the settings of the ZEK-Micro speed controller\n\
through its programming adapter on a serial or parallel port or an FTDI\n\
converter: the desktop program zek-setup and the command line zek-cli, with a\n\
virtual controller to try everything without hardware.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "bash-completion")
# The udev rules are a component of their own for a plain install; the package has them.
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_COMPONENTS_ALL Unspecified udev)
include(CPack)
