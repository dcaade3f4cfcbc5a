# Writes a C++ source that holds the bytes of a file as an array, run as a script:
#   cmake -DINPUT=<file> -DOUTPUT=<source.cpp> -DSYMBOL=<name> -P QnEmbedFile.cmake
# The source defines `unsigned char const <name>[]` and `std::size_t const <name>_size`.
if(NOT EXISTS "${INPUT}")
    message(FATAL_ERROR "QnEmbedFile: ${INPUT} does not exist")
endif()
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" hex_length)
math(EXPR size "${hex_length} / 2")
# Sixteen bytes a line.
string(REPEAT "[0-9a-f][0-9a-f]" 16 line)
string(REGEX REPLACE "(${line})" "\\1\n" hex "${hex}")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
get_filename_component(name "${INPUT}" NAME)
file(WRITE "${OUTPUT}.tmp"
     "// Generated at build time from ${name}; do not edit.\n"
     "#include <cstddef>\n\n"
     "extern unsigned char const ${SYMBOL}[] = {\n${bytes}\n};\n"
     "extern std::size_t const ${SYMBOL}_size = ${size};\n")
file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")
