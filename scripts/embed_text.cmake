# Writes OUTPUT, a C++ source that defines `std::string_view FUNCTION()` giving
# the bytes of INPUT, so that a program carries a text file without a toolkit.
#   cmake -DINPUT=file -DOUTPUT=file.cpp -DFUNCTION=name -DHEADER=include/path.h -P embed_text.cmake
file(READ "${INPUT}" hex HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
get_filename_component(source_name "${INPUT}" NAME)
file(WRITE "${OUTPUT}"
"// Generated at build time from ${source_name}; edit that file instead.
#include \"${HEADER}\"

namespace {
const unsigned char kBytes[] = {${bytes}};
}  // namespace

std::string_view ${FUNCTION}()
{
    return {reinterpret_cast<const char*>(kBytes), sizeof kBytes};
}
")
