// Program entry. The main window comes with the toolkit; until then the program says so.
#include <cstdio>

int main() {
    std::fprintf(stderr, "kryxspace: the game window is not available in this build yet\n");
    return 2;
}
