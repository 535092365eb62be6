#pragma once
// Subcommands of the one program `formdesigner`. Each returns the exit status.
#include <string>
#include <vector>

#include "server/CommDeadline.h"

// Every command that talks to a server ends within this many seconds (--timeout S), a
// silent server included, however many requests it makes.
constexpr double kDefaultCommandSeconds = 120;
// The deadline for --timeout's text (seconds, fractions allowed); false when it is no
// sensible time.
bool ParseCommandTimeout(const std::string& text, CommDeadline& deadline);

// In formdesigner-gui: the window, and render.
int RunGui(int argc, char** argv);
int RunRenderCommand(int argc, char** argv, const std::vector<std::string>& args);
// In formdesigner: becomes formdesigner-gui with the same arguments; returns only when that
// program cannot be started.
int StartGuiProgram(char** argv);
int RunCheckCommand(int argc, char** argv, const std::vector<std::string>& args);
int RunConvertCommand(const std::vector<std::string>& args);
int RunFormsCommand(const std::vector<std::string>& args);
int RunRequestCommand(const std::vector<std::string>& args);
