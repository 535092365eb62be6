#include <cstdlib>
#include <iostream>
#include <optional>

#include "Commands.h"
#include "ConsoleUserInterface.h"
#include "LayoutTool.h"
#include "shell/MachineFonts.h"
#include "shell/TextUtils.h"

int RunCheckCommand(int, char**, const std::vector<std::string>& args) {
    if (args.size() != 1) {
        std::cerr << "usage: formdesigner check FILE.ldt\n";
        return 2;
    }
    // The fonts are those of this machine, as the window lists them (read from fontconfig,
    // as the window's font database is, without starting the GUI for it), unless
    // FORMDESIGNER_FONTS names the ones to take as present (comma-separated), which makes a
    // check repeatable anywhere.
    std::function<bool(const std::string&)> exists;
    if (const char* listed = std::getenv("FORMDESIGNER_FONTS")) {
        exists = [fonts = text::Split(listed, ",")](const std::string& name) {
            for (const auto& f : fonts)
                if (!name.empty() && text::EqualsNoCase(text::Trim(f), name)) return true;
            return false;
        };
    } else {
        exists = [machine = std::optional<FontFamilies>()](const std::string& name) mutable {
            if (IsStandInFamily(name)) return true;  // the machine's list is not asked for those
            if (!machine) machine.emplace(FontconfigFamilies());
            return machine->Available(name);
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
