# cmake -DBUILD_DIR=... -DSTAGING=... -DVERSION=... -DBINDIR=... -DDATADIR=...
#       -DWITH_MIRROVA=0|1 -P InstallTest.cmake
# Installs into STAGING (never the system), then checks the files and that
# the installed command-line program runs.
cmake_minimum_required(VERSION 3.25)
foreach(variable BUILD_DIR STAGING VERSION BINDIR DATADIR WITH_MIRROVA)
  if(NOT DEFINED ${variable})
    message(FATAL_ERROR "InstallTest.cmake: ${variable} is not given")
  endif()
endforeach()

file(REMOVE_RECURSE ${STAGING})
execute_process(
    COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${STAGING}
    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install ${BUILD_DIR} --prefix ${STAGING} failed (${status}):\n"
                      "${out}${err}")
endif()

set(expected
    ${BINDIR}/ledgerline ${BINDIR}/ledgerline-admin ${BINDIR}/mirrova-cli
    ${DATADIR}/mirrova/WorkSheet.tpl ${DATADIR}/mirrova/Configuration.tpl
    ${DATADIR}/applications/ledgerline.desktop
    ${DATADIR}/icons/hicolor/scalable/apps/ledgerline.svg
    ${DATADIR}/icons/hicolor/scalable/apps/mirrova.svg
    ${DATADIR}/mirrova/help/Help_MRVMirrova_EN.html)
if(WITH_MIRROVA)
  list(APPEND expected ${BINDIR}/mirrova ${DATADIR}/ledgerline/addons/mirrova.ini)
endif()
set(missing)
foreach(file IN LISTS expected)
  if(NOT EXISTS ${STAGING}/${file})
    list(APPEND missing ${file})
  endif()
endforeach()
if(missing)
  message(FATAL_ERROR "Not installed in ${STAGING}: ${missing}")
endif()

# The registration finds the installed program from its own folder.
if(WITH_MIRROVA)
  file(STRINGS ${STAGING}/${DATADIR}/ledgerline/addons/mirrova.ini exec REGEX "^Exec=")
  string(REGEX REPLACE "^Exec=" "" exec "${exec}")
  get_filename_component(program ${exec} ABSOLUTE
                         BASE_DIR ${STAGING}/${DATADIR}/ledgerline/addons)
  if(NOT program STREQUAL "${STAGING}/${BINDIR}/mirrova")
    message(FATAL_ERROR "mirrova.ini names ${program}, not ${STAGING}/${BINDIR}/mirrova")
  endif()
endif()

file(STRINGS ${STAGING}/${DATADIR}/applications/ledgerline.desktop desktop)
foreach(line "[Desktop Entry]" "Exec=ledgerline" "Icon=ledgerline" "Type=Application")
  if(NOT line IN_LIST desktop)
    message(FATAL_ERROR "ledgerline.desktop lacks the line '${line}'")
  endif()
endforeach()

execute_process(
    COMMAND ${STAGING}/${BINDIR}/mirrova-cli --version
    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0 OR NOT out STREQUAL "mirrova-cli ${VERSION}\n")
  message(FATAL_ERROR "The installed mirrova-cli --version gave status ${status}, "
                      "output '${out}', errors '${err}'")
endif()

# The installed program finds its templates in its data folder: the
# category list comes from the worksheet template.
execute_process(
    COMMAND ${STAGING}/${BINDIR}/mirrova-cli categories
    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0 OR NOT out MATCHES "MRV_")
  message(FATAL_ERROR "The installed mirrova-cli categories gave status ${status}, "
                      "output '${out}', errors '${err}'")
endif()

file(REMOVE_RECURSE ${STAGING})
