# Finds OpenImageIO through pkg-config. Debian's OpenImageIO CMake config refers to the
# command-line tools of another package, so it cannot be used without them.
# Defines the imported target QnOpenImageIO::OpenImageIO.
find_package(PkgConfig REQUIRED)
pkg_check_modules(QN_OIIO REQUIRED IMPORTED_TARGET OpenImageIO)

include(FindPackageHandleStandardArgs)
find_package_handle_standard_args(QnOpenImageIO REQUIRED_VARS QN_OIIO_FOUND)

if(QnOpenImageIO_FOUND AND NOT TARGET QnOpenImageIO::OpenImageIO)
    add_library(QnOpenImageIO::OpenImageIO INTERFACE IMPORTED)
    set_target_properties(QnOpenImageIO::OpenImageIO PROPERTIES INTERFACE_LINK_LIBRARIES PkgConfig::QN_OIIO)
endif()
