#include <expat.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <map>
#include <regex>
#include <sstream>

#include "app/views/Pictures.h"
#include "app/views/SvgText.h"
#include "tests/support/TempDir.h"

using ::testing::HasSubstr;
using ::testing::StartsWith;

namespace {
struct Element {
    std::string name;
    std::map<std::string, std::string> attributes;
    std::string Attribute(const std::string& key) const {
        auto found = attributes.find(key);
        return found == attributes.end() ? std::string() : found->second;
    }
    bool HasClass(const std::string& wanted) const {
        std::istringstream classes(Attribute("class"));
        std::string one;
        while (classes >> one)
            if (one == wanted) return true;
        return false;
    }
    double Number(const std::string& key) const { return std::strtod(Attribute(key).c_str(), nullptr); }
};

struct Document {
    std::string error;  // empty when the text parsed
    std::vector<Element> elements;
    std::vector<std::string> texts;  // character data, one entry per text run, in document order
    std::vector<size_t> owners;      // for each text run, the index of the element holding it

    std::vector<Element> WithClass(const std::string& wanted) const {
        std::vector<Element> found;
        for (const Element& element : elements)
            if (element.HasClass(wanted)) found.push_back(element);
        return found;
    }
    std::vector<Element> Named(const std::string& name) const {
        std::vector<Element> found;
        for (const Element& element : elements)
            if (element.name == name) found.push_back(element);
        return found;
    }
    // The text of every element with that class, in document order.
    std::vector<std::string> TextsOf(const std::string& wanted) const {
        std::vector<std::string> found;
        for (size_t i = 0; i < texts.size(); ++i)
            if (elements[owners[i]].HasClass(wanted)) found.push_back(texts[i]);
        return found;
    }
    bool HasText(const std::string& text) const {
        for (const std::string& run : texts)
            if (run == text) return true;
        return false;
    }
    // The text run right after the first run equal to text.
    std::string TextAfter(const std::string& text) const {
        for (size_t i = 0; i + 1 < texts.size(); ++i)
            if (texts[i] == text) return texts[i + 1];
        return "(none after " + text + ")";
    }
};

struct ParseState {
    Document* document;
    bool inText = false;
    std::vector<size_t> open;  // indices of the elements not yet closed
};

Document ParseXml(const std::string& text) {
    Document document;
    ParseState state{&document, false, {}};
    XML_Parser parser = XML_ParserCreate("UTF-8");
    XML_SetUserData(parser, &state);
    XML_SetElementHandler(
        parser,
        [](void* data, const XML_Char* name, const XML_Char** attributes) {
            auto* state = static_cast<ParseState*>(data);
            Element element{name, {}};
            for (size_t i = 0; attributes[i]; i += 2)
                element.attributes[attributes[i]] = attributes[i + 1];
            state->open.push_back(state->document->elements.size());
            state->document->elements.push_back(element);
            state->inText = false;
        },
        [](void* data, const XML_Char*) {
            auto* state = static_cast<ParseState*>(data);
            state->inText = false;
            state->open.pop_back();
        });
    XML_SetCharacterDataHandler(parser, [](void* data, const XML_Char* chars, int length) {
        auto* state = static_cast<ParseState*>(data);
        std::string piece(chars, static_cast<size_t>(length));
        if (piece.find_first_not_of(" \t\r\n") == std::string::npos && !state->inText) return;
        if (state->inText) {
            state->document->texts.back() += piece;
        } else {
            state->document->texts.push_back(piece);
            state->document->owners.push_back(state->open.back());
        }
        state->inText = true;
    });
    if (XML_Parse(parser, text.data(), static_cast<int>(text.size()), 1) == XML_STATUS_ERROR) {
        document.error = "line " + std::to_string(XML_GetCurrentLineNumber(parser)) + ": " +
                         XML_ErrorString(XML_GetErrorCode(parser));
    }
    XML_ParserFree(parser);
    return document;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

Document ParseFile(const std::string& path) {
    if (!std::filesystem::exists(path)) return Document{"missing " + path, {}, {}, {}};
    Document document = ParseXml(ReadFile(path));
    if (!document.error.empty()) document.error = path + " " + document.error;
    return document;
}

MapRioter Rioter(float x, float y, int faction) {
    MapRioter rioter;
    rioter.x = x;
    rioter.y = y;
    rioter.faction = faction;
    return rioter;
}

MapRioter Targeting(MapRioter rioter, float x, float y, bool player) {
    rioter.hasTarget = true;
    rioter.targetIsPlayer = player;
    rioter.targetX = x;
    rioter.targetY = y;
    return rioter;
}

// Three factions, a player walking east, a map with nobody and one with a fight.
PictureSet Riot() {
    PictureSet pictures;
    pictures.title = "walk.json with example config";
    pictures.factionNames = {"Faction 0 (cap 12)", "Faction 1 (cap 10)", "Faction 2 (cap 8)"};
    MapSnapshot quiet;
    quiet.seconds = 0.5;
    pictures.maps.push_back(quiet);
    MapSnapshot fight;
    fight.seconds = 12.0;
    fight.playerX = 60.0f;
    fight.playerY = -20.0f;
    fight.modeOn = true;
    fight.rioters = {Targeting(Rioter(70, -10, 0), 50, 0, false), Targeting(Rioter(50, 0, 1), 70, -10, false),
                     Targeting(Rioter(40, -30, 2), 60, -20, true), Rioter(90, 10, 2)};
    pictures.maps.push_back(fight);
    for (int i = 0; i <= 20; ++i)
        pictures.chart.push_back(ChartSample{i * 1.0, {i < 2 ? 0 : 1, i < 5 ? 0 : 2, i < 8 ? 1 : 3}});
    return pictures;
}

std::vector<std::string> Write(const PictureSet& pictures, const TempDir& dir) {
    return WritePictures(pictures, dir.Path() + "/pictures");
}

TEST(Pictures, EveryFileParsesAsXmlWhateverTheInput) {
    struct Case {
        const char* name;
        PictureSet pictures;
    };
    std::vector<Case> cases;
    cases.push_back({"a riot", Riot()});
    cases.push_back({"nothing at all", PictureSet{}});
    PictureSet unnamed;
    unnamed.maps.push_back(MapSnapshot{});
    unnamed.maps[0].rioters = {Rioter(1, 2, 0), Rioter(3, 4, 7), Rioter(5, 6, -1)};
    unnamed.chart = {ChartSample{0.0, {}}, ChartSample{1.0, {1, 2, 3, 4, 5}}};
    cases.push_back({"factions without names", unnamed});
    PictureSet hostile = Riot();
    hostile.title = "<script>alert('x')</script> & \"more\"";
    hostile.factionNames = {"]]> & <!-- --> <b>", "bad\xff\xfe utf-8 \xc3", "control\x01\x02\x1f chars", ""};
    cases.push_back({"hostile text", hostile});
    PictureSet broken = Riot();
    broken.releaseRadius = -1.0f;
    broken.maps[1].playerX = std::numeric_limits<float>::quiet_NaN();
    broken.maps[1].rioters.push_back(Rioter(std::numeric_limits<float>::infinity(), 3e38f, 1));
    broken.maps[1].seconds = std::numeric_limits<double>::quiet_NaN();
    broken.chart.push_back(ChartSample{std::numeric_limits<double>::infinity(), {-5, 1000000}});
    cases.push_back({"numbers that are not numbers", broken});
    PictureSet many;
    for (int i = 0; i < 25; ++i) {
        many.factionNames.push_back("F" + std::to_string(i));
        many.maps.resize(1);
        many.maps[0].rioters.push_back(Rioter(static_cast<float>(i), 0, i));
    }
    cases.push_back({"more factions than colours", many});

    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        std::vector<std::string> paths = Write(c.pictures, dir);
        ASSERT_EQ(paths.size(), c.pictures.maps.size() + 2);
        EXPECT_THAT(paths.back(), HasSubstr("index.html"));
        for (const std::string& path : paths) {
            Document document = ParseFile(path);
            EXPECT_EQ(document.error, "");
            for (const Element& element : document.elements)
                for (const auto& [key, value] : element.attributes)
                    EXPECT_THAT(value, ::testing::Not(::testing::AnyOf(HasSubstr("nan"), HasSubstr("inf"))))
                        << path << " " << element.name << " " << key;
        }
    }
}

// Numbers in the pictures are short and plain, so the files are small and the same on every platform.
TEST(Pictures, CoordinatesHaveAtMostOneDecimal) {
    TempDir dir;
    PictureSet pictures = Riot();
    pictures.maps[1].rioters.push_back(Rioter(61.23456f, -19.87654f, 0));
    const std::regex plain("-?[0-9]+(\\.[0-9])?");
    for (const std::string& path : Write(pictures, dir)) {
        Document document = ParseFile(path);
        for (const Element& element : document.elements)
            for (const char* key : {"x", "y", "cx", "cy", "r", "x1", "y1", "x2", "y2", "width", "height"}) {
                std::string value = element.Attribute(key);
                if (value.empty() || value.back() == '%') continue;
                EXPECT_TRUE(std::regex_match(value, plain))
                    << path << " " << element.name << " " << key << "=" << value;
            }
    }
}

TEST(Pictures, MapHasOneMarkPerRioterAndOneLinePerTarget) {
    struct Case {
        const char* name;
        std::vector<MapRioter> rioters;
        int targets;
        int targetsPlayer;
    };
    MapRioter dead = Rioter(5, 5, 1);
    dead.dead = true;
    const Case cases[] = {
        {"nobody", {}, 0, 0},
        {"one idle", {Rioter(10, 10, 0)}, 0, 0},
        {"a pair fighting each other",
         {Targeting(Rioter(0, 10, 0), 0, -10, false), Targeting(Rioter(0, -10, 1), 0, 10, false)},
         2,
         0},
        {"two against the player, one idle, one dead",
         {Targeting(Rioter(30, 0, 0), 0, 0, true), Targeting(Rioter(-30, 0, 1), 0, 0, true), Rioter(0, 40, 2),
          dead},
         2,
         2},
        {"target right beside the rioter", {Targeting(Rioter(1, 1, 0), 1.5f, 1, false)}, 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PictureSet pictures = Riot();
        pictures.maps = {MapSnapshot{}};
        pictures.maps[0].rioters = c.rioters;
        TempDir dir;
        Document map = ParseFile(Write(pictures, dir).front());
        ASSERT_EQ(map.error, "");
        EXPECT_EQ(map.WithClass("rioter").size(), c.rioters.size());
        EXPECT_EQ(map.WithClass("target").size(), static_cast<size_t>(c.targets));
        EXPECT_EQ(map.WithClass("to-player").size(), static_cast<size_t>(c.targetsPlayer));
        EXPECT_EQ(map.WithClass("player").size(), 1u);
        EXPECT_EQ(map.WithClass("release").size(), 1u);
    }
}

Element Frame(const Document& map) {
    std::vector<Element> frames = map.WithClass("frame");
    return frames.size() == 1 ? frames[0] : Element{};
}

bool Inside(const Element& frame, double x, double y) {
    double left = frame.Number("x"), top = frame.Number("y");
    return x >= left && x <= left + frame.Number("width") && y >= top && y <= top + frame.Number("height");
}

std::pair<double, double> PlayerAt(const Document& map) {
    std::vector<Element> players = map.WithClass("player");
    if (players.size() != 1) return {-1e9, -1e9};
    double x = 0, y = 0;
    std::sscanf(players[0].Attribute("transform").c_str(), "translate(%lf %lf)", &x, &y);
    return {x, y};
}

TEST(Pictures, ViewHoldsTheReleaseCircleAndGrowsForFarRioters) {
    struct Case {
        const char* name;
        std::vector<MapRioter> rioters;
        bool fitsCircle;  // the release circle is the widest thing: it should nearly fill the frame
    };
    const Case cases[] = {
        {"nobody", {}, true},
        {"near ones", {Rioter(520, 480, 0), Rioter(380, 610, 1)}, true},
        {"one far east", {Rioter(520, 480, 0), Rioter(2500, 500, 1)}, false},
        {"one far south-west", {Rioter(-900, -1400, 2)}, false},
        {"a target far north", {Targeting(Rioter(500, 520, 0), 500, 1300, false)}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PictureSet pictures;
        pictures.factionNames = {"a", "b", "c"};
        MapSnapshot map;
        map.playerX = 500.0f;
        map.playerY = 500.0f;
        map.rioters = c.rioters;
        pictures.maps.push_back(map);
        TempDir dir;
        Document svg = ParseFile(Write(pictures, dir).front());
        ASSERT_EQ(svg.error, "");
        Element frame = Frame(svg);
        ASSERT_GT(frame.Number("width"), 0.0);
        ASSERT_EQ(frame.Number("width"), frame.Number("height"));
        Element root = svg.elements.at(0);
        double width = root.Number("width"), height = root.Number("height");
        EXPECT_EQ(root.Attribute("viewBox"),
                  "0 0 " + root.Attribute("width") + " " + root.Attribute("height"));

        auto [playerX, playerY] = PlayerAt(svg);
        EXPECT_NEAR(playerX, frame.Number("x") + frame.Number("width") / 2, 0.5);
        EXPECT_NEAR(playerY, frame.Number("y") + frame.Number("height") / 2, 0.5);
        Element circle = svg.WithClass("release").at(0);
        double radius = circle.Number("r");
        EXPECT_LE(radius, frame.Number("width") / 2);
        if (c.fitsCircle)
            EXPECT_GT(radius, 0.4 * frame.Number("width"));
        else
            EXPECT_LT(radius, 0.35 * frame.Number("width"));
        for (const Element& mark : svg.WithClass("rioter")) {
            double x = mark.Number("cx"), y = mark.Number("cy");
            EXPECT_TRUE(Inside(frame, x, y)) << x << "," << y;
            EXPECT_TRUE(x >= 0 && x <= width && y >= 0 && y <= height);
        }
        for (const Element& line : svg.Named("line")) {
            if (line.Attribute("stroke-width") != "1.4") continue;  // target lines
            EXPECT_TRUE(Inside(frame, line.Number("x2"), line.Number("y2")));
        }
    }
}

TEST(Pictures, WorldXGoesRightAndWorldYGoesUp) {
    PictureSet pictures;
    MapSnapshot map;
    map.playerX = -40.0f;
    map.playerY = 25.0f;
    map.rioters = {Rioter(10, 25, 0), Rioter(-40, 95, 0)};  // east, then north of the player
    pictures.maps.push_back(map);
    TempDir dir;
    Document svg = ParseFile(Write(pictures, dir).front());
    std::vector<Element> marks = svg.WithClass("rioter");
    ASSERT_EQ(marks.size(), 2u);
    auto [playerX, playerY] = PlayerAt(svg);
    EXPECT_GT(marks[0].Number("cx"), playerX + 10);
    EXPECT_NEAR(marks[0].Number("cy"), playerY, 0.1);
    EXPECT_LT(marks[1].Number("cy"), playerY - 10);
    EXPECT_NEAR(marks[1].Number("cx"), playerX, 0.1);
    // Equal world distances, equal pixel distances: the view is square.
    MapSnapshot square = map;
    square.rioters = {Rioter(60, 25, 0), Rioter(-40, 125, 0)};
    pictures.maps = {square};
    svg = ParseFile(Write(pictures, dir).front());
    marks = svg.WithClass("rioter");
    ASSERT_EQ(marks.size(), 2u);
    EXPECT_NEAR(marks[0].Number("cx") - playerX, playerY - marks[1].Number("cy"), 0.2);
}

TEST(Pictures, PlayerMarkShowsVehicleAndDeath) {
    struct Case {
        bool vehicle, dead;
        const char* mark;
        const char* legend;
    };
    const Case cases[] = {
        {false, false, "on-foot", "player on foot"},
        {true, false, "in-vehicle", "player in a vehicle"},
        {false, true, "dead", "player dead"},
        {true, true, "dead", "player dead in a vehicle"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.legend);
        PictureSet pictures;
        MapSnapshot map;
        map.playerInVehicle = c.vehicle;
        map.playerDead = c.dead;
        pictures.maps.push_back(map);
        TempDir dir;
        Document svg = ParseFile(Write(pictures, dir).front());
        ASSERT_EQ(svg.WithClass("player").size(), 1u);
        const Element player = svg.WithClass("player")[0];
        EXPECT_TRUE(player.HasClass(c.mark));
        EXPECT_EQ(player.HasClass("in-vehicle"), c.vehicle);
        EXPECT_EQ(player.HasClass("dead"), c.dead);
        EXPECT_TRUE(svg.HasText(c.legend));
    }
}

TEST(Pictures, LegendCountsEachFactionInThisSnapshotAndGivesTimeAndMode) {
    TempDir dir;
    std::vector<std::string> paths = Write(Riot(), dir);
    Document quiet = ParseFile(paths[0]);
    Document fight = ParseFile(paths[1]);
    EXPECT_TRUE(quiet.HasText("t = 0.5 s"));
    EXPECT_TRUE(quiet.HasText("mode off"));
    EXPECT_EQ(quiet.TextAfter("Faction 2 (cap 8)"), "0");
    EXPECT_TRUE(fight.HasText("t = 12.0 s"));
    EXPECT_TRUE(fight.HasText("mode on"));
    EXPECT_TRUE(fight.HasText("4 rioters"));
    EXPECT_EQ(fight.TextAfter("Faction 0 (cap 12)"), "1");
    EXPECT_EQ(fight.TextAfter("Faction 1 (cap 10)"), "1");
    EXPECT_EQ(fight.TextAfter("Faction 2 (cap 8)"), "2");
    EXPECT_TRUE(fight.HasText("release at 150"));
    EXPECT_TRUE(fight.HasText("50 units"));
    // A rioter of a faction past the names gets a row of its own rather than vanishing from the legend.
    PictureSet unnamed = Riot();
    unnamed.maps[1].rioters.push_back(Rioter(0, 0, 3));
    Document more = ParseFile(Write(unnamed, dir)[1]);
    EXPECT_EQ(more.TextAfter("Faction 3"), "1");
    // Numbers no legend row could hold are counted, and drawn grey, as "no faction".
    unnamed.maps[1].rioters.push_back(Rioter(1, 1, -1));
    unnamed.maps[1].rioters.push_back(Rioter(2, 2, 1000000));
    more = ParseFile(Write(unnamed, dir)[1]);
    EXPECT_EQ(more.TextAfter("no faction"), "2");
    std::vector<Element> marks = more.WithClass("rioter");
    ASSERT_EQ(marks.size(), 7u);
    EXPECT_EQ(marks[5].Attribute("fill"), UnknownFactionColour);
    EXPECT_EQ(marks[6].Attribute("fill"), UnknownFactionColour);
    EXPECT_NE(marks[4].Attribute("fill"), UnknownFactionColour);
}

TEST(Pictures, FactionsPastTheTenthColourGetAnotherShape) {
    PictureSet pictures;
    MapSnapshot map;
    map.rioters = {Rioter(0, 0, 0), Rioter(10, 0, 10), Rioter(20, 0, 1)};
    pictures.maps.push_back(map);
    TempDir dir;
    Document svg = ParseFile(Write(pictures, dir).front());
    std::vector<Element> marks = svg.WithClass("rioter");
    ASSERT_EQ(marks.size(), 3u);
    EXPECT_EQ(marks[0].Attribute("fill"), marks[1].Attribute("fill"));
    EXPECT_NE(marks[0].name, marks[1].name);
    EXPECT_NE(marks[0].Attribute("fill"), marks[2].Attribute("fill"));
}

TEST(Pictures, HostileNamesComeBackIntactFromEveryFile) {
    PictureSet pictures = Riot();
    pictures.title = "a & b <c> \"d\" 'e'";
    pictures.factionNames[1] = "<Reds> & 'Co' \"x\"";
    TempDir dir;
    std::vector<std::string> paths = Write(pictures, dir);
    Document map = ParseFile(paths[1]);
    Document chart = ParseFile(paths[2]);
    Document index = ParseFile(paths[3]);
    for (const Document* document : {&map, &chart, &index})
        ASSERT_EQ(document->error, "");
    EXPECT_TRUE(map.HasText("a & b <c> \"d\" 'e' \xE2\x80\x94 map 2 of 2"));
    EXPECT_TRUE(map.HasText("<Reds> & 'Co' \"x\""));
    EXPECT_TRUE(chart.HasText("<Reds> & 'Co' \"x\""));
    EXPECT_TRUE(index.HasText("a & b <c> \"d\" 'e'"));
    EXPECT_TRUE(chart.Named("script").empty() && index.Named("script").empty());
}

TEST(SvgText, EscapesAndRepairsText) {
    struct Case {
        std::string in, out;
    };
    const Case cases[] = {
        {"plain", "plain"},
        {"a&b<c>d\"e'f", "a&amp;b&lt;c&gt;d&quot;e&apos;f"},
        {"caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80", "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80"},
        {"x\xFFy", "x\xEF\xBF\xBDy"},                              // a byte that never starts a character
        {"x\xC3", "x\xEF\xBF\xBD"},                                // cut short at the end
        {"\xC0\xAF", "\xEF\xBF\xBD\xEF\xBF\xBD"},                  // overlong slash
        {"\xED\xA0\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},  // a surrogate
        {"\xEF\xBF\xBF", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},  // U+FFFF, not an XML character
        {std::string("a\0b\x01\x1F\tc\n", 8), "ab\tc\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(XmlText(c.in), c.out) << c.in;
        EXPECT_EQ(ParseXml("<t>" + XmlText(c.in) + "</t>").error, "") << c.in;
    }
    // Cutting counts characters, not bytes, and never splits one.
    EXPECT_EQ(XmlTextCut("\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9", 3), "\xC3\xA9\xC3\xA9\xE2\x80\xA6");
    EXPECT_EQ(XmlTextCut("\xC3\xA9\xC3\xA9\xC3\xA9", 3), "\xC3\xA9\xC3\xA9\xC3\xA9");
    EXPECT_EQ(XmlTextCut("a&b&c", 2), "a\xE2\x80\xA6");
}

TEST(SvgText, NumbersAndSteps) {
    const std::pair<double, const char*> numbers[] = {
        {0.0, "0"},      {-0.0, "0"},   {-0.04, "0"},         {12.0, "12"},
        {12.25, "12.2"}, {-3.96, "-4"}, {1e30, "1000000000"}, {std::numeric_limits<double>::quiet_NaN(), "0"},
    };
    for (auto [value, text] : numbers)
        EXPECT_EQ(Num(value), text) << value;

    struct Step {
        double span;
        int ticks;
        double least, step;
    };
    const Step steps[] = {
        {324, 7, 1, 50},    {60, 8, 0.1, 10},
        {7, 6, 1, 2},       {0.5, 8, 0.1, 0.1},
        {0, 6, 1, 1},       {-5, 6, 1, 1},
        {4248, 7, 1, 1000}, {std::numeric_limits<double>::infinity(), 6, 1, 1},
    };
    for (const Step& s : steps)
        EXPECT_DOUBLE_EQ(NiceStep(s.span, s.ticks, s.least), s.step) << s.span;

    const double floors[][3] = {{12, 5, 10}, {10, 5, 10}, {-12, 5, -15}, {-10, 5, -10}, {-0.5, 50, -50}};
    for (const auto& f : floors)
        EXPECT_DOUBLE_EQ(FloorToStep(f[0], f[1]), f[2]) << f[0] << " " << f[1];
}

struct Vertex {
    double x, y;
};

// The corners of a path made of M, H, V, L and h commands.
std::vector<Vertex> Vertices(const std::string& d) {
    std::vector<Vertex> points;
    std::istringstream in(d);
    char command = 0;
    Vertex at{0, 0};
    while (in >> command) {
        double a = 0, b = 0;
        switch (command) {
            case 'M':
            case 'L':
                in >> a >> b;
                at = {a, b};
                break;
            case 'H':
                in >> a;
                at.x = a;
                break;
            case 'V':
                in >> a;
                at.y = a;
                break;
            case 'h':
                in >> a;
                at.x += a;
                break;
            default:
                ADD_FAILURE() << "unexpected path command " << command;
                return points;
        }
        points.push_back(at);
    }
    return points;
}

TEST(Pictures, ChartTotalIsTheSumOfTheFactionsAsSteps) {
    PictureSet pictures;
    pictures.factionNames = {"a", "b"};
    // Out of order and with a count missing: drawn in time order, the missing count as zero.
    pictures.chart = {ChartSample{10.0, {3, 4}}, ChartSample{0.0, {0}}, ChartSample{5.0, {1, 2}},
                      ChartSample{20.0, {3, 4}}};
    TempDir dir;
    Document chart = ParseFile(Write(pictures, dir)[0]);
    ASSERT_EQ(chart.error, "");
    ASSERT_EQ(chart.WithClass("total").size(), 1u);
    EXPECT_EQ(chart.WithClass("faction-line").size(), 2u);
    std::vector<Vertex> total = Vertices(chart.WithClass("total")[0].Attribute("d"));
    // 0 until 5 s, 3 until 10 s, 7 until 20 s.
    ASSERT_EQ(total.size(), 6u);
    double baseline = total[0].y, second = (total[1].x - total[0].x) / 5.0;
    EXPECT_GT(second, 0.0);
    EXPECT_EQ(total[1].y, baseline);
    EXPECT_EQ(total[2].x, total[1].x);
    EXPECT_EQ(total[3].x - total[2].x, 5.0 * second);
    EXPECT_EQ(total[4].x, total[3].x);
    EXPECT_EQ(total[5].x - total[4].x, 10.0 * second);
    EXPECT_EQ(total[5].y, total[4].y);
    EXPECT_NEAR((baseline - total[2].y) / (baseline - total[4].y), 3.0 / 7.0, 0.01);
    // Each faction's line follows its own counts, within the pixel or two that keeps equal lines apart.
    std::vector<Vertex> b = Vertices(chart.WithClass("faction-line")[1].Attribute("d"));
    ASSERT_EQ(b.size(), 6u);
    EXPECT_NEAR((baseline - b[2].y) / (baseline - total[4].y), 2.0 / 7.0, 0.01);
    EXPECT_NEAR((baseline - b[4].y) / (baseline - total[4].y), 4.0 / 7.0, 0.01);
    EXPECT_TRUE(chart.HasText("game time (seconds)"));
    EXPECT_TRUE(chart.HasText("members"));
    EXPECT_EQ(chart.TextAfter("total"), "7");
}

TEST(Pictures, ChartTicksAreRoundAndTheTimeAxisEndsJustPastTheLastMoment) {
    struct Case {
        const char* name;
        double sampleEvery;
        int samples;
        double mapAt;  // negative: no map
        std::vector<std::string> xTicks;
        std::vector<std::string> yTicks;
    };
    const Case cases[] = {
        // Times summed a tenth at a time end a hair past 60: the axis still ends at 60.
        {"a minute",
         0.1,
         601,
         -1.0,
         {"0", "10", "20", "30", "40", "50", "60"},
         {"0", "5", "10", "15", "20", "25"}},
        {"a map after the last sample",
         1.0,
         61,
         75.0,
         {"0", "10", "20", "30", "40", "50", "60", "70", "80"},
         {}},
        {"a short run",
         0.1,
         4,
         -1.0,
         {"0", "0.1", "0.2", "0.3", "0.4", "0.5", "0.6", "0.7", "0.8", "0.9", "1"},
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PictureSet pictures;
        pictures.factionNames = {"a", "b"};
        double seconds = 0.0;
        for (int i = 0; i < c.samples; ++i, seconds += c.sampleEvery)
            pictures.chart.push_back(ChartSample{seconds, {i % 13, i % 11}});
        if (c.mapAt >= 0.0) pictures.maps.push_back(MapSnapshot{c.mapAt, 0, 0, false, false, false, {}});
        TempDir dir;
        Document chart = ParseFile(Write(pictures, dir).at(pictures.maps.size()));
        ASSERT_EQ(chart.error, "");
        EXPECT_EQ(chart.TextsOf("x-tick"), c.xTicks);
        if (!c.yTicks.empty()) {
            EXPECT_EQ(chart.TextsOf("y-tick"), c.yTicks);
        }
    }
}

TEST(Pictures, ChartMarksEachMapsMomentInOrder) {
    PictureSet pictures = Riot();
    MapSnapshot later;
    later.seconds = 18.0;
    pictures.maps.push_back(later);
    TempDir dir;
    Document chart = ParseFile(Write(pictures, dir)[3]);
    std::vector<Element> marks = chart.WithClass("snapshot");
    ASSERT_EQ(marks.size(), 3u);
    std::vector<double> xs;
    for (const Element& element : chart.Named("line"))
        if (element.Attribute("stroke-dasharray") == "3 3") xs.push_back(element.Number("x1"));
    ASSERT_EQ(xs.size(), 3u);
    EXPECT_LT(xs[0], xs[1]);
    EXPECT_LT(xs[1], xs[2]);
    for (const char* label : {"1", "2", "3"})
        EXPECT_TRUE(chart.HasText(label)) << label;
}

TEST(Pictures, EmptyInputsStillGiveTheFiles) {
    TempDir dir;
    std::vector<std::string> paths = Write(PictureSet{}, dir);
    ASSERT_EQ(paths.size(), 2u);
    EXPECT_THAT(paths[0], HasSubstr("members.svg"));
    Document chart = ParseFile(paths[0]);
    Document index = ParseFile(paths[1]);
    EXPECT_EQ(chart.error, "");
    EXPECT_EQ(index.error, "");
    EXPECT_TRUE(chart.HasText("no samples"));
    EXPECT_TRUE(chart.WithClass("total").empty());
    EXPECT_EQ(index.Named("img").size(), 1u);
}

TEST(Pictures, IndexShowsTheChartThenEveryMapWithItsTime) {
    PictureSet pictures = Riot();
    TempDir dir;
    std::vector<std::string> paths = Write(pictures, dir);
    Document index = ParseFile(paths.back());
    ASSERT_EQ(index.error, "");
    std::vector<Element> images = index.Named("img");
    ASSERT_EQ(images.size(), 3u);
    EXPECT_EQ(images[0].Attribute("src"), "members.svg");
    EXPECT_EQ(images[1].Attribute("src"), "map-01.svg");
    EXPECT_EQ(images[2].Attribute("src"), "map-02.svg");
    for (const Element& image : images)
        EXPECT_TRUE(std::filesystem::exists(dir.Path() + "/pictures/" + image.Attribute("src")));
    EXPECT_FALSE(index.HasText("Skirmora riot"));  // the stand-in title for a set without one
    EXPECT_TRUE(index.HasText(pictures.title));
    EXPECT_TRUE(index.HasText("Map 2: t = 12.0 s, mode on, 4 rioters, player on foot"));
    for (const Element& element : index.elements) {
        EXPECT_NE(element.name, "script");
        EXPECT_NE(element.name, "link");
    }
}

TEST(Pictures, UnwritablePlacesGiveAClearError) {
    struct Case {
        const char* name;
        std::string dir;      // relative to a fresh temporary directory
        const char* blocker;  // a file or folder made first to stand in the way
        bool blockerIsDirectory;
        const char* failingPath;  // what the message should name
    };
    const Case cases[] = {
        {"folder under a file", "plain/pictures", "plain", false, "plain/pictures"},
        {"folder is a file", "plain", "plain", false, "plain"},
        {"a map's name taken by a folder", "out", "out/map-01.svg", true, "out/map-01.svg"},
        {"the chart's name taken by a folder", "out", "out/members.svg", true, "out/members.svg"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        std::filesystem::path blocker = dir.Path() + "/" + c.blocker;
        if (c.blockerIsDirectory)
            std::filesystem::create_directories(blocker);
        else
            dir.Write(c.blocker, "x");
        try {
            WritePictures(Riot(), dir.Path() + "/" + c.dir);
            ADD_FAILURE() << "no error";
        } catch (const std::runtime_error& error) {
            std::string message = error.what();
            EXPECT_THAT(message, StartsWith("cannot write " + dir.Path() + "/" + c.failingPath + ": "));
            EXPECT_GT(message.size(), ("cannot write " + dir.Path() + "/" + c.failingPath + ": ").size());
        }
    }
}
}  // namespace
