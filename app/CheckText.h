// Text helpers of the check command: positions in the file, the check's own reading of the text (what the
// parser keeps quiet about), how a value is shown.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

struct TextPosition {
    int line = 0;    // 1-based; 0 when there is no position
    int column = 0;  // 1-based, in characters (UTF-8 sequences count once)
};

// Line and column of byte offsets in the text the parser saw: "\n", "\r\n" and a lone "\r" each end a line,
// as the parser counts them. The line starts are found once.
class LineIndex {
  public:
    explicit LineIndex(const std::string& text);
    // The column costs the length of the line: without it, only the line is found.
    TextPosition Of(std::ptrdiff_t offset, bool column = true) const;

  private:
    const std::string& text_;
    std::vector<std::size_t> starts_;
};

// The first offset at or after from that is neither a blank nor inside a comment; text.size() when none.
std::size_t SkipBlanksAndComments(const std::string& text, std::size_t from);

struct Repeat {
    std::ptrdiff_t first;  // the key the parser drops
    std::ptrdiff_t later;  // the one it keeps
};
struct TextScan {
    std::vector<Repeat> repeats;  // keys given twice in one object: the parser keeps the later value unsaid
    std::ptrdiff_t deepest = -1;  // the first value inside 1000 open arrays and objects: the reader gives up
};
// The check's own reading of the text before end, for what the parser keeps quiet about.
TextScan ScanText(const std::string& text, std::size_t end);

// The parser's error message in a newcomer's words where it can say more: a trailing comma, or a file that
// is no JSON text at all (notJson is set then).
std::string ExplainParseError(const std::string& text, std::ptrdiff_t offset, const std::string& message,
                              bool& notJson);

// Text fit for a terminal: valid UTF-8 and line ends as they are, every other control byte and every byte
// that is not valid UTF-8 as \xNN.
std::string Printable(const std::string& text);
