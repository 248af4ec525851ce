# An install into a temporary prefix lays out a desktop program that validates
# and starts: cmake -DBUILD_DIR=... -DWORK_DIR=... -P CheckInstall.cmake
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE "${WORK_DIR}")
execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${WORK_DIR}/usr" RESULT_VARIABLE rc OUTPUT_QUIET)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmake --install failed")
endif()
set(prefix "${WORK_DIR}/usr")
foreach(f bin/tapeweld lib/tapeweld/tapeweld lib/tapeweld/tapeweld-window lib/tapeweld/tapeweld-cmd lib/tapeweld/tapeweld-probe lib/tapeweld/AVI.dll lib/tapeweld/DefaultSettings.ini
          lib/tapeweld/ReadMe.htm share/applications/example.larkvane.Tapeweld.desktop
          share/metainfo/example.larkvane.Tapeweld.metainfo.xml share/icons/hicolor/scalable/apps/example.larkvane.Tapeweld.svg
          share/icons/hicolor/48x48/apps/example.larkvane.Tapeweld.png share/icons/hicolor/256x256/apps/example.larkvane.Tapeweld.png)
  if(NOT EXISTS "${prefix}/${f}")
    message(FATAL_ERROR "not installed: ${f}")
  endif()
endforeach()
execute_process(COMMAND desktop-file-validate "${prefix}/share/applications/example.larkvane.Tapeweld.desktop" RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "desktop-file-validate failed")
endif()
execute_process(COMMAND appstreamcli validate --no-net "${prefix}/share/metainfo/example.larkvane.Tapeweld.metainfo.xml" RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "appstreamcli validate failed")
endif()
# One version everywhere: the metainfo's release is the project's.
file(READ "${prefix}/share/metainfo/example.larkvane.Tapeweld.metainfo.xml" metainfo)
if(NOT metainfo MATCHES "<release version=\"${VERSION}\"")
  message(FATAL_ERROR "the metainfo's release is not ${VERSION}")
endif()
# The installed program starts, from its launcher, and finds what it ships: its
# settings template is copied into the per-user folder. "/debug" followed by a
# Qt option starts no log.
set(config "${WORK_DIR}/config")
file(MAKE_DIRECTORY "${config}")
execute_process(COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME=${config}
                        "${prefix}/bin/tapeweld" /debug -reverse
                TIMEOUT 5 OUTPUT_QUIET ERROR_QUIET)
file(READ "${prefix}/lib/tapeweld/DefaultSettings.ini" template)
if(NOT EXISTS "${config}/Larkvane/Tapeweld/Settings.ini")
  message(FATAL_ERROR "the installed program did not copy its settings template")
endif()
file(READ "${config}/Larkvane/Tapeweld/Settings.ini" copied)
if(NOT copied STREQUAL template)
  message(FATAL_ERROR "Settings.ini is not the shipped template")
endif()
file(GLOB logs "${config}/Larkvane/Tapeweld/*.log")
if(logs)
  message(FATAL_ERROR "\"/debug -reverse\" started a debug log: ${logs}")
endif()
file(REMOVE_RECURSE "${WORK_DIR}")
message(STATUS "installed, validated and started")
