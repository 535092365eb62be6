#include <iostream>

#include "Commands.h"
#include "ConsoleUserInterface.h"
#include "LayoutTool.h"
#include "layout/LayoutWriter.h"

int RunConvertCommand(const std::vector<std::string>& args) {
    if (args.size() != 2) {
        std::cerr << "usage: formdesigner convert IN.ldt OUT.ldt\n";
        return 2;
    }
    ConsoleUserInterface ui(std::cout);
    LayoutTool tool(ui);
    if (!tool.Open(args[0])) {
        std::cout << "failed: the layout could not be read\n";
        return 1;
    }
    if (!SaveDataToFile(args[1], tool.Write(), ui)) return 1;
    std::cout << tool.Summary() << "\n";
    return 0;
}
