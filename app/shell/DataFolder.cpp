#include "app/shell/DataFolder.h"

#include <cctype>
#include <cstring>

#include "platform/files.h"

namespace MyApp {
namespace {

constexpr const char* kProbe = "\\Nave.x";

// The part of a path after its last backslash.
std::string FileNamePart(const std::string& path) {
    const auto slash = path.find_last_of('\\');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool HoldsProbe(const std::string& folder) {
    return !folder.empty() && platform::FileExists(folder + kProbe);
}

}  // namespace

std::string FileAddress(const std::string& gamePath) {
    std::string path = platform::NativePath(gamePath);
    if (path.empty() || path.front() != '/') {
        path = platform::CurrentDirectory() + "/" + path;
    }
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string address = "file://";
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        if (std::isalnum(byte) != 0 || std::strchr("/-._~", c) != nullptr) {
            address.push_back(c);
        } else {
            address += {'%', kHex[byte >> 4], kHex[byte & 0xF]};
        }
    }
    return address;
}

std::optional<std::string> FindDataFolder(const DataFolderPlaces& places) {
    const std::string upper = "..\\data";
    if (platform::FileExists(upper + kProbe)) {
        return upper;
    }
    // The second folder carries its own trailing backslash, so it is probed with the bare
    // file name; the names the game joins to it later get a doubled backslash.
    const std::string local = "data\\";
    if (platform::FileExists(local + FileNamePart(upper + kProbe))) {
        return local;
    }
    if (!places.executableFolder.empty()) {
        for (const std::string& inside :
             {std::string("data"), std::string("..\\data"), places.dataFromProgram}) {
            const std::string candidate = places.executableFolder + "\\" + inside;
            if (!inside.empty() && HoldsProbe(candidate)) {
                return candidate;
            }
        }
    }
    if (HoldsProbe(places.installedFolder)) {
        return places.installedFolder;
    }
    return std::nullopt;
}

}  // namespace MyApp
