#pragma once
// The form-wide settings written in the layout header.
#include <string>
#include <vector>

enum class LayoutOrigin { None = 0, LocalFile = 1, Server = 2 };

struct FormSettings {
    std::string formCode;                     // "Form_Code:": the form's key on the server
    std::string formName;                     // "Form_Name:": its description
    std::string formType;                     // "Form_Type:"
    std::string formDocumentType;             // "Form_Document_Type:"
    std::string timeStamp;                    // "TimeStamp:"
    double pageWidth = 8.5, pageHeight = 11;  // inches
    bool landscape = false;
    double horizontalShift = 0.02, verticalShift = 0.02;  // inches
    std::string printingSelection;                        // TAB-separated "BOX=" ... fields
    bool dataEntryForm = false;
    bool interactive = false;
    bool posting = false;
    bool singleRecord = false;
    bool openLast = false;
    bool dataGrid = false;
    int numberOfPages = 1;  // 1 to 99
    bool signpad = false;
    bool lookupProcedures = false;
    bool lookupDiagnoses = false;
    bool obstetrics = false;
    bool statement = false;
    bool saveImage = false;
    std::vector<std::string> gridTags{std::string()};  // whole "GRID_TAG:" lines
    LayoutOrigin layoutOrigin = LayoutOrigin::None;
    bool multipageMode = true;

    bool operator==(const FormSettings&) const = default;

    // Done by the reader before a header is read: every option off, one page, shifts
    // 0.02; identity, data-entry flag, orientation and page size stay.
    void Reset();
    // After the current form is closed: no origin, no identity, one page.
    void ClearCurrentForm();
    // Posting, single record and open last only exist on interactive forms.
    void ApplyInteractiveRule();

    void SetNumberOfPages(long long pages);
    void SetHorizontalShift(double shift);
    void SetVerticalShift(double shift);
};

constexpr int kMaxPages = 99;

// The limits applied whenever a value is read and stored back.
int ClampNumberOfPages(long long pages);
double ClampHorizontalShift(double shift);
double ClampVerticalShift(double shift);
