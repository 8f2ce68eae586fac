# Turns a file into a C++ source that places its bytes in the ELF section of a module resource.
# Run as: cmake -DINPUT=<file> -DOUTPUT=<source> -DTYPE=<T> -DID=<N> -P embed_resource.cmake
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" length)
if(length EQUAL 0)
  message(FATAL_ERROR "resource file ${INPUT} is empty")
endif()
math(EXPR size "${length} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "((0x[0-9a-f][0-9a-f],){16})" "\\1\n    " bytes "${bytes}")
set(symbol "kesto_resource_${TYPE}_${ID}")
file(WRITE "${OUTPUT}.tmp"
"// Generated from ${INPUT}; do not edit.\n"

"__attribute__((section(\".kesto.rsrc.${TYPE}.${ID}\"), used, retain))\n"
"const unsigned char ${symbol}[${size}] = {\n    ${bytes}};\n"
)
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
