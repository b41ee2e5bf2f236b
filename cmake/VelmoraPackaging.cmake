# Release packages, made with CPack from the install rules (scripts/release.sh):
# the Windows build gives Velmora-<version>-win64.zip, the Linux build
# velmora_<version>_amd64.deb. The version is the project's own; the
# changelog, the AppStream metainfo and the manual pages name it too, and
# scripts/test.d/60-release-packages.sh checks that they agree.
#
# The files made from the repository's texts (licence, changes, manual pages,
# icons) are built by the target velmora_package_files, part of "all";
# release.sh builds it beside the program.

# A package holds what release.sh built; it does not build every target first.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

find_package(Python3 REQUIRED COMPONENTS Interpreter)

set(VELMORA_GUIDE ${PROJECT_SOURCE_DIR}/docs/使用说明.md ${PROJECT_SOURCE_DIR}/docs/user-guide.md)
# The same in every package: the .deb's Maintainer and its changelog, and the
# Upstream-Contact of LICENSE, which both packages carry.
set(VELMORA_MAINTAINER "Velmora maintainers <velmora@example.org>")
# The AppStream id, the desktop entry's and the icon's name.
set(VELMORA_APP_ID org.example.velmora)

set(CPACK_PACKAGE_NAME Velmora)
set(CPACK_PACKAGE_VENDOR Velmora)
set(CPACK_PACKAGE_CONTACT ${VELMORA_MAINTAINER})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Numbers the piles of a CAD drawing and exports their coordinate table")
set(CPACK_STRIP_FILES ON)

set(deb ${CMAKE_CURRENT_LIST_DIR}/deb)
set(texts ${deb}/package_texts.py)
set(packaging ${CMAKE_BINARY_DIR}/packaging)
file(MAKE_DIRECTORY ${packaging})
set(package_files)

if(WIN32)
  # One folder to unpack anywhere: the program, the guide with its pictures,
  # the licences (Velmora's and those of the runtime linked into the
  # program) and the list of changes, the texts with Windows line ends.
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME Velmora-${PROJECT_VERSION}-win64)
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
  install(FILES ${VELMORA_GUIDE} DESTINATION .)
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/images DESTINATION .)
  set(licence_parts ${PROJECT_SOURCE_DIR}/LICENSE)
  if(MINGW)
    # libstdc++ and libgcc come from GCC, the C runtime and winpthreads from
    # mingw-w64; Debian's copyright files of their packages hold the texts.
    set(text
        "\n==== The runtime libraries in Velmora.exe ====\n\n"
        "Velmora.exe is linked statically with the GCC runtime libraries (libstdc++,\n"
        "libgcc) and the mingw-w64 runtime (C runtime, winpthreads). Their licences\n"
        "follow, as Debian ships them with the compilers this program was built with.\n")
    string(JOIN "" text ${text})
    foreach(package gcc-mingw-w64-base mingw-w64-x86-64-dev)
      set(copyright /usr/share/doc/${package}/copyright)
      if(NOT EXISTS ${copyright})
        message(FATAL_ERROR "${copyright} is missing: apt-get install ${package}")
      endif()
      file(READ ${copyright} part)
      string(APPEND text "\n\n==== ${package} (${copyright}) ====\n\n${part}")
    endforeach()
    # Rewritten only when it changes, so that LICENSE.txt is not made again.
    file(WRITE ${packaging}/runtime-licences.txt.new "${text}")
    file(COPY_FILE ${packaging}/runtime-licences.txt.new ${packaging}/runtime-licences.txt
         ONLY_IF_DIFFERENT)
    list(APPEND licence_parts ${packaging}/runtime-licences.txt)
  endif()
  add_custom_command(OUTPUT ${packaging}/LICENSE.txt
                     COMMAND Python3::Interpreter ${texts} windows ${packaging}/LICENSE.txt ${licence_parts}
                     DEPENDS ${texts} ${licence_parts} VERBATIM)
  add_custom_command(OUTPUT ${packaging}/CHANGELOG.txt
                     COMMAND Python3::Interpreter ${texts} windows ${packaging}/CHANGELOG.txt
                             ${PROJECT_SOURCE_DIR}/CHANGELOG.md
                     DEPENDS ${texts} ${PROJECT_SOURCE_DIR}/CHANGELOG.md VERBATIM)
  list(APPEND package_files ${packaging}/LICENSE.txt ${packaging}/CHANGELOG.txt)
  install(FILES ${packaging}/LICENSE.txt ${packaging}/CHANGELOG.txt DESTINATION .)
elseif(TARGET velmora)
  # /usr/lib/velmora/velmora finds its sample drawing beside itself, in
  # samples/, which links to /usr/share/velmora/samples.
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEBIAN_PACKAGE_NAME velmora)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE amd64)
  set(CPACK_DEBIAN_PACKAGE_SECTION science)
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${VELMORA_MAINTAINER})
  # The extended description, in one string (a CMake list would be joined
  # with ";" into the text); CPack puts the summary line before it and
  # indents its lines.
  set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "\
Velmora numbers the piles a user picks in a drawing, writes a label beside
each and exports a formatted coordinate table to a spreadsheet. This Linux
build comes with stand-ins for the CAD program (a DXF workspace with a
sample drawing) and for the spreadsheet (writes .xlsx files).")
  # The libraries the program links are found by dpkg-shlibdeps; Qt's X11
  # platform plugin and a Chinese font are loaded at run time and named here.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-wqy-zenhei | fonts-noto-cjk")
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")

  # Hardening as Debian builds programs: relocations read-only before start.
  target_link_options(velmora PRIVATE LINKER:-z,now)
  # Stripped as Debian's dh_strip does it, without the compiler's notes.
  install(CODE "execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment
                                        --remove-section=.note
                                        \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/lib/velmora/velmora\"
                                COMMAND_ERROR_IS_FATAL ANY)")

  install(FILES ${PROJECT_SOURCE_DIR}/samples/piles.dxf DESTINATION share/velmora/samples)
  file(CREATE_LINK ../../share/velmora/samples ${packaging}/samples SYMBOLIC)
  file(CREATE_LINK ../lib/velmora/velmora ${packaging}/velmora SYMBOLIC)
  install(FILES ${packaging}/samples DESTINATION lib/velmora)
  install(FILES ${packaging}/velmora DESTINATION bin)

  # The desktop entry, the software centres' metainfo and the icon, drawn as
  # for Velmora.exe, at three sizes.
  install(FILES ${deb}/${VELMORA_APP_ID}.desktop DESTINATION share/applications)
  install(FILES ${deb}/${VELMORA_APP_ID}.metainfo.xml DESTINATION share/metainfo)
  set(draw ${PROJECT_SOURCE_DIR}/src/app/win32/make_icon.py)
  foreach(size 64 128 256)
    set(icon ${packaging}/icons/${size}/${VELMORA_APP_ID}.png)
    add_custom_command(OUTPUT ${icon}
                       COMMAND Python3::Interpreter ${deb}/make_icon_png.py ${draw} ${size} ${icon}
                       DEPENDS ${deb}/make_icon_png.py ${draw} VERBATIM)
    list(APPEND package_files ${icon})
    install(FILES ${icon} DESTINATION share/icons/hicolor/${size}x${size}/apps)
  endforeach()

  # Manual pages, English and Chinese, gzipped as Debian wants them.
  foreach(lang en zh_CN)
    if(lang STREQUAL en)
      set(page ${PROJECT_SOURCE_DIR}/docs/man/velmora.1)
      set(dir share/man/man1)
    else()
      set(page ${PROJECT_SOURCE_DIR}/docs/man/${lang}/velmora.1)
      set(dir share/man/${lang}/man1)
    endif()
    set(gz ${packaging}/man/${lang}/velmora.1.gz)
    add_custom_command(OUTPUT ${gz}
                       COMMAND ${CMAKE_COMMAND} -E make_directory ${packaging}/man/${lang}
                       COMMAND Python3::Interpreter ${texts} gzip ${page} ${gz}
                       DEPENDS ${texts} ${page} VERBATIM)
    list(APPEND package_files ${gz})
    install(FILES ${gz} DESTINATION ${dir})
  endforeach()

  # Licence and changes where Debian keeps them: the copyright file is
  # LICENSE itself, the changelog made from CHANGELOG.md.
  add_custom_command(OUTPUT ${packaging}/changelog.gz
                     COMMAND Python3::Interpreter ${texts} changelog ${PROJECT_SOURCE_DIR}/CHANGELOG.md
                             ${VELMORA_MAINTAINER} ${packaging}/changelog.gz
                     DEPENDS ${texts} ${PROJECT_SOURCE_DIR}/CHANGELOG.md VERBATIM)
  list(APPEND package_files ${packaging}/changelog.gz)
  install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION share/doc/velmora RENAME copyright)
  install(FILES ${packaging}/changelog.gz ${VELMORA_GUIDE} DESTINATION share/doc/velmora)
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/images DESTINATION share/doc/velmora)
endif()

if(package_files)
  add_custom_target(velmora_package_files ALL DEPENDS ${package_files})
endif()

include(CPack)
