# What `cmake --install` puts under the prefix, and the Debian package made from it with
# `cpack -G DEB`. Nothing outside the prefix is touched: the user's MoniData is never part of it.

set(MONIVA_APP_ID "se.moniva.Moniva")
set(MONIVA_METAINFO_URL "https://moniva.example.org" CACHE STRING
    "Home page and screenshot base address named in the AppStream metainfo")

configure_file(data/${MONIVA_APP_ID}.metainfo.xml ${CMAKE_BINARY_DIR}/${MONIVA_APP_ID}.metainfo.xml @ONLY)
configure_file(data/moniva.1 ${CMAKE_BINARY_DIR}/moniva.1 @ONLY)
configure_file(data/changelog ${CMAKE_BINARY_DIR}/changelog @ONLY)
# Installed compressed, as Debian's policy has it; -n keeps name and time out, so the files are the
# same at every build.
execute_process(COMMAND gzip -9nkf ${CMAKE_BINARY_DIR}/moniva.1 ${CMAKE_BINARY_DIR}/changelog
                COMMAND_ERROR_IS_FATAL ANY)

install(TARGETS moniva RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES data/BudgInfoFil.txt DESTINATION ${CMAKE_INSTALL_DATADIR}/moniva)
install(FILES data/${MONIVA_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_BINARY_DIR}/${MONIVA_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${CMAKE_BINARY_DIR}/moniva.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES data/copyright ${CMAKE_BINARY_DIR}/changelog.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/moniva)
install(FILES data/icons/moniva.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME ${MONIVA_APP_ID}.svg)
foreach(size 48 128 256)
    install(FILES data/icons/moniva-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME ${MONIVA_APP_ID}.png)
endforeach()

set(CPACK_PACKAGE_NAME "moniva")
set(CPACK_PACKAGE_VENDOR "Moniva")
set(CPACK_PACKAGE_CONTACT "Moniva <moniva@moniva.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Hushållsekonomi med kassabok och budget")
set(CPACK_PACKAGE_DESCRIPTION
    "Kassaböcker och budgetkonton för hushållet, budgetplanering runt helger och\nröda dagar, statistik med diagram, rapporter och säkerhetskopior.")
set(CPACK_PACKAGE_INSTALL_DIRECTORY "moniva")
set(CPACK_GENERATOR "DEB")
set(CPACK_DEBIAN_PACKAGE_SECTION "misc")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES ON)
include(CPack)
