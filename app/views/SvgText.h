// The small pieces every picture is made of: escaped text, short numbers, round tick steps and the faction
// palette.
#pragma once
#include <fmt/format.h>

#include <iterator>
#include <string>
#include <string_view>

// Text fit for XML character data and attribute values: & < > " ' escaped, bytes that are not valid UTF-8
// replaced by U+FFFD and control characters XML cannot hold dropped, so a hostile faction name still gives a
// file that parses.
std::string XmlText(std::string_view text);

// The same, cut to at most maxChars characters (code points) with a trailing ellipsis when cut.
std::string XmlTextCut(std::string_view text, size_t maxChars);

// Whether a number is neither NaN nor infinite, without the C library.
inline bool Finite(double value) {
    return value == value && value - value == 0.0;
}

// What the map and the chart share: the picture's width and the legend column on its right.
constexpr int PictureWidth = 980;
constexpr double LegendLeft = 684.0;
constexpr double LegendRight = 964.0;
constexpr double LegendRow = 22.0;
constexpr size_t LegendNameChars = 30;

// A coordinate or measure with at most one decimal ("12.5", "-3", "0"); non-finite values give "0".
std::string Num(double value);

// A round step (1, 2 or 5 times a power of ten, at least minStep) that splits span into at most about
// maxTicks parts.
double NiceStep(double span, int maxTicks, double minStep);

// value rounded down to a whole multiple of step (step > 0), without the C library.
double FloorToStep(double value, double step);

// Faction colours: ten that stay apart for most kinds of colour blindness, then again with another mark
// shape.
const char* FactionColour(int faction);
enum class MarkShape { Circle, Square, Diamond, Triangle };
MarkShape FactionShape(int faction);

// One element drawing a mark of that shape about radius in size centred on x, y (pixels); attributes (class,
// fill, stroke, ...) go into the element as given.
std::string Mark(MarkShape shape, double x, double y, double radius, std::string_view attributes);

constexpr const char* SvgFont = "DejaVu Sans, Verdana, Arial, sans-serif";
constexpr const char* UnknownFactionColour = "#9a9a9a";
// The factions' colours, in turn; the replay page gets them from its data.
constexpr const char* FactionPalette[] = {
    "#0072B2",  // blue
    "#E69F00",  // orange
    "#009E73",  // bluish green
    "#CC79A7",  // reddish purple
    "#D55E00",  // vermilion
    "#56B4E9",  // sky blue
    "#882255",  // wine
    "#999933",  // olive
    "#332288",  // indigo
    "#44AA99",  // teal
};

// Appends formatted text to out.
template <typename... Args>
void Append(std::string& out, fmt::format_string<Args...> format, Args&&... args) {
    fmt::format_to(std::back_inserter(out), format, std::forward<Args>(args)...);
}

// The XML declaration, the root element of a width x height picture with a white background, and its title
// (escaped here). SvgClose ends it.
void SvgOpen(std::string& out, int width, int height, std::string_view title);
void SvgClose(std::string& out);
