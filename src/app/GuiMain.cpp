// The program `formdesigner` hands the window and the drawing commands to.
#include <cstring>
#include <string>
#include <vector>

#include "Commands.h"

int main(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], "render") == 0)
        return RunRenderCommand(argc, argv, std::vector<std::string>(argv + 2, argv + argc));
    return RunGui(argc, argv);
}
