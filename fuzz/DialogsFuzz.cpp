// The dialogs' logic on arbitrary entries: stored print settings and tag lines when
// Form Setup opens, typed fields on "OK" of both dialogs. Never a crash, and an
// accepted Form Setup leaves settings inside their limits.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "dialogs/FormSizeHost.h"
#include "dialogs/FormSizeLogic.h"
#include "dialogs/PopUpLogic.h"
#include "layout/FormSettings.h"
#include "shell/RecordingUserInterface.h"
#include "shell/TextUtils.h"

namespace {
class NullHost : public FormSizeHost {
  public:
    void SetPage(double, double, bool) override {}
    void UpdatePageNumberSetting() override {}
    void UpdateInteractive() override {}
    void UpdateDataGridRecalc() override {}
    void UpdateShiftOfOpenDialogs() override {}
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string input(reinterpret_cast<const char*>(data), size);
    // Parts separated by NUL: print settings, tag entries, then the typed fields.
    auto part = [&](int n) { return text::SplitStr(input, std::string(1, '\0'), n); };

    FormSettings settings;
    settings.printingSelection = part(1);
    settings.gridTags = text::Split(part(2), "\n");
    settings.landscape = size % 2;
    settings.dataEntryForm = size % 3 == 0;
    FormSizeLogic setup(settings);
    setup.Load(8.5, 11);
    setup.width = part(3);
    setup.height = part(4);
    setup.horizontalShift = part(5);
    setup.verticalShift = part(6);
    setup.numberOfPages = part(7);
    setup.gridTagText = part(8);
    setup.isStatement = true;
    RecordingUserInterface ui;
    NullHost host;
    if (setup.Ok(host, ui)) {
        if (settings.numberOfPages < 1 || settings.numberOfPages > 99) abort();
        if (!(setup.FormWidthValue() >= 0.25f) || !(setup.FormHeightValue() >= 0.25f)) abort();
        if (settings.horizontalShift > 2) abort();
        if (settings.gridTags.empty()) abort();
    }
    setup.ReadPrintSettings(part(9));
    std::string again = setup.PrintSettingsText();
    if (text::Split(again, "\t").size() != 4) abort();

    PopUpLogic popUp;
    popUp.Load(settings, size % 5 == 0);
    popUp.SetOverwriteChecked(true);
    popUp.name = part(3);
    popUp.description = part(4);
    popUp.type = part(5);
    popUp.documentType = part(6);
    if (popUp.Ok(settings, ui) == PopUpLogic::OkOutcome::Accepted &&
        (PopUpLogic::HasForbiddenCharacter(settings.formCode) || settings.formCode.empty()))
        abort();
    return 0;
}
