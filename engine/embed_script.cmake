# Writes OUT, a C++ file holding the text of the file IN as the byte array
# builtin_script_text. Run at build time:
#   cmake -DIN=behaviour.script -DOUT=file.cpp -P embed_script.cmake
file(READ "${IN}" hex HEX)
string(LENGTH "${hex}" digits)
math(EXPR size "${digits} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "((0x..,){32})" "\\1\n" bytes "${bytes}")
file(WRITE "${OUT}.new" "// Generated from resources/behaviour.script at build time; do not edit.\n"
     "#include <cstddef>\n\n"
     "extern const unsigned char builtin_script_text[] = {\n${bytes}\n};\n"
     "extern const size_t builtin_script_size = ${size};\n")
# Rewritten only when it changed, so a rebuild does not recompile it.
file(COPY_FILE "${OUT}.new" "${OUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUT}.new")
