# Runs at install time, where CMAKE_INSTALL_PREFIX is the prefix being installed to: the unit
# names the server where this installation puts it, and the settings go where the system keeps
# settings, /etc for an installation into /usr (as the package's is), PREFIX/etc otherwise.
# Expects PACKAGING_DIR, SCRATCH_DIR and BIN_DIR (relative to the prefix).

if(CMAKE_INSTALL_PREFIX STREQUAL "/usr")
    set(settings_dir /etc/default)
else()
    set(settings_dir ${CMAKE_INSTALL_PREFIX}/etc/default)
endif()
set(SETTINGS_FILE ${settings_dir}/cubefray-server)
set(SERVER_PROGRAM ${CMAKE_INSTALL_PREFIX}/${BIN_DIR}/cubefray-server)

configure_file(${PACKAGING_DIR}/cubefray-server.service.in
               ${SCRATCH_DIR}/cubefray-server.service @ONLY)
file(INSTALL ${SCRATCH_DIR}/cubefray-server.service
     DESTINATION ${CMAKE_INSTALL_PREFIX}/lib/systemd/system)
# A host's edited settings survive installing again.
if(NOT EXISTS "$ENV{DESTDIR}${SETTINGS_FILE}")
    file(INSTALL ${PACKAGING_DIR}/cubefray-server.default
         DESTINATION ${settings_dir} RENAME cubefray-server)
endif()
