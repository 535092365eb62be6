#include <iostream>

#include "Commands.h"
#include "ConsoleUserInterface.h"
#include "LayoutTool.h"

int RunCheckCommand(const std::vector<std::string>& args) {
    if (args.size() != 1) {
        std::cerr << "usage: formdesigner check FILE.ldt\n";
        return 2;
    }
    ConsoleUserInterface ui(std::cout);
    LayoutTool tool(ui);
    if (!tool.Open(args[0])) {
        std::cout << "failed: the layout could not be read\n";
        return 1;
    }
    std::cout << tool.Summary() << "\n";
    return 0;
}
