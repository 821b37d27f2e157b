# Runs at install time, where CMAKE_INSTALL_PREFIX is the prefix being installed to: the units
# name the server where this installation puts it, and the settings go where the system keeps
# settings, /etc for an installation into /usr (as the package's is), PREFIX/etc otherwise.
# Expects PACKAGING_DIR, SCRATCH_DIR and BIN_DIR (relative to the prefix).
#
# One text makes both units: cubefray-server.service on the settings' port, and the template
# cubefray-server@.service, whose instance cubefray-server@PORT serves the port it is named
# after and reads the settings of cubefray-server@PORT after the shared ones.

if(CMAKE_INSTALL_PREFIX STREQUAL "/usr")
    set(settings_dir /etc/default)
else()
    set(settings_dir ${CMAKE_INSTALL_PREFIX}/etc/default)
endif()
set(SETTINGS_FILE ${settings_dir}/cubefray-server)
set(SERVER_PROGRAM ${CMAKE_INSTALL_PREFIX}/${BIN_DIR}/cubefray-server)

foreach(unit cubefray-server cubefray-server@)
    if(unit STREQUAL "cubefray-server")
        set(UNIT_DESCRIPTION "Cubefray game server")
        set(INSTANCE_SETTINGS "")
        set(PORT_ARGUMENT "\${CUBEFRAY_PORT}")
    else()
        set(UNIT_DESCRIPTION "Cubefray game server on port %i")
        set(INSTANCE_SETTINGS "\nEnvironmentFile=-${SETTINGS_FILE}@%i")
        set(PORT_ARGUMENT "%i")
    endif()
    configure_file(${PACKAGING_DIR}/cubefray-server.service.in
                   ${SCRATCH_DIR}/${unit}.service @ONLY)
    file(INSTALL ${SCRATCH_DIR}/${unit}.service
         DESTINATION ${CMAKE_INSTALL_PREFIX}/lib/systemd/system)
endforeach()
# A host's edited settings survive installing again.
if(NOT EXISTS "$ENV{DESTDIR}${SETTINGS_FILE}")
    file(INSTALL ${PACKAGING_DIR}/cubefray-server.default
         DESTINATION ${settings_dir} RENAME cubefray-server)
endif()
