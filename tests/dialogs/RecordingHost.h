#pragma once
// A designer window that only writes down what it was asked, in order.
#include <string>
#include <vector>

#include "dialogs/FormSizeHost.h"

class RecordingHost : public FormSizeHost {
  public:
    void SetPage(double width, double height, bool keepBackground) override {
        calls.push_back("SetPage " + std::to_string(width) + " " + std::to_string(height) +
                        (keepBackground ? " keep" : " reload"));
    }
    void UpdatePageNumberSetting() override { calls.push_back("UpdatePageNumberSetting"); }
    void UpdateInteractive() override { calls.push_back("UpdateInteractive"); }
    void UpdateDataGridRecalc() override { calls.push_back("UpdateDataGridRecalc"); }
    void UpdateShiftOfOpenDialogs() override { calls.push_back("UpdateShiftOfOpenDialogs"); }
    std::vector<std::string> calls;
};
