# The module layers, enforced by the build.
#
# Every module's headers are reached as "<module>/<header>.h". A module's target puts on
# its include path one folder in the build tree that holds a single link, <module> ->
# src/<module>, so a module sees another module's headers only when it links that module.
# An include of a module above it then fails to compile ("No such file or directory").

set(ZEK_INCLUDE_ROOT ${PROJECT_BINARY_DIR}/include)

# zek_module(target module [DIRECTORY dir]): target is a library of module; its headers
# are exposed and its links checked by zek_check_module_graph.
function(zek_module target module)
    cmake_parse_arguments(E "" "DIRECTORY" "" ${ARGN})
    if(NOT E_DIRECTORY)
        set(E_DIRECTORY ${PROJECT_SOURCE_DIR}/src/${module})
    endif()
    set(root ${ZEK_INCLUDE_ROOT}/${module})
    if(NOT EXISTS ${root}/${module})
        file(MAKE_DIRECTORY ${root})
        file(CREATE_LINK ${E_DIRECTORY} ${root}/${module} RESULT linked SYMBOLIC)
        if(NOT linked STREQUAL "0")
            # No symbolic links here (a Windows host without the privilege): the headers are
            # still found, only the layers are no longer checked by the compiler.
            message(WARNING "zek: ${module} headers exposed without layer check (${linked})")
            get_filename_component(root ${E_DIRECTORY} DIRECTORY)
        endif()
    endif()
    target_include_directories(${target} PUBLIC ${root})
    set_property(GLOBAL APPEND PROPERTY ZEK_MODULE_LIBRARIES ${target})
endfunction()

# Which modules each module may link, straight from the layer diagram:
#   ui <- adapter <- link <- controller <- settings, isp, update <- safety <- shell <- gui, win32, cli
#   base (files, JSON, the user's folders) sits low, just above ui, for every module above it;
#   diagnostics (the port checks) just above adapter; sim on adapter only; resources
#   (templates, texts) and config (qvsetup.cfg) sit just above ui and beside the line driver.
set(ZEK_ALLOWED_ui "")
set(ZEK_ALLOWED_base ui)
set(ZEK_ALLOWED_resources ui)
set(ZEK_ALLOWED_config ui resources base)
set(ZEK_ALLOWED_adapter ui resources base)
set(ZEK_ALLOWED_diagnostics adapter ui resources base)
set(ZEK_ALLOWED_sim adapter ui resources base)
set(ZEK_ALLOWED_link adapter ui resources base)
set(ZEK_ALLOWED_controller link adapter ui resources config base)
set(ZEK_ALLOWED_settings controller link adapter ui resources config base)
set(ZEK_ALLOWED_isp controller link adapter ui resources config base)
set(ZEK_ALLOWED_update controller link adapter ui resources config base)
set(ZEK_ALLOWED_safety settings isp update controller link adapter ui resources config base)
set(ZEK_ALLOWED_shell safety settings isp update controller link adapter diagnostics sim ui
    resources config base)
set(ZEK_ALLOWED_gui shell safety settings isp update controller link adapter diagnostics sim ui
    resources config base)
set(ZEK_ALLOWED_win32 ${ZEK_ALLOWED_gui})
set(ZEK_ALLOWED_cli ${ZEK_ALLOWED_gui})

# The module a library belongs to: zek_<module> or zek_<module>_<part>; test support
# (zek_*testing*, zek_test_support…) belongs to none and may be linked only by tests.
function(zek_module_of library out)
    set(module "")
    if(library MATCHES "^zek_([a-z]+)(_[a-z_]+)?$")
        set(module ${CMAKE_MATCH_1})
        if(library MATCHES "testing|test_support|recording")
            set(module "testing")
        endif()
    endif()
    set(${out} ${module} PARENT_SCOPE)
endfunction()

# Fails the configuration when a module library links something its layer may not.
function(zek_check_module_graph)
    get_property(libraries GLOBAL PROPERTY ZEK_MODULE_LIBRARIES)
    foreach(library IN LISTS libraries)
        zek_module_of(${library} module)
        get_target_property(direct ${library} LINK_LIBRARIES)
        get_target_property(interface ${library} INTERFACE_LINK_LIBRARIES)
        foreach(dependency IN LISTS direct interface)
            if(NOT TARGET ${dependency})
                continue()
            endif()
            zek_module_of(${dependency} used)
            if("${used}" STREQUAL "" OR "${used}" STREQUAL "${module}")
                continue()
            endif()
            if(NOT used IN_LIST ZEK_ALLOWED_${module})
                message(FATAL_ERROR "zek: ${library} (${module}) may not link ${dependency} (${used})")
            endif()
        endforeach()
    endforeach()
endfunction()
