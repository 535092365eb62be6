#include <QGuiApplication>
#include <cstdlib>
#include <iostream>
#include <optional>

#include "Commands.h"
#include "ConsoleUserInterface.h"
#include "LayoutTool.h"
#include "shell/TextUtils.h"
#include "shell/qt/QtUserInterface.h"

int RunCheckCommand(int argc, char** argv, const std::vector<std::string>& args) {
    if (args.size() != 1) {
        std::cerr << "usage: formdesigner check FILE.ldt\n";
        return 2;
    }
    // The fonts are those of this machine, as the window sees them, unless
    // FORMDESIGNER_FONTS names the ones to take as present (comma-separated), which
    // makes a check repeatable anywhere.
    std::optional<QGuiApplication> app;
    std::function<bool(const std::string&)> exists;
    if (const char* listed = std::getenv("FORMDESIGNER_FONTS")) {
        exists = [fonts = text::Split(listed, ",")](const std::string& name) {
            for (const auto& f : fonts)
                if (!name.empty() && text::EqualsNoCase(text::Trim(f), name)) return true;
            return false;
        };
    } else {
        if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
        app.emplace(argc, argv);
        exists = [machine = QtTextMetrics()](const std::string& name) {
            return machine.FontExists(name);
        };
    }
    ConsoleUserInterface ui(std::cout);
    LayoutTool tool(ui, std::make_unique<KnownFontsMetrics>(std::move(exists)));
    if (!tool.Open(args[0])) {
        std::cout << "failed: the layout could not be read\n";
        return 1;
    }
    std::cout << tool.Summary() << "\n";
    return 0;
}
