# The program's Swedish catalogue of Qt's own dialog texts, compiled with lrelease (package
# qt6-l10n-tools) and built into moniva_ui as :/translations/moniva_qt_sv.qm.

find_program(MONIVA_LRELEASE NAMES lrelease lrelease-qt6
             HINTS "${QT6_INSTALL_PREFIX}/${QT6_INSTALL_BINS}" /usr/lib/qt6/bin REQUIRED)
set(MONIVA_TS ${CMAKE_SOURCE_DIR}/translations/moniva_qt_sv.ts)
set(MONIVA_QM ${CMAKE_BINARY_DIR}/translations/moniva_qt_sv.qm)
add_custom_command(OUTPUT ${MONIVA_QM}
                   COMMAND ${MONIVA_LRELEASE} -silent ${MONIVA_TS} -qm ${MONIVA_QM}
                   DEPENDS ${MONIVA_TS} VERBATIM)
qt_add_resources(moniva_ui moniva_translations PREFIX /translations BASE ${CMAKE_BINARY_DIR}/translations
                 FILES ${MONIVA_QM})
