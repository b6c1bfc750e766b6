// Members per faction over the run, as step lines, with the moments of the maps marked.
#include <algorithm>

#include "app/views/SvgPictures.h"
#include "app/views/SvgText.h"

namespace {
constexpr double PlotLeft = 70.0;
constexpr double PlotRight = 650.0;
constexpr double PlotTop = 60.0;
constexpr double PlotBottom = 420.0;
constexpr const char* TotalColour = "#a0a0a0";

// The smallest whole multiple of step not below value, where a hair above a multiple (sample times summed
// frame by frame) counts as on it.
double CeilToStep(double value, double step) {
    double floor = FloorToStep(value, step);
    return value - floor <= step * 1e-6 ? floor : floor + step;
}

struct Series {
    std::vector<double> seconds;
    std::vector<std::vector<int>> members;  // [faction][sample]
    std::vector<int> total;
};

Series ReadSamples(const PictureSet& pictures, int factions) {
    std::vector<const ChartSample*> samples;
    for (const ChartSample& sample : pictures.chart)
        if (Finite(sample.seconds)) samples.push_back(&sample);
    std::stable_sort(samples.begin(), samples.end(),
                     [](const ChartSample* a, const ChartSample* b) { return a->seconds < b->seconds; });
    Series series;
    series.members.assign(static_cast<size_t>(factions), {});
    for (const ChartSample* sample : samples) {
        series.seconds.push_back(sample->seconds);
        int total = 0;
        for (int faction = 0; faction < factions; ++faction) {
            size_t f = static_cast<size_t>(faction);
            int count = f < sample->members.size() ? std::max(sample->members[f], 0) : 0;
            series.members[f].push_back(count);
            total += count;
        }
        series.total.push_back(total);
    }
    return series;
}

struct Axes {
    double xFrom = 0.0, xTo = 1.0, xStep = 1.0;
    double yTo = 1.0, yStep = 1.0;

    double X(double seconds) const {
        return PlotLeft + (seconds - xFrom) / (xTo - xFrom) * (PlotRight - PlotLeft);
    }
    double Y(double members) const { return PlotBottom - members / yTo * (PlotBottom - PlotTop); }
};

Axes FitAxes(const PictureSet& pictures, const Series& series) {
    double first = 0.0, last = 0.0;
    auto include = [&](double seconds) {
        if (!Finite(seconds)) return;
        first = std::min(first, seconds);
        last = std::max(last, seconds);
    };
    for (double seconds : series.seconds)
        include(seconds);
    for (const MapSnapshot& map : pictures.maps)
        include(map.seconds);
    if (last - first < 1.0) last = first + 1.0;
    Axes axes;
    axes.xStep = NiceStep(last - first, 10, 0.1);
    axes.xFrom = FloorToStep(first, axes.xStep);
    axes.xTo = CeilToStep(last, axes.xStep);
    int most = 0;
    for (int total : series.total)
        most = std::max(most, total);
    axes.yStep = NiceStep(most, 6, 1.0);
    axes.yTo = std::max(CeilToStep(most, axes.yStep), axes.yStep);
    return axes;
}

// A step line: each count holds until the next sample. Only changes are written, so a long run stays small.
std::string StepPath(const Axes& axes, const std::vector<double>& seconds, const std::vector<int>& counts,
                     double offset) {
    std::string d;
    if (seconds.empty()) return d;
    Append(d, "M{} {}", Num(axes.X(seconds[0])), Num(axes.Y(counts[0]) + offset));
    for (size_t i = 1; i < seconds.size(); ++i) {
        if (counts[i] == counts[i - 1]) continue;
        Append(d, "H{}V{}", Num(axes.X(seconds[i])), Num(axes.Y(counts[i]) + offset));
    }
    if (seconds.size() == 1)
        d += "h3";
    else
        Append(d, "H{}", Num(axes.X(seconds.back())));
    return d;
}

void DrawAxes(std::string& svg, const Axes& axes) {
    svg += "<g class=\"axes\" font-size=\"12\" fill=\"#333333\">\n";
    for (int i = 0; i < 64; ++i) {
        double members = i * axes.yStep;
        if (members > axes.yTo + axes.yStep / 2.0) break;
        double y = axes.Y(members);
        Append(svg,
               "<line x1=\"{0}\" y1=\"{1}\" x2=\"{2}\" y2=\"{1}\" stroke=\"#e4e4e4\"/>"
               "<text class=\"y-tick\" x=\"{3}\" y=\"{4}\" text-anchor=\"end\">{5}</text>\n",
               Num(PlotLeft), Num(y), Num(PlotRight), Num(PlotLeft - 8.0), Num(y + 4.0), Num(members));
    }
    for (int i = 0; i < 64; ++i) {
        double seconds = axes.xFrom + i * axes.xStep;
        if (seconds > axes.xTo + axes.xStep / 2.0) break;
        double x = axes.X(seconds);
        Append(svg,
               "<line x1=\"{0}\" y1=\"{1}\" x2=\"{0}\" y2=\"{2}\" stroke=\"#e4e4e4\"/>"
               "<text class=\"x-tick\" x=\"{0}\" y=\"{3}\" text-anchor=\"middle\">{4}</text>\n",
               Num(x), Num(PlotTop), Num(PlotBottom + 5.0), Num(PlotBottom + 20.0), Num(seconds));
    }
    Append(svg, "<path d=\"M{} {}V{}H{}\" fill=\"none\" stroke=\"#333333\"/>\n", Num(PlotLeft), Num(PlotTop),
           Num(PlotBottom), Num(PlotRight));
    Append(svg,
           "<text x=\"{}\" y=\"{}\" font-size=\"14\" text-anchor=\"middle\">game time (seconds)</text>\n",
           Num((PlotLeft + PlotRight) / 2.0), Num(PlotBottom + 44.0));
    Append(
        svg,
        "<text x=\"{0}\" y=\"{1}\" font-size=\"14\" text-anchor=\"middle\" transform=\"rotate(-90 {0} {1})\">"
        "members</text>\n",
        Num(PlotLeft - 44.0), Num((PlotTop + PlotBottom) / 2.0));
    svg += "</g>\n";
}

void DrawSnapshotMarks(std::string& svg, const PictureSet& pictures, const Axes& axes) {
    for (size_t i = 0; i < pictures.maps.size(); ++i) {
        double seconds = pictures.maps[i].seconds;
        if (!Finite(seconds)) continue;
        double x = axes.X(seconds);
        Append(svg,
               "<g class=\"snapshot\"><line x1=\"{0}\" y1=\"{1}\" x2=\"{0}\" y2=\"{2}\" stroke=\"#555555\" "
               "stroke-dasharray=\"3 3\"/><rect x=\"{3}\" y=\"{4}\" width=\"18\" height=\"16\" rx=\"3\" "
               "fill=\"#555555\"/><text x=\"{0}\" y=\"{5}\" font-size=\"11\" text-anchor=\"middle\" "
               "fill=\"#ffffff\">{6}</text></g>\n",
               Num(x), Num(PlotTop), Num(PlotBottom), Num(x - 9.0), Num(PlotTop - 18.0), Num(PlotTop - 6.0),
               i + 1);
    }
}

void DrawLines(std::string& svg, const Axes& axes, const Series& series, int factions) {
    if (series.seconds.empty()) {
        Append(svg,
               "<text x=\"{}\" y=\"{}\" font-size=\"16\" text-anchor=\"middle\" fill=\"#888888\">no "
               "samples</text>\n",
               Num((PlotLeft + PlotRight) / 2.0), Num((PlotTop + PlotBottom) / 2.0));
        return;
    }
    // The total under the factions; each faction a pixel or so apart so equal counts do not hide each other.
    Append(svg,
           "<path class=\"total\" d=\"{}\" fill=\"none\" stroke=\"{}\" stroke-width=\"5\" "
           "stroke-linejoin=\"round\"/>\n",
           StepPath(axes, series.seconds, series.total, 0.0), TotalColour);
    // At most 1.5 pixels between neighbours and 3 either side of the true height, however many factions.
    double spread = factions > 1 ? std::min(1.5, 6.0 / (factions - 1)) : 0.0;
    for (int faction = 0; faction < factions; ++faction) {
        double offset = (faction - (factions - 1) / 2.0) * spread;
        Append(svg,
               "<path class=\"faction-line\" d=\"{}\" fill=\"none\" stroke=\"{}\" stroke-width=\"2\" "
               "stroke-linejoin=\"round\"/>\n",
               StepPath(axes, series.seconds, series.members[static_cast<size_t>(faction)], offset),
               FactionColour(faction));
    }
}

// A row of the legend: the line's colour and width, the name, and the count at the end (none when -1).
void LegendLine(std::string& svg, double& y, const char* colour, double width, const std::string& name,
                int last) {
    Append(svg,
           "<g class=\"faction\"><path d=\"M{} {}h24\" stroke=\"{}\" stroke-width=\"{}\"/><text x=\"{}\" "
           "y=\"{}\">{}</text>",
           Num(LegendLeft), Num(y - 4.0), colour, Num(width), Num(LegendLeft + 32.0), Num(y),
           XmlTextCut(name, LegendNameChars));
    if (last >= 0)
        Append(svg, "<text x=\"{}\" y=\"{}\" text-anchor=\"end\" font-weight=\"bold\">{}</text>",
               Num(LegendRight), Num(y), last);
    svg += "</g>\n";
    y += LegendRow;
}

void DrawLegend(std::string& svg, const PictureSet& pictures, const Series& series, int factions) {
    svg += "<g class=\"legend\" font-size=\"13\">\n";
    double y = PlotTop + 4.0;
    Append(svg, "<text x=\"{}\" y=\"{}\" font-weight=\"bold\">members</text>", Num(LegendLeft), Num(y));
    Append(svg, "<text x=\"{}\" y=\"{}\" text-anchor=\"end\" fill=\"#666666\">at the end</text>\n",
           Num(LegendRight), Num(y));
    y += LegendRow + 4.0;
    for (int faction = 0; faction < factions; ++faction) {
        const std::vector<int>& counts = series.members[static_cast<size_t>(faction)];
        LegendLine(svg, y, FactionColour(faction), 2.0, FactionName(pictures, faction),
                   counts.empty() ? -1 : counts.back());
    }
    LegendLine(svg, y, TotalColour, 5.0, "total", series.total.empty() ? -1 : series.total.back());
    if (!pictures.maps.empty()) {
        y += 8.0;
        Append(svg,
               "<rect x=\"{}\" y=\"{}\" width=\"18\" height=\"16\" rx=\"3\" fill=\"#555555\"/><text x=\"{}\" "
               "y=\"{}\" "
               "font-size=\"11\" text-anchor=\"middle\" fill=\"#ffffff\">1</text><text x=\"{}\" y=\"{}\" "
               "fill=\"#444444\">the moment of map 1, 2, ...</text>\n",
               Num(LegendLeft + 3.0), Num(y - 15.0), Num(LegendLeft + 12.0), Num(y - 3.0),
               Num(LegendLeft + 32.0), Num(y));
    }
    svg += "</g>\n";
}
}  // namespace

std::string MembersSvg(const PictureSet& pictures) {
    int factions = FactionCount(pictures);
    Series series = ReadSamples(pictures, factions);
    Axes axes = FitAxes(pictures, series);
    double legendBottom = PlotTop + 40.0 + (factions + 3) * LegendRow;
    int height = static_cast<int>(std::max(PlotBottom + 60.0, legendBottom));
    std::string heading =
        pictures.title.empty() ? "Members per faction" : pictures.title + " \xE2\x80\x94 members";

    std::string svg;
    SvgOpen(svg, PictureWidth, height, heading);
    Append(svg, "<text x=\"{}\" y=\"28\" font-size=\"18\" font-weight=\"bold\">{}</text>\n",
           Num(PlotLeft - 50.0), XmlTextCut(heading, 80));
    DrawAxes(svg, axes);
    DrawSnapshotMarks(svg, pictures, axes);
    DrawLines(svg, axes, series, factions);
    DrawLegend(svg, pictures, series, factions);
    SvgClose(svg);
    return svg;
}
