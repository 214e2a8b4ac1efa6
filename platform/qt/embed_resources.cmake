# Writes OUT, a C++ file holding the resource files as byte arrays.
# Run at build time: cmake -DOUT=file.cpp -DDIR=resources -DFILES=101=pet.ico,103=sprites.bmp -P this
set(arrays "")
set(table "")
set(index 0)
string(REPLACE "," ";" entries "${FILES}")
foreach(entry IN LISTS entries)
  string(REPLACE "=" ";" parts "${entry}")
  list(GET parts 0 id)
  list(GET parts 1 name)
  file(READ "${DIR}/${name}" hex HEX)
  string(LENGTH "${hex}" digits)
  math(EXPR size "${digits} / 2")
  # 32 bytes a line keeps the generated file readable in an editor.
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(REGEX REPLACE "((0x..,){32})" "\\1\n" bytes "${bytes}")
  string(APPEND arrays "static const unsigned char file_${index}[] = {\n${bytes}\n};\n")
  string(APPEND table "    {${id}, \"${name}\", file_${index}, ${size}},\n")
  math(EXPR index "${index} + 1")
endforeach()
file(WRITE "${OUT}.new" "// Generated from resources/ at build time; do not edit.\n"
     "#include \"platform/qt/qt_host.h\"\n\n${arrays}\n"
     "const EmbeddedFile embedded_files[] = {\n${table}};\n"
     "const size_t embedded_file_count = ${index};\n")
# Rewritten only when it changed, so a rebuild does not recompile it.
file(COPY_FILE "${OUT}.new" "${OUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUT}.new")
