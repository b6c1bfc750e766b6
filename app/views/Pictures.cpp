#include "app/views/Pictures.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <set>
#include <stdexcept>

#include "app/OutputFile.h"
#include "app/Utf8Path.h"
#include "app/views/SvgPictures.h"
#include "app/views/SvgText.h"

namespace {
// Faction numbers past the names beyond this many are drawn as "no faction" rather than given a legend row
// each.
constexpr int MostUnnamedFactions = 64;

std::string PageTitle(const PictureSet& pictures) {
    return pictures.title.empty() ? "Skirmora riot" : pictures.title;
}

// map-01.svg, map-123.svg: a map of this run or of an earlier one.
bool IsMapName(const std::string& name) {
    const size_t digits = name.size() > 8 ? name.size() - 8 : 0;
    return digits >= 2 && name.compare(0, 4, "map-") == 0 && name.compare(4 + digits, 4, ".svg") == 0 &&
           name.find_first_not_of("0123456789", 4) == 4 + digits;
}

// The maps an earlier run left in the folder beside those just written.
void RemoveStaleMaps(const std::filesystem::path& folder, const std::set<std::string>& written) {
    std::error_code error;
    std::vector<std::filesystem::path> stale;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().u8string();
        if (IsMapName(name) && !written.count(name)) stale.push_back(entry.path());
    }
    for (const auto& path : stale)
        std::filesystem::remove(path, error);
}
}  // namespace

int FactionCount(const PictureSet& pictures) {
    int named = static_cast<int>(pictures.factionNames.size());
    int used = 0;
    for (const MapSnapshot& map : pictures.maps)
        for (const MapRioter& rioter : map.rioters)
            if (rioter.faction < named + MostUnnamedFactions) used = std::max(used, rioter.faction + 1);
    for (const ChartSample& sample : pictures.chart)
        used = std::max(used, static_cast<int>(sample.members.size()));
    return std::max(named, std::min(used, named + MostUnnamedFactions));
}

std::string FactionName(const PictureSet& pictures, int faction) {
    if (faction < 0) return "no faction";
    if (static_cast<size_t>(faction) < pictures.factionNames.size())
        return pictures.factionNames[static_cast<size_t>(faction)];
    return fmt::format("Faction {}", faction);
}

std::string MapFileName(size_t index) {
    return fmt::format("map-{:02}.svg", index + 1);
}

std::string IndexHtml(const PictureSet& pictures) {
    std::string title = XmlText(PageTitle(pictures));
    std::string html;
    Append(html,
           "<!DOCTYPE html>\n<html xmlns=\"http://www.w3.org/1999/xhtml\" lang=\"en\">\n<head>\n"
           "<meta charset=\"utf-8\"/>\n<title>{0}</title>\n<style>\n"
           "body {{ font-family: {1}; color: #222222; background: #ffffff; margin: 24px; }}\n"
           "figure {{ margin: 0 0 36px 0; }}\n"
           "img {{ max-width: 100%; height: auto; border: 1px solid #dddddd; }}\n"
           "figcaption {{ margin-top: 6px; color: #444444; }}\n"
           "</style>\n</head>\n<body>\n<h1>{0}</h1>\n",
           title, SvgFont);
    Append(html,
           "<p>Members per faction over the run, then {} {} of the world around the player (north up), "
           "numbered as "
           "on the chart.</p>\n",
           pictures.maps.size(), pictures.maps.size() == 1 ? "map" : "maps");
    if (!pictures.replayLink.empty())
        Append(html, "<p><a href=\"{}\">Watch the whole riot move: the replay</a></p>\n",
               XmlText(pictures.replayLink));
    html +=
        "<figure>\n<img src=\"members.svg\" alt=\"Members per faction over time\"/>\n"
        "<figcaption>Members per faction over time</figcaption>\n</figure>\n";
    for (size_t i = 0; i < pictures.maps.size(); ++i) {
        const MapSnapshot& map = pictures.maps[i];
        double seconds = map.seconds == map.seconds && map.seconds - map.seconds == 0.0 ? map.seconds : 0.0;
        std::string moment = fmt::format("Map {}: t = {:.1f} s", i + 1, seconds);
        Append(
            html,
            "<figure>\n<img src=\"{}\" alt=\"{}\"/>\n<figcaption>{}, mode {}, {} {}, player {}</figcaption>\n"
            "</figure>\n",
            MapFileName(i), moment, moment, map.modeOn ? "on" : "off", map.rioters.size(),
            map.rioters.size() == 1 ? "rioter" : "rioters",
            map.playerDead ? "dead" : (map.playerInVehicle ? "in a vehicle" : "on foot"));
    }
    html += "</body>\n</html>\n";
    return html;
}

std::vector<std::string> WritePictures(const PictureSet& pictures, const std::string& dir) {
    std::filesystem::path folder = dir.empty() ? std::filesystem::path(".") : PathFromUtf8(dir);
    std::error_code error;
    std::filesystem::create_directory(folder, error);
    if (!error && !std::filesystem::is_directory(folder, error) && !error)
        error = std::make_error_code(std::errc::not_a_directory);
    if (error) throw std::runtime_error("cannot write " + folder.string() + ": " + error.message());

    std::vector<std::unique_ptr<OutputFile>> files;
    std::vector<std::string> written;
    std::set<std::string> names;
    auto write = [&](const std::string& name, const std::string& text) {
        written.push_back((folder / name).u8string());
        names.insert(name);
        files.push_back(std::make_unique<OutputFile>(written.back(), ""));
        files.back()->Stream() << text;
        files.back()->Close();  // committed with the others, once all are written
    };
    for (size_t i = 0; i < pictures.maps.size(); ++i)
        write(MapFileName(i), MapSvg(pictures, i));
    write("members.svg", MembersSvg(pictures));
    write("index.html", IndexHtml(pictures));
    for (const auto& file : files)
        file->Commit();
    RemoveStaleMaps(folder, names);
    return written;
}

bool IsPictureName(const std::string& name) {
    return name == "index.html" || name == "members.svg" || IsMapName(name);
}
