# Release packages, made with CPack from the install rules (scripts/release.sh):
# the Windows build gives Velmora-<version>-win64.zip, the Linux build
# velmora_<version>_amd64.deb. The version is the project's own.

# A package holds what release.sh built; it does not build every target first.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

set(VELMORA_GUIDE ${PROJECT_SOURCE_DIR}/docs/使用说明.md ${PROJECT_SOURCE_DIR}/docs/user-guide.md)

set(CPACK_PACKAGE_NAME Velmora)
set(CPACK_PACKAGE_VENDOR Velmora)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Numbers the piles of a CAD drawing and exports their coordinate table")
set(CPACK_STRIP_FILES ON)

if(WIN32)
  # One folder to unpack anywhere: the program, the guide with its pictures,
  # and the licences of the runtime linked into the program.
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME Velmora-${PROJECT_VERSION}-win64)
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
  install(FILES ${VELMORA_GUIDE} DESTINATION .)
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/images DESTINATION .)
  if(MINGW)
    # libstdc++ and libgcc come from GCC, the C runtime and winpthreads from
    # mingw-w64; Debian's copyright files of their packages hold the texts.
    set(notice ${CMAKE_BINARY_DIR}/LICENSE.txt)
    file(WRITE ${notice}
         "Velmora.exe is linked statically with the GCC runtime libraries (libstdc++,\n"
         "libgcc) and the mingw-w64 runtime (C runtime, winpthreads). Their licences\n"
         "follow, as Debian ships them with the compilers this program was built with.\n")
    foreach(package gcc-mingw-w64-base mingw-w64-x86-64-dev)
      set(copyright /usr/share/doc/${package}/copyright)
      if(NOT EXISTS ${copyright})
        message(FATAL_ERROR "${copyright} is missing: apt-get install ${package}")
      endif()
      file(READ ${copyright} text)
      file(APPEND ${notice} "\n\n==== ${package} (${copyright}) ====\n\n${text}")
    endforeach()
    install(FILES ${notice} DESTINATION .)
  endif()
elseif(TARGET velmora)
  # /usr/lib/velmora/velmora finds its sample drawing beside itself, in
  # samples/, which links to /usr/share/velmora/samples.
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEBIAN_PACKAGE_NAME velmora)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE amd64)
  set(CPACK_DEBIAN_PACKAGE_SECTION science)
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Velmora maintainers <maintainers@users.noreply.c-seed-7eec0856.example>")
  set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
      "${CPACK_PACKAGE_DESCRIPTION_SUMMARY}\n"
      " Velmora numbers the piles a user picks in a drawing, writes a label beside\n"
      " each and exports a formatted coordinate table to a spreadsheet. This Linux\n"
      " build comes with stand-ins for the CAD program (a DXF workspace with a\n"
      " sample drawing) and for the spreadsheet (writes .xlsx files).")
  # The libraries the program links (Qt 6, libxlsxwriter, dxflib) are found by
  # dpkg-shlibdeps; Qt's X11 platform plugin and a Chinese font are loaded at
  # run time and named here.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-wqy-zenhei | fonts-noto-cjk")
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")

  set(deb ${CMAKE_CURRENT_LIST_DIR}/deb)
  install(FILES ${PROJECT_SOURCE_DIR}/samples/piles.dxf DESTINATION share/velmora/samples)
  file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/packaging)
  file(CREATE_LINK ../../share/velmora/samples ${CMAKE_BINARY_DIR}/packaging/samples SYMBOLIC)
  file(CREATE_LINK ../lib/velmora/velmora ${CMAKE_BINARY_DIR}/packaging/velmora SYMBOLIC)
  install(FILES ${CMAKE_BINARY_DIR}/packaging/samples DESTINATION lib/velmora)
  install(FILES ${CMAKE_BINARY_DIR}/packaging/velmora DESTINATION bin)
  install(FILES ${deb}/velmora.desktop DESTINATION share/applications)
  find_package(Python3 REQUIRED COMPONENTS Interpreter)
  set(icon ${CMAKE_BINARY_DIR}/packaging/velmora.png)
  execute_process(COMMAND ${Python3_EXECUTABLE} ${deb}/make_icon_png.py
                          ${PROJECT_SOURCE_DIR}/src/app/win32/make_icon.py 64 ${icon}
                  COMMAND_ERROR_IS_FATAL ANY)
  install(FILES ${icon} DESTINATION share/icons/hicolor/64x64/apps)
  install(FILES ${VELMORA_GUIDE} DESTINATION share/doc/velmora)
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/images DESTINATION share/doc/velmora)
endif()

include(CPack)
