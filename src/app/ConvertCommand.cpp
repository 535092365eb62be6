#include <iostream>

#include "Commands.h"

int RunConvertCommand(const std::vector<std::string>&) {
    std::cerr << "formdesigner: 'convert' is not available in this build\n";
    return 2;
}
