#include "platform/fonts/fonts.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <map>
#include <tuple>

namespace platform {
namespace {

// Faces whose fontconfig substitute is missing or wrong on a Linux desktop.
std::string FamilyFor(const std::string& face) {
    std::string lower = face;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    // Tahoma is narrow: Liberation Sans (Arial's widths) comes within a few per cent of it,
    // where DejaVu Sans (Verdana's) is a fifth wider.
    if (lower == "arial" || lower == "tahoma") {
        return "Liberation Sans";
    }
    if (lower == "system" || lower == "ms sans serif" || lower == "ms shell dlg" ||
        lower == "segoe ui") {
        return "DejaVu Sans";
    }
    if (lower == "consolas" || lower == "courier new") {
        return "DejaVu Sans Mono";
    }
    if (lower == "lucida console") {
        return "monospace";
    }
    if (lower.empty()) {
        return "sans-serif";
    }
    return face;
}

bool Ready() {
    // fontconfig keeps its configuration and caches until FcFini; release them at exit.
    static const bool ready = [] {
        if (!FcInit()) {
            return false;
        }
        std::atexit([] { FcFini(); });
        return true;
    }();
    return ready;
}

std::string Match(const std::string& family, bool bold, bool italic) {
    if (!Ready()) {
        return {};
    }
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    std::string path;
    if (match != nullptr) {
        FcChar8* file = nullptr;
        if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file != nullptr) {
            path = reinterpret_cast<const char*>(file);
        }
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pattern);
    return path;
}

}  // namespace

double SubstituteWidthFactor(const std::string& face, bool bold) {
    std::string lower = face;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    // Liberation Sans Bold runs a little wider than the bold Tahoma the title is laid out
    // for, whose last letter then reaches the panel's right edge; condensed by 4% it sets
    // "Kryx Space" about 5.1 em wide and ends inside with a margin.
    return lower == "tahoma" && bold ? 0.96 : 1.0;
}

std::string FindFontFile(const std::string& face, bool bold, bool italic) {
    static std::map<std::tuple<std::string, bool, bool>, std::string> cache;
    auto key = std::make_tuple(face, bold, italic);
    auto it = cache.find(key);
    if (it != cache.end()) {
        return it->second;
    }
    std::string path = Match(FamilyFor(face), bold, italic);
    if (path.empty()) {
        path = Match("sans-serif", bold, italic);
    }
    cache.emplace(key, path);
    return path;
}

}  // namespace platform
