# Installed layout: the program folder is <prefix>/lib/estaciones (the
# executables and the scripts they read from their own folder), with links in
# <prefix>/bin, a desktop entry and an icon. The program folder is read-only
# for ordinary users; the program then keeps its own files in the per-user
# data folder.
include(GNUInstallDirs)

set(ESTACIONES_INSTALL_PROGRAMDIR ${CMAKE_INSTALL_LIBDIR}/estaciones)

install(TARGETS estaciones estaciones-sql RUNTIME DESTINATION ${ESTACIONES_INSTALL_PROGRAMDIR})
# The engine's functions for the stock sqlite3 shell (`.load <folder>/estaciones-tsql`).
install(TARGETS estaciones_tsql_extension LIBRARY DESTINATION ${ESTACIONES_INSTALL_PROGRAMDIR})
# The modules the program opens when a feature is first used (web client, printing).
install(TARGETS estaciones_http_curl estaciones_print LIBRARY DESTINATION ${ESTACIONES_INSTALL_PROGRAMDIR})

get_directory_property(estaciones_sql_files DIRECTORY ${PROJECT_SOURCE_DIR}/sql
    DEFINITION ESTACIONES_SQL_FILES)
list(TRANSFORM estaciones_sql_files PREPEND ${PROJECT_SOURCE_DIR}/sql/)
install(FILES ${estaciones_sql_files} DESTINATION ${ESTACIONES_INSTALL_PROGRAMDIR})
get_directory_property(estaciones_prebuilt_files DIRECTORY ${PROJECT_SOURCE_DIR}/sql
    DEFINITION ESTACIONES_PREBUILT_FILES)
install(FILES ${estaciones_prebuilt_files} DESTINATION ${ESTACIONES_INSTALL_PROGRAMDIR})

# The help pages F1 opens, under the program folder.
install(FILES ${ESTACIONES_HELP_FILES} DESTINATION ${ESTACIONES_INSTALL_PROGRAMDIR}/ayuda)

# Relative links, so that a staged install (DESTDIR) stays correct.
foreach(program estaciones estaciones-sql)
    install(CODE "
        file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
        file(CREATE_LINK \"../${ESTACIONES_INSTALL_PROGRAMDIR}/${program}\"
             \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/${program}\" SYMBOLIC)")
endforeach()

# The desktop entry names the links by their full path, known only when
# installing (`cmake --install --prefix` may change the prefix).
install(CODE "
    file(READ \"${PROJECT_SOURCE_DIR}/packaging/estaciones.desktop.in\" entrada)
    string(REPLACE \"@ESTACIONES_BIN@\" \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\"
           entrada \"\${entrada}\")
    set(destino \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/applications\")
    file(MAKE_DIRECTORY \"\${destino}\")
    file(WRITE \"\${destino}/estaciones.desktop\" \"\${entrada}\")
    message(STATUS \"Installing: \${destino}/estaciones.desktop\")")
install(FILES ${PROJECT_SOURCE_DIR}/packaging/estaciones.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
