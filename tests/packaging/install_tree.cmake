# Installs the built program into a fresh folder, as `cmake --install` does for a user, and checks
# that everything a desktop needs is in place and fits together: the program, the desktop entry
# naming that program and an installed icon, the icon in every size at that size, and the
# AppStream file naming the installed desktop entry, the program and this version; the manual page,
# the Debian changelog (both gzip-compressed), the machine-readable copyright file, the bash
# completion, the pppd example with its defaults file, and the modules the program loads.
#
# cmake -DBUILD_DIR=<build folder> -DPREFIX=<fresh folder> -DAPP_ID=<id> -DVERSION=<version>
#       -DMODULE_DIR=<the modules' folder relative to bin> -P install_tree.cmake

foreach(variable BUILD_DIR PREFIX APP_ID VERSION MODULE_DIR)
    if(NOT DEFINED ${variable})
        message(FATAL_ERROR "${variable} saknas")
    endif()
endforeach()

set(failures 0)
macro(fail text)
    message(SEND_ERROR "${text}")
    math(EXPR failures "${failures} + 1")
endmacro()

file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cmake --install misslyckades:\n${output}")
endif()

set(program "${PREFIX}/bin/surfklocka")
set(desktop "${PREFIX}/share/applications/${APP_ID}.desktop")
set(metainfo "${PREFIX}/share/metainfo/${APP_ID}.metainfo.xml")
set(scalable "${PREFIX}/share/icons/hicolor/scalable/apps/${APP_ID}.svg")
set(doc "${PREFIX}/share/doc/surfklocka")
set(man_page "${PREFIX}/share/man/man1/surfklocka.1.gz")
set(changelog "${doc}/changelog.Debian.gz")
foreach(file "${program}" "${desktop}" "${metainfo}" "${scalable}" "${doc}/copyright" "${man_page}"
        "${changelog}" "${PREFIX}/share/bash-completion/completions/surfklocka"
        "${doc}/examples/ppp/ip-down.d/surfklocka" "${doc}/examples/default/surfklocka"
        "${PREFIX}/share/lintian/overrides/surfklocka")
    if(NOT EXISTS "${file}")
        fail("saknas: ${file}")
    endif()
endforeach()
# The modules the program loads, where it looks for them: MODULE_DIR from its own folder.
foreach(module libsurfklocka_windows.so libsurfklocka_notifier_module.so libsurfklocka_printing.so)
    if(NOT EXISTS "${PREFIX}/bin/${MODULE_DIR}/${module}")
        fail("saknas där programmet letar: ${PREFIX}/bin/${MODULE_DIR}/${module}")
    endif()
endforeach()
# The windows start without Qt Print Support and Qt SVG: the printing module brings them at the
# first print or SVG picture. A library the module needs is named in its file.
file(STRINGS "${PREFIX}/bin/${MODULE_DIR}/libsurfklocka_windows.so" needed
     REGEX "libQt6(PrintSupport|Svg)")
if(needed)
    fail("fönstermodulen läser in utskrift eller SVG när den startar: ${needed}")
endif()
if(failures GREATER 0)
    message(FATAL_ERROR "${failures} fel")
endif()

# The desktop entry starts the installed program and shows the installed icon.
file(STRINGS "${desktop}" exec_lines REGEX "^Exec=")
if(NOT exec_lines STREQUAL "Exec=surfklocka")
    fail("skrivbordsfilen startar inte det installerade programmet: ${exec_lines}")
endif()
file(STRINGS "${desktop}" icon_lines REGEX "^Icon=")
if(NOT icon_lines STREQUAL "Icon=${APP_ID}")
    fail("skrivbordsfilen visar inte den installerade ikonen: ${icon_lines}")
endif()

# Each PNG icon is as large as the folder it lies in says (width and height are the big-endian
# numbers at bytes 16 to 23 of a PNG file).
foreach(size 16 22 24 32 48 64 128 256)
    set(png "${PREFIX}/share/icons/hicolor/${size}x${size}/apps/${APP_ID}.png")
    if(NOT EXISTS "${png}")
        fail("saknas: ${png}")
        continue()
    endif()
    file(READ "${png}" signature LIMIT 8 HEX)
    file(READ "${png}" dimensions OFFSET 16 LIMIT 8 HEX)
    string(SUBSTRING "${dimensions}" 0 8 width)
    string(SUBSTRING "${dimensions}" 8 8 height)
    math(EXPR width "0x${width}")
    math(EXPR height "0x${height}")
    if(NOT signature STREQUAL "89504e470d0a1a0a")
        fail("${png} är ingen PNG-bild")
    elseif(NOT width EQUAL size OR NOT height EQUAL size)
        fail("${png} är ${width}x${height}, inte ${size}x${size}")
    endif()
endforeach()

# The manual page and the changelog are gzip files that store no name and no time (gzip -9n): the
# flags byte (3) has no FNAME bit and the time (bytes 4 to 7) is zero.
foreach(compressed "${man_page}" "${changelog}")
    file(READ "${compressed}" header LIMIT 8 HEX)
    if(NOT header MATCHES "^1f8b08[0-9a-f][0-7]00000000$")
        fail("${compressed} är inte komprimerad med gzip -9n (början: ${header})")
    endif()
endforeach()

# The copyright file is in the machine-readable format and names the licence.
file(READ "${doc}/copyright" copyright_text)
foreach(expected "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"
        "\nFiles: *\nCopyright: " "\nLicense: Expat\n Permission is hereby granted")
    string(FIND "${copyright_text}" "${expected}" position)
    if(position LESS 0)
        fail("copyright-filen saknar ${expected}")
    endif()
endforeach()

# The AppStream file names what is installed.
file(READ "${metainfo}" metainfo_text)
foreach(expected "<id>${APP_ID}</id>"
        "<launchable type=\"desktop-id\">${APP_ID}.desktop</launchable>"
        "<binary>surfklocka</binary>" "<release version=\"${VERSION}\"")
    string(FIND "${metainfo_text}" "${expected}" position)
    if(position LESS 0)
        fail("AppStream-filen saknar ${expected}")
    endif()
endforeach()

if(failures GREATER 0)
    message(FATAL_ERROR "${failures} fel")
endif()
message(STATUS "Installerat och kontrollerat i ${PREFIX}")
