// A top-down map of one moment: world x to the right, world y up, centred on the player.
#include <algorithm>
#include <cmath>

#include "app/views/SvgPictures.h"
#include "app/views/SvgText.h"

namespace {
constexpr double MapLeft = 20.0;
constexpr double MapTop = 56.0;
constexpr double MapSize = 640.0;
constexpr double RioterRadius = 5.5;
constexpr double PlayerRadius = 11.0;

double Abs(double value) {
    return value < 0.0 ? -value : value;
}

double ReleaseRadius(const PictureSet& pictures) {
    double radius = pictures.releaseRadius;
    return Finite(radius) && radius > 0.0 ? radius : 0.0;
}

struct Point {
    double x;
    double y;
};

// World to pixels. A point with a coordinate that is not a number is drawn on the player.
struct View {
    double centreX = 0.0;
    double centreY = 0.0;
    double half = 0.0;   // world units from the centre to the frame's edge
    double scale = 1.0;  // pixels per world unit

    Point At(double worldX, double worldY) const {
        if (!Finite(worldX) || !Finite(worldY)) {
            worldX = centreX;
            worldY = centreY;
        }
        return {MapLeft + (worldX - centreX + half) * scale, MapTop + (half - (worldY - centreY)) * scale};
    }
};

// Square, on the player, wide enough for the release circle and every rioter and target with a margin.
View FitView(const PictureSet& pictures, const MapSnapshot& map) {
    View view;
    view.centreX = Finite(map.playerX) ? map.playerX : 0.0;
    view.centreY = Finite(map.playerY) ? map.playerY : 0.0;
    double extent = 0.0;
    auto include = [&](double x, double y) {
        if (!Finite(x) || !Finite(y)) return;
        extent = std::max({extent, Abs(x - view.centreX), Abs(y - view.centreY)});
    };
    for (const MapRioter& rioter : map.rioters) {
        include(rioter.x, rioter.y);
        if (rioter.hasTarget) include(rioter.targetX, rioter.targetY);
    }
    view.half = std::max({ReleaseRadius(pictures) * 1.08, extent * 1.06 + 4.0, 10.0});
    view.scale = MapSize / (2.0 * view.half);
    return view;
}

void DrawGrid(std::string& svg, const View& view, double step) {
    svg += "<g class=\"grid\" stroke=\"#e4e4e4\" stroke-width=\"1\">\n";
    // Lines on whole multiples of the step in world units, so the grid stays put while the player moves.
    double left = view.centreX - view.half, bottom = view.centreY - view.half;
    double firstX = FloorToStep(left, step), firstY = FloorToStep(bottom, step);
    for (int i = 1; i < 64; ++i) {
        double x = firstX + i * step;
        if (x >= left + 2.0 * view.half) break;
        Point p = view.At(x, view.centreY);
        Append(svg, "<line x1=\"{0}\" y1=\"{1}\" x2=\"{0}\" y2=\"{2}\"/>\n", Num(p.x), Num(MapTop),
               Num(MapTop + MapSize));
    }
    for (int i = 1; i < 64; ++i) {
        double y = firstY + i * step;
        if (y >= bottom + 2.0 * view.half) break;
        Point p = view.At(view.centreX, y);
        Append(svg, "<line x1=\"{0}\" y1=\"{1}\" x2=\"{2}\" y2=\"{1}\"/>\n", Num(MapLeft), Num(p.y),
               Num(MapLeft + MapSize));
    }
    svg += "</g>\n";
}

void DrawScaleBar(std::string& svg, const View& view, double step) {
    double length = step * view.scale;
    double x = MapLeft + 16.0, y = MapTop + MapSize - 18.0;
    Append(svg,
           "<g class=\"scale\">\n<rect x=\"{0}\" y=\"{1}\" width=\"{2}\" height=\"30\" fill=\"#ffffff\" "
           "fill-opacity=\"0.85\"/>\n",
           Num(x - 6.0), Num(y - 22.0), Num(length + 12.0));
    Append(svg,
           "<path d=\"M{0} {1}V{2}H{3}V{1}\" fill=\"none\" stroke=\"#222222\" stroke-width=\"2\"/>\n"
           "<text x=\"{4}\" y=\"{5}\" font-size=\"12\" text-anchor=\"middle\" fill=\"#222222\">{6} "
           "units</text>\n"
           "</g>\n",
           Num(x), Num(y - 5.0), Num(y), Num(x + length), Num(x + length / 2.0), Num(y - 9.0), Num(step));
}

void DrawReleaseCircle(std::string& svg, const View& view, double radius, Point player) {
    if (radius <= 0.0) return;
    double r = radius * view.scale;
    Append(svg,
           "<circle class=\"release\" cx=\"{}\" cy=\"{}\" r=\"{}\" fill=\"none\" stroke=\"#555555\" "
           "stroke-width=\"1.5\" stroke-dasharray=\"8 6\"/>\n",
           Num(player.x), Num(player.y), Num(r));
    Append(
        svg,
        "<text x=\"{}\" y=\"{}\" font-size=\"12\" text-anchor=\"middle\" fill=\"#444444\" stroke=\"#ffffff\" "
        "stroke-width=\"3\" paint-order=\"stroke\">release at {}</text>\n",
        Num(player.x), Num(player.y - r - 5.0), Num(radius));
}

// An arrow from the rioter to its target, stopping at the edge of the target's mark.
void DrawTarget(std::string& svg, const View& view, const MapRioter& rioter, const char* colour) {
    Point from = view.At(rioter.x, rioter.y);
    Point to = view.At(rioter.targetX, rioter.targetY);
    double dx = to.x - from.x, dy = to.y - from.y;
    double length = std::sqrt(dx * dx + dy * dy);
    double gap = rioter.targetIsPlayer ? PlayerRadius + 3.0 : RioterRadius + 2.0;
    Append(svg, "<g class=\"{}\" stroke=\"{}\" fill=\"{}\">",
           rioter.targetIsPlayer ? "target to-player" : "target", colour, colour);
    const char* dash = rioter.targetIsPlayer ? " stroke-dasharray=\"5 3\"" : "";
    if (length <= gap + RioterRadius + 4.0) {
        // Too close for an arrow to show: a plain line between the two.
        Append(svg, "<line x1=\"{}\" y1=\"{}\" x2=\"{}\" y2=\"{}\" stroke-width=\"1.4\"{}/>", Num(from.x),
               Num(from.y), Num(to.x), Num(to.y), dash);
    } else {
        double ux = dx / length, uy = dy / length;
        Point tip{to.x - ux * gap, to.y - uy * gap};
        Point base{tip.x - ux * 8.0, tip.y - uy * 8.0};
        double nx = -uy * 3.5, ny = ux * 3.5;
        Append(svg,
               "<line x1=\"{}\" y1=\"{}\" x2=\"{}\" y2=\"{}\" stroke-width=\"1.4\" stroke-opacity=\"0.8\"{}/>"
               "<path d=\"M{} {}L{} {}L{} {}Z\" stroke=\"none\"/>",
               Num(from.x), Num(from.y), Num(base.x), Num(base.y), dash, Num(tip.x), Num(tip.y),
               Num(base.x + nx), Num(base.y + ny), Num(base.x - nx), Num(base.y - ny));
    }
    svg += "</g>\n";
}

// The faction a rioter is drawn as: its own, or -1 (grey, "no faction") for a number the legend has no row
// for.
int DrawnFaction(const MapRioter& rioter, int factions) {
    return rioter.faction >= 0 && rioter.faction < factions ? rioter.faction : -1;
}

void DrawRioter(std::string& svg, const View& view, const MapRioter& rioter, int faction) {
    Point at = view.At(rioter.x, rioter.y);
    const char* colour = FactionColour(faction);
    if (rioter.dead) {
        double r = RioterRadius - 1.0;
        Append(svg,
               "<path class=\"rioter dead\" d=\"M{0} {1}L{2} {3}M{0} {3}L{2} {1}\" stroke=\"{4}\" "
               "stroke-width=\"2.5\"/>\n",
               Num(at.x - r), Num(at.y - r), Num(at.x + r), Num(at.y + r), colour);
        return;
    }
    std::string attributes =
        fmt::format(R"(class="rioter" fill="{}" stroke="#ffffff" stroke-width="1.2")", colour);
    svg += Mark(FactionShape(faction), at.x, at.y, RioterRadius, attributes);
    svg += '\n';
}

// A five-pointed star of radius r about the origin.
std::string StarPoints(double r) {
    static const double unit[10][2] = {
        {0.0, -1.0},  {0.2245, -0.309}, {0.9511, -0.309}, {0.3633, 0.118},   {0.5878, 0.809},
        {0.0, 0.382}, {-0.5878, 0.809}, {-0.3633, 0.118}, {-0.9511, -0.309}, {-0.2245, -0.309},
    };
    std::string points;
    for (const auto& corner : unit) {
        if (!points.empty()) points += ' ';
        Append(points, "{},{}", Num(corner[0] * r), Num(corner[1] * r));
    }
    return points;
}

const char* PlayerState(const MapSnapshot& map) {
    if (map.playerDead) return map.playerInVehicle ? "player dead in a vehicle" : "player dead";
    return map.playerInVehicle ? "player in a vehicle" : "player on foot";
}

// A star on foot; a white star on a dark car body in a vehicle; grey and crossed out in red when dead.
void DrawPlayer(std::string& svg, const char* kind, const MapSnapshot& map, Point at, double size) {
    const char* state = map.playerInVehicle ? (map.playerDead ? "in-vehicle dead" : "in-vehicle")
                                            : (map.playerDead ? "on-foot dead" : "on-foot");
    Append(svg, "<g class=\"{} {}\" transform=\"translate({} {})\">", kind, state, Num(at.x), Num(at.y));
    const char* body = map.playerDead ? "#777777" : "#111111";
    if (map.playerInVehicle) {
        Append(svg,
               "<rect x=\"{}\" y=\"{}\" width=\"{}\" height=\"{}\" rx=\"4\" fill=\"{}\" stroke=\"#ffffff\" "
               "stroke-width=\"1.5\"/><polygon points=\"{}\" fill=\"#ffffff\"/>",
               Num(-size * 1.3), Num(-size * 0.9), Num(size * 2.6), Num(size * 1.8), body,
               StarPoints(size * 0.75));
    } else {
        Append(svg, "<polygon points=\"{}\" fill=\"{}\" stroke=\"#ffffff\" stroke-width=\"1.5\"/>",
               StarPoints(size), body);
    }
    if (map.playerDead) {
        double r = size;
        Append(svg,
               "<path d=\"M{0} {0}L{1} {1}M{0} {1}L{1} {0}\" stroke=\"#cc0000\" stroke-width=\"2.5\" "
               "stroke-linecap=\"round\"/>",
               Num(-r), Num(r));
    }
    svg += "</g>\n";
}

struct Legend {
    std::string svg;
    double y = MapTop + 20.0;

    void Text(double x, std::string_view escaped, double size, std::string_view extra = "") {
        Append(svg, "<text x=\"{}\" y=\"{}\" font-size=\"{}\"{}>{}</text>\n", Num(x), Num(y), Num(size),
               extra, escaped);
    }
};

// The moment, the mode and the player.
void LegendHeader(Legend& legend, const MapSnapshot& map) {
    legend.Text(LegendLeft, fmt::format("t = {:.1f} s", Finite(map.seconds) ? map.seconds : 0.0), 22,
                " font-weight=\"bold\"");
    legend.y += 26.0;
    Append(legend.svg, "<circle cx=\"{}\" cy=\"{}\" r=\"6\" fill=\"{}\"/>\n", Num(LegendLeft + 6.0),
           Num(legend.y - 5.0), map.modeOn ? "#009E73" : "#bbbbbb");
    legend.Text(LegendLeft + 20.0, map.modeOn ? "mode on" : "mode off", 14);
    legend.y += 30.0;
    DrawPlayer(legend.svg, "player-key", map, {LegendLeft + 10.0, legend.y - 5.0}, 9.0);
    legend.Text(LegendLeft + 30.0, PlayerState(map), 14);
    legend.y += 18.0;
    legend.Text(LegendLeft + 30.0,
                fmt::format("at ({}, {})", Num(Finite(map.playerX) ? map.playerX : 0.0),
                            Num(Finite(map.playerY) ? map.playerY : 0.0)),
                12, " fill=\"#666666\"");
    legend.y += 32.0;
}

// The rioters of each faction on the map; the dead among them.
int LegendFactions(Legend& legend, const PictureSet& pictures, const MapSnapshot& map) {
    int factions = FactionCount(pictures);
    std::vector<int> members(static_cast<size_t>(factions), 0);
    int unassigned = 0, dead = 0;
    for (const MapRioter& rioter : map.rioters) {
        if (rioter.dead) ++dead;
        int faction = DrawnFaction(rioter, factions);
        if (faction >= 0)
            ++members[static_cast<size_t>(faction)];
        else
            ++unassigned;
    }
    legend.Text(LegendLeft, fmt::format("{} rioters", map.rioters.size()), 14, " font-weight=\"bold\"");
    legend.y += LegendRow;
    auto row = [&](int faction, const std::string& name, int count) {
        Append(legend.svg, "<g class=\"faction\">");
        legend.svg += Mark(FactionShape(faction), LegendLeft + 6.0, legend.y - 5.0, RioterRadius,
                           fmt::format(R"(fill="{}" stroke="#ffffff")", FactionColour(faction)));
        legend.Text(LegendLeft + 20.0, XmlTextCut(name, LegendNameChars), 13);
        legend.Text(LegendRight, fmt::format("{}", count), 13, " text-anchor=\"end\" font-weight=\"bold\"");
        legend.svg += "</g>\n";
        legend.y += LegendRow;
    };
    for (int faction = 0; faction < factions; ++faction)
        row(faction, FactionName(pictures, faction), members[static_cast<size_t>(faction)]);
    if (unassigned > 0) row(-1, FactionName(pictures, -1), unassigned);
    legend.y += 14.0;
    return dead;
}

// What the lines and marks mean.
void LegendKey(Legend& legend, const PictureSet& pictures, int dead) {
    auto key = [&](std::string_view drawing, std::string_view label) {
        legend.svg += drawing;
        legend.Text(LegendLeft + 40.0, label, 12, " fill=\"#444444\"");
        legend.y += 20.0;
    };
    auto lineY = [&] { return Num(legend.y - 4.0); };
    key(fmt::format(
            "<path d=\"M{} {}h26\" stroke=\"#555555\" stroke-width=\"1.4\"/><path d=\"M{} {}l-8 -3.5v7z\" "
            "fill=\"#555555\"/>\n",
            Num(LegendLeft), lineY(), Num(LegendLeft + 30.0), lineY()),
        "targets a rioter");
    key(fmt::format("<path d=\"M{} {}h26\" stroke=\"#555555\" stroke-width=\"1.4\" stroke-dasharray=\"5 3\"/>"
                    "<path d=\"M{} {}l-8 -3.5v7z\" fill=\"#555555\"/>\n",
                    Num(LegendLeft), lineY(), Num(LegendLeft + 30.0), lineY()),
        "targets the player");
    if (ReleaseRadius(pictures) > 0.0)
        key(fmt::format(
                "<path d=\"M{} {}h30\" stroke=\"#555555\" stroke-width=\"1.5\" stroke-dasharray=\"8 6\"/>\n",
                Num(LegendLeft), lineY()),
            fmt::format("released beyond {} units", Num(ReleaseRadius(pictures))));
    if (dead > 0) {
        double x = LegendLeft + 14.0, y = legend.y - 5.0, r = RioterRadius - 1.0;
        key(fmt::format(
                "<path d=\"M{0} {1}L{2} {3}M{0} {3}L{2} {1}\" stroke=\"#555555\" stroke-width=\"2.5\"/>\n",
                Num(x - r), Num(y - r), Num(x + r), Num(y + r)),
            fmt::format("dead, not yet released ({})", dead));
    }
}

std::string DrawLegend(const PictureSet& pictures, const MapSnapshot& map, double& bottom) {
    Legend legend;
    legend.svg += "<g class=\"legend\">\n";
    LegendHeader(legend, map);
    const int dead = LegendFactions(legend, pictures, map);
    LegendKey(legend, pictures, dead);
    legend.y += 8.0;
    legend.Text(LegendLeft, "north is up: world y grows upward", 11, " fill=\"#888888\"");
    legend.svg += "</g>\n";
    bottom = legend.y + 12.0;
    return legend.svg;
}
}  // namespace

std::string MapSvg(const PictureSet& pictures, size_t index) {
    const MapSnapshot& map = pictures.maps.at(index);
    View view = FitView(pictures, map);
    double step = NiceStep(2.0 * view.half, 7, 1.0);
    Point player = view.At(map.playerX, map.playerY);

    double legendBottom = 0.0;
    std::string legend = DrawLegend(pictures, map, legendBottom);
    int height = static_cast<int>(std::max(MapTop + MapSize + 20.0, legendBottom));
    std::string heading = fmt::format("Map {} of {}", index + 1, pictures.maps.size());
    if (!pictures.title.empty())
        heading =
            fmt::format("{} \xE2\x80\x94 map {} of {}", pictures.title, index + 1, pictures.maps.size());

    std::string svg;
    SvgOpen(svg, PictureWidth, height, heading);
    Append(svg, "<text x=\"{}\" y=\"34\" font-size=\"18\" font-weight=\"bold\">{}</text>\n", Num(MapLeft),
           XmlTextCut(heading, 80));
    Append(svg,
           "<clipPath id=\"frame\"><rect x=\"{0}\" y=\"{1}\" width=\"{2}\" height=\"{2}\"/></clipPath>\n"
           "<rect class=\"frame\" x=\"{0}\" y=\"{1}\" width=\"{2}\" height=\"{2}\" fill=\"#fcfcfc\" "
           "stroke=\"#999999\"/>\n<g clip-path=\"url(#frame)\">\n",
           Num(MapLeft), Num(MapTop), Num(MapSize));
    DrawGrid(svg, view, step);
    DrawReleaseCircle(svg, view, ReleaseRadius(pictures), player);
    int factions = FactionCount(pictures);
    for (const MapRioter& rioter : map.rioters)
        if (rioter.hasTarget) DrawTarget(svg, view, rioter, FactionColour(DrawnFaction(rioter, factions)));
    for (const MapRioter& rioter : map.rioters)
        DrawRioter(svg, view, rioter, DrawnFaction(rioter, factions));
    DrawPlayer(svg, "player", map, player, PlayerRadius);
    svg += "</g>\n";
    DrawScaleBar(svg, view, step);
    svg += legend;
    SvgClose(svg);
    return svg;
}
