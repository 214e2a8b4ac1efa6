#include <cstdio>
#include <exception>

#include "tools/sim/sim.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

int main(int argc, char** argv)
{
#ifdef _WIN32
    // The same bytes on every system: no CR before each line feed.
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    // Whatever goes wrong ends as a tool error, never as an abort.
    try {
        return run_sim(argc, argv, stdout, stderr);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "dorrabee-sim: %s\n", error.what());
        return 2;
    }
}
