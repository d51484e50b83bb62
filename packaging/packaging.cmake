# Installation into the usual GNU folders, and the Debian package that CPack
# builds from it (scripts/package.sh). Included at the end of the top folder's
# configuration, when every program target is known.
include(GNUInstallDirs)

set(packaging_source ${CMAKE_SOURCE_DIR}/packaging)
set(packaging_binary ${CMAKE_BINARY_DIR}/packaging)
file(MAKE_DIRECTORY ${packaging_binary})
set(maintainer "Seed e378bf91 maintainers <maintainers@users.noreply.c-seed-e378bf91.example>")

set(programs spektralrechner)
if(TARGET spektralrechner-console)
  list(APPEND programs spektralrechner-console)
endif()
# For scripts/check-package.sh: the programs the package must hold.
string(REPLACE ";" "\n" program_lines "${programs}")
file(WRITE ${packaging_binary}/programs.txt "${program_lines}\n")
# ... and where the module that draws --plot's pictures goes.
file(WRITE ${packaging_binary}/diagram_module.txt "${DIAGRAM_MODULE_DIR}/spektralrechner-diagram.so\n")

# Manual page and changelog go into the package compressed, as Debian keeps
# them (gzip -n: no name or time stamp, so that the same text gives the same
# bytes).
set(compressed_files)
foreach(name spektralrechner.1 changelog)
  add_custom_command(OUTPUT ${packaging_binary}/${name}.gz
    COMMAND sh -c "gzip -9nc < \"$0\" > \"$1\"" ${packaging_source}/${name} ${packaging_binary}/${name}.gz
    DEPENDS ${packaging_source}/${name}
    VERBATIM)
  list(APPEND compressed_files ${packaging_binary}/${name}.gz)
endforeach()
# Everything the package holds, built: scripts/package.sh builds this target.
add_custom_target(package_contents ALL DEPENDS ${compressed_files})
add_dependencies(package_contents ${programs} spektralrechner-diagram)

# Symbols bound at start, so that the relocations can be read-only.
foreach(program ${programs} spektralrechner-diagram)
  target_link_options(${program} PRIVATE -Wl,-z,relro,-z,now)
endforeach()
install(TARGETS ${programs} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS spektralrechner-diagram LIBRARY DESTINATION ${DIAGRAM_MODULE_DIR})
install(FILES ${packaging_source}/spektralrechner.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
# The software centres' entry goes in under the component id it carries.
file(STRINGS ${packaging_source}/spektralrechner.metainfo.xml metainfo_id_line REGEX "<id>")
string(REGEX REPLACE ".*<id>(.*)</id>.*" "\\1" metainfo_id "${metainfo_id_line}")
install(FILES ${packaging_source}/spektralrechner.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo
        RENAME ${metainfo_id}.metainfo.xml)
install(FILES ${packaging_source}/spektralrechner.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${packaging_binary}/spektralrechner.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
if(TARGET spektralrechner-console)
  # One page describes both editions.
  file(CREATE_LINK spektralrechner.1.gz ${packaging_binary}/spektralrechner-console.1.gz SYMBOLIC)
  install(FILES ${packaging_binary}/spektralrechner-console.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()
install(FILES ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_SOURCE_DIR}/LICENSE
              ${packaging_source}/copyright ${packaging_binary}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${CMAKE_SOURCE_DIR}/docs/calculator.png ${CMAKE_SOURCE_DIR}/docs/diagram.png
        DESTINATION ${CMAKE_INSTALL_DOCDIR}/docs)

set(CPACK_PACKAGE_NAME spektralrechner)
set(CPACK_PACKAGE_VENDOR "Seed e378bf91 maintainers")
set(CPACK_PACKAGE_CONTACT "${maintainer}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${maintainer}")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The error dialogue needs a program that shows message boxes; the pictures
# of --plot are written in DejaVu Sans (cairo itself comes in through the
# module's shared libraries).
set(CPACK_DEBIAN_PACKAGE_DEPENDS "zenity | kdialog | x11-utils, fonts-dejavu-core")
if(TARGET spektralrechner-console)
  set(description_editions "The dialogue is in German. The window edition shows an 80 by 25 text
screen, white on blue, in a window of its own on the X display. The
terminal edition, spektralrechner-console, gives the same dialogue in a
terminal, and reads entries from a pipe without an X display.")
else()
  set(description_editions "The dialogue is in German. The program shows an 80 by 25 text screen,
white on blue, in a window of its own on the X display.")
endif()
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "chromaticity calculator for spectral and purple colours
Spektralrechner prints the CIE 1931 chromaticity coordinates x and y of a
spectral colour for a wavelength typed in nanometres, interpolated in the
CIE table of the spectral locus (360 to 700 nm in 1-nm steps). A negative
entry names a purple colour by its complementary wavelength: the calculator
then first prints the point where the line from the white point E through
that spectral colour meets the purple line. Both editions also write the
answers to many entries as CSV for scripts, and draw the CIE 1931
chromaticity diagram with the entries' points as SVG, PNG or PDF.

${description_editions}")
# CPack installs without building the tests and benchmarks first:
# scripts/package.sh builds package_contents itself.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
include(CPack)
