# Writes OUTPUT, a C++ source whose rw::BuiltInEnglish() returns the bytes of
# INPUT (data/Languages/English.ini), for the executables that have no
# resources to carry it.
file(READ ${INPUT} hex HEX)
string(LENGTH "${hex}" length)
math(EXPR size "${length} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," bytes "${hex}")
file(WRITE ${OUTPUT}.new "// Generated from ${INPUT}: do not edit.
#include \"app/language_text.h\"

namespace rw {

namespace {
constexpr char kBytes[${size} + 1] = {
    ${bytes}'\\0'};
}  // namespace

std::string_view BuiltInEnglish() { return {kBytes, ${size}}; }

}  // namespace rw
")
file(COPY_FILE ${OUTPUT}.new ${OUTPUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT}.new)
