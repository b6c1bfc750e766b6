# Writes OUT, a C++ source defining ReplayPageSource() from the files FILES (comma-separated) in SOURCE_DIR, each
# as raw string literals of a few kilobytes (compilers limit the length of one literal). Run with cmake -P.
set(delimiter "SKRM")
set(piece 8000)
set(code "// Generated from app/views/replay/ by app/views/replay/Embed.cmake: edit those files, not this one.\n")
string(APPEND code "#include \"app/views/ReplayPage.h\"\n\n#include <stdexcept>\n\nnamespace {\n")
set(cases "")
set(index 0)
string(REPLACE "," ";" FILES "${FILES}")
foreach(name IN LISTS FILES)
    file(READ "${SOURCE_DIR}/${name}" text)
    # A checkout with Windows line ends gives the same page.
    string(REPLACE "\r\n" "\n" text "${text}")
    string(FIND "${text}" ")${delimiter}\"" clash)
    if(NOT clash EQUAL -1)
        message(FATAL_ERROR "${name} holds )${delimiter}\", which ends a raw string literal")
    endif()
    string(LENGTH "${text}" length)
    string(APPEND code "const char* const Parts${index}[] = {\n")
    set(at 0)
    while(at LESS length)
        string(SUBSTRING "${text}" ${at} ${piece} part)
        string(APPEND code "R\"${delimiter}(${part})${delimiter}\",\n")
        math(EXPR at "${at} + ${piece}")
    endwhile()
    string(APPEND code "nullptr};\n")
    string(APPEND cases "    if (name == \"${name}\") return Join(Parts${index});\n")
    math(EXPR index "${index} + 1")
endforeach()
string(APPEND code "
std::string Join(const char* const* parts) {
    std::string text;
    for (; *parts; ++parts)
        text += *parts;
    return text;
}
}  // namespace

std::string ReplayPageSource(std::string_view name) {
${cases}    throw std::logic_error(\"no replay page source named \" + std::string(name));
}
")
file(WRITE "${OUT}.new" "${code}")
file(COPY_FILE "${OUT}.new" "${OUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUT}.new")
