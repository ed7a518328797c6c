#include "EditorStartup.h"

#include <cstdio>
#include <exception>

int main(int argc, char** argv)
{
    // What no window caught ends the program with one line that says so, never an abort.
    try {
        return lumo::app::runEditor(argc, argv);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "lumo: unexpected error: %s\n", e.what());
        return 1;
    }
}
