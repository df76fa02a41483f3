// Entry point of the game.
#include "engine/core/Process.h"

int main(int argc, char** argv)
{
    Process::setCommandLine(argc, argv);
    return 0;
}
