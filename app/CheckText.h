// Text helpers of the check command: positions in the file, key-name suggestions, how a value is shown.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include <json/json.h>

struct TextPosition {
    int line = 0;    // 1-based; 0 when there is no position
    int column = 0;  // 1-based, in characters (UTF-8 sequences count once)
};

// The line and column of a byte offset in the text the parser saw: "\n", "\r\n" and a lone "\r" each end a
// line, as the parser counts them.
TextPosition PositionOf(const std::string& text, std::ptrdiff_t offset);

// The same for many offsets into one text: the line starts are found once.
class LineIndex {
  public:
    explicit LineIndex(const std::string& text);
    TextPosition Of(std::ptrdiff_t offset) const;
    int LineOf(std::ptrdiff_t offset) const;  // without the column, which costs the length of the line

  private:
    const std::string& text_;
    std::vector<std::size_t> starts_;
};

// The known name that a misspelt key most likely meant, or "" when none is close.
std::string SuggestKey(const std::string& key, const std::vector<std::string>& known);

// The first offset at or after from that is neither a blank nor inside a comment; text.size() when none.
std::size_t SkipBlanksAndComments(const std::string& text, std::size_t from);

// "a text", "a number", "an array", "an object", "true", "false", "null".
std::string KindOf(const Json::Value& value);

// The value as written in the file, shortened when long; arrays and objects as their kind.
std::string SourceOf(const std::string& text, const Json::Value& value);

// A name for a list: as it stands, or quoted when empty or when it holds blanks or control bytes.
std::string ShowName(const std::string& name);
std::string ShowNames(const std::vector<std::string>& names);
