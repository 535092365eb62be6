#include <iostream>

#include "Commands.h"

int RunRenderCommand(int, char**, const std::vector<std::string>&) {
    std::cerr << "formdesigner: 'render' is not available in this build\n";
    return 2;
}
