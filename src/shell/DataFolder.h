#pragma once
// The one folder where the designer keeps what it writes between runs (local form
// copies, pictures, the error log): $FORMDESIGNER_HOME when set, else
// $XDG_DATA_HOME/formdesigner (when absolute), else ~/.local/share/formdesigner.
#include <string>

// Created on first use (with its parents). Empty when no folder can be made; the
// reason is then in error.
std::string GetDataFolder(std::string& error);
std::string GetDataFolder();
// Where the folder would be, without creating anything.
std::string DataFolderPath();
