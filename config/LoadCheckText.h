// Text helpers of the check: positions in the file, the check's own reading of the text (what the
// parser keeps quiet about), how a value is shown.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

// Positions of byte offsets in the text the parser saw: "\n", "\r\n" and a lone "\r" each end a line, as the
// parser counts them; a column counts characters (a UTF-8 sequence once). The line starts are found once.
class LineIndex {
  public:
    explicit LineIndex(const std::string& text);
    // "line 3, column 18", or "line 3" (the column costs the length of the line); "" for no offset (-1).
    std::string At(std::ptrdiff_t offset, bool column = true) const;

  private:
    const std::string& text_;
    std::vector<std::size_t> starts_;
};

// The first offset at or after from that is neither a blank nor inside a comment; text.size() when none.
std::size_t SkipBlanksAndComments(const std::string& text, std::size_t from);

// A key given twice in one object, of which the parser keeps the later value and says nothing.
struct Repeat {
    std::string key;       // as written, quotes included
    std::ptrdiff_t first;  // the key the parser drops
    std::ptrdiff_t later;  // the one it keeps
};
// The offset after the text that starts with the quote at k, or end when it is not closed before.
std::size_t StringEnd(const std::string& text, std::size_t k, std::size_t end);

// The keys given twice in the text before end.
std::vector<Repeat> ScanText(const std::string& text, std::size_t end);

// The parser's error message in a newcomer's words where it can say more, at the place of the mistake (offset
// is moved there: a missing comma belongs after the value before the parser's place): a comma missing or
// trailing, quotes that are not straight double quotes, a # comment, an unclosed /* comment, a text never
// closed, a file that ends early, or a file that is no JSON text at all (notJson is set then).
std::string ExplainParseError(const std::string& text, std::ptrdiff_t& offset, const std::string& message,
                              bool& notJson);
