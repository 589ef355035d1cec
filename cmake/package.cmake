# The Debian package of the command line, made by cpack from an optimised
# build (tools/dist.sh): the program, its manual page and the licence, with
# the shared libraries it needs found by dpkg-shlibdeps.
include(GNUInstallDirs)
install(FILES ${CMAKE_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/clipledger-cli
        RENAME copyright)

# cpack installs what is built: it need not build everything first.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

set(CLIP_MAINTAINER "Clipledger maintainers <clipledger@example.org>"
    CACHE STRING "The maintainer the Debian package names")
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME clipledger-cli)
set(CPACK_PACKAGE_VERSION ${CLIP_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "catalogue of movie files from the command line")
# The summary above is the first line; this is the rest.
string(CONCAT CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "clipledger-cli reads the movie files in the folders it is given (AVI, MPEG,\n"
  "RealMedia, MP4, MOV, Matroska, WebM, ASF, FLV, MPEG transport and program\n"
  "streams) and writes one row per file (sizes, codecs, rates, frame rate,\n"
  "resolution, play time, title and tags) as CSV, fixed-column text or HTML,\n"
  "byte for byte as the Clipledger window for Windows saves its lists.")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${CLIP_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
execute_process(COMMAND dpkg --print-architecture OUTPUT_VARIABLE clip_deb_arch
                OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
if(NOT clip_deb_arch)
  set(clip_deb_arch amd64)
endif()
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${clip_deb_arch})
set(CPACK_DEBIAN_FILE_NAME "clipledger-cli_${CLIP_VERSION}_${clip_deb_arch}.deb")
include(CPack)
