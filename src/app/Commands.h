#pragma once
// Subcommands of the one program `formdesigner`. Each returns the exit status.
#include <string>
#include <vector>

int RunGui(int argc, char** argv);
int RunCheckCommand(int argc, char** argv, const std::vector<std::string>& args);
int RunConvertCommand(const std::vector<std::string>& args);
int RunFormsCommand(const std::vector<std::string>& args);
int RunRequestCommand(const std::vector<std::string>& args);
int RunRenderCommand(int argc, char** argv, const std::vector<std::string>& args);
