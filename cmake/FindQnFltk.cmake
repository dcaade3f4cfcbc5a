# Finds FLTK 1.3 from its shared libraries. Debian's FLTK CMake config refers to a
# `fluid` binary that is not installed with libfltk1.3-dev, so it cannot be used.
# Defines the imported target QnFltk::fltk (core, OpenGL and image libraries).
find_path(QN_FLTK_INCLUDE_DIR FL/Fl.H)
find_library(QN_FLTK_LIBRARY fltk)
find_library(QN_FLTK_GL_LIBRARY fltk_gl)
find_library(QN_FLTK_IMAGES_LIBRARY fltk_images)

include(FindPackageHandleStandardArgs)
find_package_handle_standard_args(QnFltk REQUIRED_VARS
    QN_FLTK_INCLUDE_DIR QN_FLTK_LIBRARY QN_FLTK_GL_LIBRARY QN_FLTK_IMAGES_LIBRARY)

if(QnFltk_FOUND AND NOT TARGET QnFltk::fltk)
    add_library(QnFltk::fltk INTERFACE IMPORTED)
    set_target_properties(QnFltk::fltk PROPERTIES
        INTERFACE_INCLUDE_DIRECTORIES "${QN_FLTK_INCLUDE_DIR}"
        INTERFACE_LINK_LIBRARIES "${QN_FLTK_GL_LIBRARY};${QN_FLTK_IMAGES_LIBRARY};${QN_FLTK_LIBRARY}")
endif()
