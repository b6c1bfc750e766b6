// The reports as a player's console window shows them: lines wrapped at blanks to its width, counted in
// characters, and no exit statuses in a window that closes with the program.
#include <gtest/gtest.h>

#include "app/TextTools.h"
#include "app/check/Check.h"

TEST(PlayerTextTest, WrapsLinesAtBlanksWithAHangingIndent) {
    struct Case {
        const char* text;
        std::size_t width;
        const char* wrapped;
    };
    const Case cases[] = {
        {"short\n", 10, "short\n"},
        {"  - one two three four\nnext", 12, "  - one two\n    three\n    four\nnext"},
        {"\xC3\xA9 \xC3\xA9 \xC3\xA9 \xC3\xA9", 3,
         "\xC3\xA9 \xC3\xA9\n \xC3\xA9\n \xC3\xA9"},  // characters, not bytes
        {"abcdefgh", 3, "abc\n de\n fg\n h"},         // a word longer than the line is cut
        {"one  two", 5, "one\n  two"},                // the blanks at the break go
        {"a long line stays whole", 0, "a long line stays whole"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(WrapLines(c.text, c.width), c.wrapped) << c.text << " in " << c.width;
}

TEST(PlayerTextTest, LeavesOutExitStatusesOnly) {
    EXPECT_EQ(WithoutExitStatus("a.txt: loads (exit status 1)\nb: ended (exit status 23)\n"),
              "a.txt: loads\nb: ended\n");
    EXPECT_EQ(WithoutExitStatus("(exit status ) (exit status 2x) (exit status 3"),
              "(exit status ) (exit status 2x) (exit status 3");
}
