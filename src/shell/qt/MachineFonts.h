#pragma once
// The font families of this machine, as the window lists them.
#include <QStringList>
#include <functional>
#include <string>

// The family names the window's font database lists, read from fontconfig without starting
// the GUI: a family made by several foundries is listed once per foundry, "Family
// [Foundry]", and the generic "Serif", "Sans Serif" and "Monospace" are always there.
QStringList FontconfigFamilies();

// Whether a label may keep fontName: one of the families listed (any letter case), or one
// of the families forms are usually made with, which the system draws through
// metric-compatible stand-ins (the list is not asked for those).
bool FontFamilyAvailable(const std::string& fontName, const std::function<QStringList()>& families);
