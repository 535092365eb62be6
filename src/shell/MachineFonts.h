#pragma once
// The font families of this machine, as the window lists them, asked without Qt: the
// command line's check runs without loading the GUI libraries.
#include <string>
#include <unordered_set>
#include <vector>

// The family names (UTF-8) the window's font database lists, read from fontconfig: a family
// made by several foundries is listed once per foundry, "Family [Foundry]", and the generic
// "Serif", "Sans Serif" and "Monospace" are always there.
std::vector<std::string> FontconfigFamilies();

// One of the families forms are usually made with, which the system draws through
// metric-compatible stand-ins: a label keeps it whatever the machine lists.
bool IsStandInFamily(const std::string& fontName);

// Family names (UTF-8, as FontconfigFamilies gives them) to look labels' fonts up in, in any
// letter case; each name is folded once, not at every label.
class FontFamilies {
  public:
    explicit FontFamilies(const std::vector<std::string>& families);
    // Whether a label may keep fontName (Windows-1252): a stand-in, or one of the families.
    bool Available(const std::string& fontName) const;

  private:
    std::unordered_set<std::string> folded_;
};
