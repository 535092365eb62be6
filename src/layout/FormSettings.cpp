#include "layout/FormSettings.h"

void FormSettings::Reset() {
    interactive = posting = singleRecord = openLast = false;
    dataGrid = signpad = lookupProcedures = lookupDiagnoses = obstetrics = false;
    statement = saveImage = false;
    gridTags.assign(1, std::string());
    numberOfPages = 1;
    printingSelection.clear();
    horizontalShift = verticalShift = 0.02;
}

void FormSettings::ClearCurrentForm() {
    layoutOrigin = LayoutOrigin::None;
    formCode.clear();
    formName.clear();
    formType.clear();
    formDocumentType.clear();
    timeStamp.clear();
    numberOfPages = 1;
}

void FormSettings::ApplyInteractiveRule() {
    if (!interactive) posting = singleRecord = openLast = false;
}

void FormSettings::SetNumberOfPages(long long pages) {
    numberOfPages = ClampNumberOfPages(pages);
}
void FormSettings::SetHorizontalShift(double shift) {
    horizontalShift = ClampHorizontalShift(shift);
}
void FormSettings::SetVerticalShift(double shift) {
    verticalShift = ClampVerticalShift(shift);
}

int ClampNumberOfPages(long long pages) {
    if (pages < 1) return 1;
    if (pages > kMaxPages) return kMaxPages;
    return int(pages);
}

double ClampHorizontalShift(double shift) {
    if (shift == 0) return 0;
    if (shift < 0.01) return 0.01;
    if (shift > 2) return 2;
    return shift;
}

double ClampVerticalShift(double shift) {
    if (shift == 0) return 0.02;
    if (shift < 0.01) return 0.01;
    return shift;
}
