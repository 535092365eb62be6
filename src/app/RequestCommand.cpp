#include <iostream>

#include "Commands.h"

int RunRequestCommand(const std::vector<std::string>&) {
    std::cerr << "formdesigner: 'request' is not available in this build\n";
    return 2;
}
