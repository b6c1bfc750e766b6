// The pictures WritePictures puts on disk, as text: one map per snapshot, the members chart and the page
// showing them.
#pragma once
#include <string>
#include <vector>

#include "app/views/Pictures.h"

std::string MapFileName(size_t index);  // "map-01.svg" for the first snapshot
std::string MapSvg(const PictureSet& pictures, size_t index);
std::string MembersSvg(const PictureSet& pictures);
std::string IndexHtml(const PictureSet& pictures);

// Factions a picture shows: every named one and any a rioter or a chart sample refers to beyond the names.
int FactionCount(const PictureSet& pictures);
// The faction's name as given, "Faction N" for one without a name, "no faction" for a negative index.
std::string FactionName(const PictureSet& pictures, int faction);
