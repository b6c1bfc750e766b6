#include "app/views/SvgText.h"

#include "config/Words.h"

#include <fmt/format.h>

#include <cstdint>

namespace {
constexpr std::string_view Replacement = "\xEF\xBF\xBD";

// Length of the valid UTF-8 sequence at the start of text that XML takes as a character, or 0.
size_t SequenceLength(std::string_view text) {
    const size_t length = Utf8Length(text, 0);
    // U+FFFE and U+FFFF are not XML characters.
    if (length == 3 && Utf8CodePoint(text, 0, 3) >= 0xFFFE) return 0;
    return length;
}

// Calls emit once per character of text, as XML-safe text; returns false from emit to stop.
template <typename Emit>
void ForEachCharacter(std::string_view text, Emit emit) {
    size_t i = 0;
    while (i < text.size()) {
        size_t length = SequenceLength(text.substr(i));
        std::string_view piece;
        if (length == 0) {
            piece = Replacement;
            length = 1;
        } else if (length == 1) {
            char c = text[i];
            switch (c) {
                case '&':
                    piece = "&amp;";
                    break;
                case '<':
                    piece = "&lt;";
                    break;
                case '>':
                    piece = "&gt;";
                    break;
                case '"':
                    piece = "&quot;";
                    break;
                case '\'':
                    piece = "&apos;";
                    break;
                default:
                    if (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n' && c != '\r') {
                        i += 1;
                        continue;
                    }
                    piece = text.substr(i, 1);
            }
        } else {
            piece = text.substr(i, length);
        }
        i += length;
        if (!emit(piece)) return;
    }
}
}  // namespace

std::string XmlText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    ForEachCharacter(text, [&](std::string_view piece) {
        out += piece;
        return true;
    });
    return out;
}

std::string XmlTextCut(std::string_view text, size_t maxChars) {
    size_t total = 0;
    ForEachCharacter(text, [&](std::string_view) {
        ++total;
        return true;
    });
    if (total <= maxChars) return XmlText(text);
    std::string out;
    size_t kept = 0;
    size_t keep = maxChars > 0 ? maxChars - 1 : 0;
    ForEachCharacter(text, [&](std::string_view piece) {
        if (kept == keep) return false;
        out += piece;
        ++kept;
        return true;
    });
    if (maxChars > 0) out += "\xE2\x80\xA6";
    return out;
}

std::string Num(double value) {
    if (!Finite(value)) return "0";
    constexpr double Limit = 1e9;  // beyond any picture; keeps the text short
    if (value > Limit) value = Limit;
    if (value < -Limit) value = -Limit;
    std::string text = fmt::format("{:.1f}", value);
    if (text.size() >= 2 && text.compare(text.size() - 2, 2, ".0") == 0) text.resize(text.size() - 2);
    if (text == "-0") text = "0";
    return text;
}

double NiceStep(double span, int maxTicks, double minStep) {
    if (maxTicks < 1) maxTicks = 1;
    double raw = span / maxTicks;
    if (!(raw > minStep) || raw - raw != 0.0) return minStep;
    double power = 1.0;
    while (power * 10.0 <= raw)
        power *= 10.0;
    while (power > raw)
        power /= 10.0;
    for (double factor : {1.0, 2.0, 5.0, 10.0}) {
        if (factor * power >= raw) return factor * power;
    }
    return 10.0 * power;
}

double FloorToStep(double value, double step) {
    double quotient = value / step;
    if (!(quotient > -9e15 && quotient < 9e15)) return value;
    double whole = static_cast<double>(static_cast<int64_t>(quotient));
    if (whole > quotient) whole -= 1.0;
    return whole * step;
}

const char* FactionColour(int faction) {
    constexpr int count = sizeof FactionPalette / sizeof FactionPalette[0];
    if (faction < 0) return UnknownFactionColour;
    return FactionPalette[faction % count];
}

MarkShape FactionShape(int faction) {
    if (faction < 0) return MarkShape::Circle;
    switch ((faction / 10) % 4) {
        case 1:
            return MarkShape::Square;
        case 2:
            return MarkShape::Diamond;
        case 3:
            return MarkShape::Triangle;
        default:
            return MarkShape::Circle;
    }
}

std::string Mark(MarkShape shape, double x, double y, double radius, std::string_view attributes) {
    switch (shape) {
        case MarkShape::Circle:
            return fmt::format("<circle cx=\"{}\" cy=\"{}\" r=\"{}\" {}/>", Num(x), Num(y), Num(radius),
                               attributes);
        case MarkShape::Square: {
            double half = radius * 0.9;
            return fmt::format("<rect x=\"{}\" y=\"{}\" width=\"{}\" height=\"{}\" {}/>", Num(x - half),
                               Num(y - half), Num(2 * half), Num(2 * half), attributes);
        }
        case MarkShape::Diamond: {
            double r = radius * 1.25;
            return fmt::format("<path d=\"M{} {}L{} {}L{} {}L{} {}Z\" {}/>", Num(x), Num(y - r), Num(x + r),
                               Num(y), Num(x), Num(y + r), Num(x - r), Num(y), attributes);
        }
        case MarkShape::Triangle: {
            double r = radius * 1.3;
            return fmt::format("<path d=\"M{} {}L{} {}L{} {}Z\" {}/>", Num(x), Num(y - r), Num(x + r * 0.87),
                               Num(y + r * 0.5), Num(x - r * 0.87), Num(y + r * 0.5), attributes);
        }
    }
    return {};
}

void SvgOpen(std::string& out, int width, int height, std::string_view title) {
    Append(
        out,
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"{0}\" height=\"{1}\" viewBox=\"0 0 {0} {1}\" "
        "font-family=\"{2}\">\n<title>{3}</title>\n<rect width=\"{0}\" height=\"{1}\" fill=\"#ffffff\"/>\n",
        width, height, SvgFont, XmlText(title));
}

void SvgClose(std::string& out) {
    out += "</svg>\n";
}
