# Writes OUTPUT, a C++ source that defines sim::programResourceBytes() with the bytes of INPUT.
# Run as: cmake -DINPUT=<file> -DOUTPUT=<file.cpp> -P embed_bytes.cmake
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" hex_length)
math(EXPR byte_count "${hex_length} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
# Break the array into lines of 16 bytes so that compilers and editors cope with it.
string(REGEX REPLACE "((0x..,){16})" "\\1\n    " bytes "${bytes}")
file(WRITE "${OUTPUT}"
"// Generated from ${INPUT} by res/embed_bytes.cmake; do not edit.\n"
"#include <cstdint>\n"
"#include <vector>\n"
"\n"
"#include \"resources.h\"\n"
"\n"
"namespace {\n"
"const uint8_t kProgramResources[${byte_count}] = {\n    ${bytes}\n};\n"
"}  // namespace\n"
"\n"
"const std::vector<uint8_t>& sim::programResourceBytes() {\n"
"    static const std::vector<uint8_t> bytes(kProgramResources, kProgramResources + sizeof kProgramResources);\n"
"    return bytes;\n"
"}\n")
