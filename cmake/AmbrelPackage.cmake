# cpack -G DEB: a Debian (native) package of what cmake --install puts under /usr, with the
# shared-library dependencies worked out by dpkg-shlibdeps, a copyright file and a
# compressed changelog where Debian policy wants them.
set(CPACK_PACKAGE_NAME ambrel)
set(CPACK_PACKAGE_VENDOR "Ambrel developers")
set(CPACK_PACKAGE_CONTACT "Ambrel developers <ambrel@users.noreply.github.com>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "tag editor for the ID3v1 tags of MP3 files")
# The summary above is the description's first line; this is the rest.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Ambrel loads folders of MP3 files into a table, selects and filters rows by\nwhat their tags hold, edits one tag or writes one set of values into many,\nrenames files from their tags and fills tags from file names, copies, moves\nand deletes files, and fills ID3v1 tags from the ID3v2 tag. The command\nline program ambrel-cli lists, sets and removes tags in scripts.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://github.com/ambrel/ambrel")

set(ambrel_doc_dir share/doc/ambrel)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/debian/copyright DESTINATION ${ambrel_doc_dir})
# gzip -n -9: no name or time stamp in the archive, so the package is reproducible.
function(ambrel_install_gzipped source name destination)
    set(output ${PROJECT_BINARY_DIR}/packaging/${name}.gz)
    add_custom_command(OUTPUT ${output}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/packaging
        COMMAND gzip -n -9 -c ${source} > ${output}
        DEPENDS ${source}
        COMMENT "Compressing ${name}")
    add_custom_target(ambrel_gzip_${name} ALL DEPENDS ${output})
    install(FILES ${output} DESTINATION ${destination})
endfunction()
ambrel_install_gzipped(${PROJECT_SOURCE_DIR}/packaging/debian/changelog changelog
                       ${ambrel_doc_dir})
foreach(page ambrel.1 ambrel-cli.1)
    ambrel_install_gzipped(${PROJECT_SOURCE_DIR}/packaging/${page} ${page} share/man/man1)
endforeach()

include(CPack)
