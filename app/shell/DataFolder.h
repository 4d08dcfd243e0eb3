// Finding the data folder at start: the folder that holds "Nave.x", looked for relative to
// the current directory first and then beside the executable and where it is installed.
#pragma once

#include <optional>
#include <string>

namespace MyApp {

// The message shown when no data folder is found.
inline constexpr const char* kDataMissingText =
    "Immagini non trovate.\nSe esegui il gioco da un archivio zip dovrai decomprimere tutto il "
    "contenuto in una cartella ed eseguire il gioco dalla cartella";

// Where to look besides the current directory; empty entries are skipped.
struct DataFolderPlaces {
    std::string executableFolder;  // the folder of the running program
    std::string installedFolder;   // the data folder of an installed copy
    std::string dataFromProgram;   // an installed copy's data folder relative to its program
};

// "..\data", else "data\" (both relative to the current directory), else the executable's
// "data", "..\data" and dataFromProgram folders, else the installed folder; the first one
// holding "\Nave.x" (a plain existence test) wins. Nothing when none does.
std::optional<std::string> FindDataFolder(const DataFolderPlaces& places);

// The file: address of a path written as the game writes it ("..\\data\\Guida.html"),
// made absolute against the current directory, with the bytes an address cannot hold
// percent-encoded; for the desktop's document opener.
std::string FileAddress(const std::string& gamePath);

}  // namespace MyApp
