#include <iostream>

#include "Commands.h"

int RunCheckCommand(const std::vector<std::string>&) {
    std::cerr << "formdesigner: 'check' is not available in this build\n";
    return 2;
}
