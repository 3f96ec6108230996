// orlanlog: the desktop program.
#include "startup.h"

int main(int argc, char** argv)
{
    return app::MAIN(argc, argv);
}
