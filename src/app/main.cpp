#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "Commands.h"
#include "shell/Version.h"

namespace {

void PrintHelp() {
    std::cout
        << "Usage: formdesigner [COMMAND] [ARGS]\n"
           "\n"
           "Without a command the designer window opens (after the login); a layout\n"
           "file named on the command line is opened in it, and --connect HOST:PORT\n"
           "connects it to that repository server as it starts.\n"
           "\n"
           "Commands:\n"
           "  check FILE.ldt            read a layout headlessly, print every message the\n"
           "                            reader would show and a one-line summary; exit 1\n"
           "                            when reading fails (FORMDESIGNER_FONTS=A,B takes\n"
           "                            only fonts A and B as present)\n"
           "  convert IN.ldt OUT.ldt    read a layout and write it again (atomically)\n"
           "  request [--server HOST:PORT] [--entity E] [--timeout S] [--array] [--raw] TEXT\n"
           "                            send one request to the server and print the reply;\n"
           "                            exit 1 when no reply came\n"
           "  forms list                the forms stored on the server, one a line: name,\n"
           "                            description, type, document type, time stamp and\n"
           "                            picture count, TAB-separated\n"
           "  forms get NAME [DIR]      a form into DIR (default .): NAME.ldt, its pictures\n"
           "                            in DIR/IMAGES, its static list in NAME.static\n"
           "  forms put DIR|FILE.ldt    save a layout (with DIR/IMAGES and NAME.static) as\n"
           "                            the designer's Save does, with its checks\n"
           "  forms delete NAME         delete a form, its pictures and its static list\n"
           "  forms copy --from HOST:PORT --to HOST:PORT [--overwrite] NAME...\n"
           "                            copy forms with their pictures between servers, as\n"
           "                            Tools > Copy Forms... does; a form the target has is\n"
           "                            skipped unless --overwrite is given\n"
           "                            (forms commands take [--server HOST:PORT], default\n"
           "                            127.0.0.1:5001, and [--entity E]; exit 1 when\n"
           "                            anything failed, 2 on bad arguments)\n"
           "                            (request and forms commands end within --timeout S\n"
           "                            seconds, default 120, whatever the server does)\n"
           "  render IN.ldt OUT.png|OUT.pdf [--page N] [--dpi D] [--images DIR]\n"
           "         [--sample [--server HOST:PORT]]\n"
           "                            draw pages of a layout to a picture or a PDF; with\n"
           "                            --sample every data field shows a sample of its\n"
           "                            type at full width (types from the server's\n"
           "                            catalogue when given), every prompt its default,\n"
           "                            and labels too narrow for theirs are marked red\n"
           "  --version                 the program's version\n"
           "  --help                    this text\n";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return StartGuiProgram(argv);
    std::string cmd = argv[1];
    std::vector<std::string> args(argv + 2, argv + argc);
    if (cmd == "--help" || cmd == "-h" || cmd == "help") {
        PrintHelp();
        return 0;
    }
    if (cmd == "--version") {
        std::cout << "formdesigner " << app::kVersion << "\n";
        return 0;
    }
    if (cmd == "check") return RunCheckCommand(argc, argv, args);
    if (cmd == "convert") return RunConvertCommand(args);
    if (cmd == "request") return RunRequestCommand(args);
    if (cmd == "forms") return RunFormsCommand(args);
    // render draws with Qt; anything else is a GUI start with switches ("debug mode", "no
    // ping" ...).
    return StartGuiProgram(argv);
}
