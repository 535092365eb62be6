#pragma once
// How wide and high a caption is drawn, and which fonts the machine has.
#include <string>
#include <string_view>
#include <utility>

#include "shell/Units.h"

// Width and height of a caption in a font; the Qt implementation measures with
// QFontMetricsF, the test implementation uses a fixed width per character.
class TextMetrics {
  public:
    virtual ~TextMetrics() = default;
    // Size in inches of the caption drawn in the label's font.
    virtual double TextWidth(std::string_view caption, const std::string& fontName, double fontSize,
                             bool bold, bool italic) const = 0;
    virtual double TextHeight(const std::string& fontName, double fontSize, bool bold,
                              bool italic) const = 0;
    // False when no such font can be set on this machine.
    virtual bool FontExists(const std::string& fontName) const = 0;
};

// Deterministic metrics for tests and headless tools: every character is
// fontSize * 0.5 points wide, a line is fontSize * 1.2 points high, and every font
// exists except those named in missingFonts (comma-separated).
class FixedTextMetrics : public TextMetrics {
  public:
    explicit FixedTextMetrics(std::string missingFonts = {}) : missing_(std::move(missingFonts)) {}
    double TextWidth(std::string_view caption, const std::string&, double fontSize, bool,
                     bool) const override {
        return units::PointsToInches(double(caption.size()) * fontSize * 0.5);
    }
    double TextHeight(const std::string&, double fontSize, bool, bool) const override {
        return units::PointsToInches(fontSize * 1.2);
    }
    bool FontExists(const std::string& fontName) const override {
        if (missing_.empty() || fontName.empty()) return true;
        std::string list = "," + missing_ + ",";
        return list.find("," + fontName + ",") == std::string::npos;
    }

  private:
    std::string missing_;
};
