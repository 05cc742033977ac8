# Turns a file into a C++ source holding its bytes:
#   cmake -DINPUT=file -DOUTPUT=out.cpp -DSYMBOL=NAME -DHEADER=app/window/x.h -P embed_file.cmake
# defines `const unsigned char NAME[]` and `const std::size_t NAME_SIZE`.
file(READ ${INPUT} bytes HEX)
string(LENGTH "${bytes}" hex_length)
math(EXPR size "${hex_length} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${bytes}")
string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n" bytes
       "${bytes}")
file(WRITE ${OUTPUT}.new
     "// Generated from ${INPUT}; do not edit.\n"
     "#include \"${HEADER}\"\n\n"
     "const unsigned char ${SYMBOL}[] = {\n${bytes}};\n"
     "const std::size_t ${SYMBOL}_SIZE = ${size};\n")
file(COPY_FILE ${OUTPUT}.new ${OUTPUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT}.new)
