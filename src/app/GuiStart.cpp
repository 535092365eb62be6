#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <vector>

#include "Commands.h"

namespace fs = std::filesystem;

int StartGuiProgram(char** argv) {
    // The window and the drawing commands are a program of their own, beside this one in a
    // build and under libexec when installed: a check or a save from a script then never
    // loads the GUI libraries, which cost more memory at start than a large form.
    std::error_code error;
    const fs::path self = fs::read_symlink("/proc/self/exe", error);
    std::vector<fs::path> candidates;
    if (!error) {
        candidates.push_back(self.parent_path() / "formdesigner-gui");
        candidates.push_back(self.parent_path() / FD_GUI_FROM_BINDIR / "formdesigner-gui");
    }
    for (const fs::path& gui : candidates) {
        if (::access(gui.c_str(), X_OK) != 0) continue;
        ::execv(gui.c_str(), argv);
        std::cerr << "formdesigner: cannot start " << gui.string() << ": " << std::strerror(errno)
                  << "\n";
        return 127;
    }
    std::cerr << "formdesigner: the window's program (formdesigner-gui) is not installed beside "
              << (error ? std::string("this program") : self.string()) << "\n";
    return 127;
}
