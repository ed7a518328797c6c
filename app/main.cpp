#include "EditorStartup.h"

int main(int argc, char** argv)
{
    return lumo::app::runEditor(argc, argv);
}
