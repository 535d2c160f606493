# Installed layout: the program folder is <prefix>/lib/estaciones (the
# executables and the scripts they read from their own folder), with links in
# <prefix>/bin, a desktop entry and an icon. The program folder is read-only
# for ordinary users; the program then keeps its own files in the per-user
# data folder.
include(GNUInstallDirs)

set(ESTACIONES_INSTALL_PROGRAMDIR ${CMAKE_INSTALL_LIBDIR}/estaciones)

install(TARGETS estaciones estaciones-sql RUNTIME DESTINATION ${ESTACIONES_INSTALL_PROGRAMDIR})

get_directory_property(estaciones_sql_files DIRECTORY ${PROJECT_SOURCE_DIR}/sql
    DEFINITION ESTACIONES_SQL_FILES)
list(TRANSFORM estaciones_sql_files PREPEND ${PROJECT_SOURCE_DIR}/sql/)
install(FILES ${estaciones_sql_files} DESTINATION ${ESTACIONES_INSTALL_PROGRAMDIR})

# Relative links, so that a staged install (DESTDIR) stays correct.
foreach(program estaciones estaciones-sql)
    install(CODE "
        file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
        file(CREATE_LINK \"../${ESTACIONES_INSTALL_PROGRAMDIR}/${program}\"
             \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/${program}\" SYMBOLIC)")
endforeach()

set(ESTACIONES_BIN ${CMAKE_INSTALL_FULL_BINDIR})
configure_file(${PROJECT_SOURCE_DIR}/packaging/estaciones.desktop.in
    ${PROJECT_BINARY_DIR}/estaciones.desktop @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/estaciones.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/estaciones.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
