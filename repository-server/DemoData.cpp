#include "DemoData.h"

#include <initializer_list>

#include "shell/Cp1252.h"

namespace repo {
namespace {

const std::string kCrLf = "\r\n";

// A label line: every field ends with TAB.
std::string Item(const std::string& caption, const std::string& left, const std::string& top,
                 const std::string& width, bool bold = false) {
    std::string line;
    for (const std::string& f :
         {caption, left, top, std::string("Arial"), std::string("10"),
          std::string(bold ? "Y" : "N"), std::string("N"), std::string("L"), width,
          std::string("N"), std::string(), std::string(), std::string()})
        line += f + "\t";
    return line;
}

struct DemoForm {
    std::string name, description, type, documentType;
    std::vector<std::string> header;  // lines after the identity and page lines
    std::vector<std::vector<std::string>> pages;
    std::string staticList;
};

std::string LayoutOf(const DemoForm& f) {
    std::string t = "<HEADER>";
    for (const std::string& line :
         {std::string("TimeStamp:\t"), "Form_Name:\t" + f.description, "Form_Code:\t" + f.name,
          "Form_Type:\t" + f.type, "Form_Document_Type:\t" + f.documentType,
          std::string("Page:\t8.5\t11"), std::string("Orientation:\t1"),
          std::string("Shift:\t0.02\t0.02")})
        t += kCrLf + line;
    for (const auto& line : f.header) t += kCrLf + line;
    t += kCrLf + "Number_Of_Pages:\t" + std::to_string(f.pages.size());
    t += kCrLf + "</HEADER>" + kCrLf;
    for (const auto& page : f.pages) {
        t += "<PAGE>" + kCrLf;
        for (const auto& line : page) t += line + kCrLf;
        t += "</PAGE>" + kCrLf;
    }
    t.resize(t.size() - 2);
    return t;
}

std::string StaticItem(const std::string& code, const std::string& description,
                       const std::string& other) {
    return code + cp1252::kBarcodeMark + description + cp1252::kBarcodeMark + other;
}

std::vector<DemoForm> DemoForms() {
    std::vector<DemoForm> forms;
    forms.push_back(
        {"CHARGE01",
         "Office Charge Slip",
         "CS",
         "CHG",
         {"Background_Image:\tslipbg.bmp\t\t1", "Image:\t0.5\t0.4\t1.2\t0.6\tlogo.bmp\t\t1",
          "Box:\t0.4\t1.2\t7.7\t3\t1\t0\t1\tN\t0", "Printing_Selection:\t", "Data_Entry_Form:\tNo",
          "Interactive:\tNo", "Posting:\tNo", "Single_Record:\tNo", "Open_Last:\tNo",
          "Data_Grid:\tNo"},
         {{Item("Patient:", "0.5", "1.3", "1", true),
           Item("~PT_NAME@PATIENT.LAST_NAME", "1.5", "1.3", "2.5"),
           Item("Account:", "4.5", "1.3", "1", true),
           Item("~PT_ACCOUNT@PATIENT.ACCOUNT", "5.5", "1.3", "1.5"),
           Item("Date of service:", "0.5", "1.6", "1.2", true),
           Item("~VS_DOS@VISIT.DOS", "1.8", "1.6", "1.2"),
           Item("^DOS_FROM@Date of service from@TEXT_FROMTHRU@@False@1@@@", "4.5", "1.6", "1.5")}},
         StaticItem("99213", "Office visit, established", "") + "\t" +
             StaticItem("99214", "Office visit, detailed", "") + "\t" +
             StaticItem("36415", "Venipuncture", "LAB")});
    forms.push_back({"STMT01",
                     "Patient Statement",
                     "ST",
                     "STM",
                     {"Printing_Selection:\t", "Data_Entry_Form:\tNo", "Interactive:\tNo",
                      "IsStatement:\tYes", "GRID_TAG:\t1\tSTATEMENT_LINES"},
                     {{Item("Statement", "3.5", "0.5", "1.5", true),
                       Item("~PT_NAME@PATIENT.LAST_NAME", "0.5", "1", "2.5"),
                       Item("~PT_ADDRESS@PATIENT.ADDRESS1", "0.5", "1.2", "2.5")}},
                     ""});
    forms.push_back(
        {"EMRVITALS",
         "Vital Signs",
         "EMR",
         "EMR",
         {"Printing_Selection:\t", "Data_Entry_Form:\tYes", "Interactive:\tNo"},
         {{"^WEIGHT@Weight (lb)@TEXT@@False@1@@@", Item("Weight:", "0.3", "0.3", "1", true),
           Item("^WEIGHT@Weight (lb)@TEXT@@False@1@@@", "1.4", "0.3", "1"),
           Item("Height:", "0.3", "0.6", "1", true)}},
         ""});
    forms.push_back(
        {"INTAKE",
         "New Patient Intake",
         "INT",
         "INT",
         {"Hotspot:\t6\t0.3\t1.5\t0.4\t1\tSAVE", "Signature_Box:\t0.5\t9.5\t3\t0.8\t1\tY",
          "Printing_Selection:\t", "Data_Entry_Form:\tNo", "Interactive:\tYes", "Posting:\tNo",
          "Single_Record:\tYes", "Open_Last:\tNo"},
         {{Item("New patient intake", "0.5", "0.3", "3", true),
           Item("~PT_NAME@PATIENT.LAST_NAME", "0.5", "1", "2.5")},
          {Item("Consent", "0.5", "0.3", "2", true)}},
         StaticItem("Y", "Yes", "") + "\t" + StaticItem("N", "No", "")});
    return forms;
}

repo::CatalogueField Field(const std::string& name, const std::string& longName,
                           const std::string& type, const std::string& shortId,
                           const std::string& hl7, const std::string& code) {
    return {name, {longName, type, shortId, hl7, "ST", "Y", code}};
}

}  // namespace

std::vector<std::string> DemoEntities() {
    return {"", "1"};
}

std::string MakeDemoBitmap(int width, int height, unsigned colourA, unsigned colourB) {
    int rowBytes = (width * 3 + 3) & ~3;
    unsigned imageBytes = unsigned(rowBytes * height);
    unsigned fileBytes = 54 + imageBytes;
    std::string b;
    auto u16 = [&](unsigned v) {
        b += char(v & 0xFF);
        b += char((v >> 8) & 0xFF);
    };
    auto u32 = [&](unsigned v) {
        u16(v & 0xFFFF);
        u16(v >> 16);
    };
    b += "BM";
    u32(fileBytes);
    u32(0);
    u32(54);
    u32(40);
    u32(unsigned(width));
    u32(unsigned(height));
    u16(1);
    u16(24);
    u32(0);
    u32(imageBytes);
    u32(2835);
    u32(2835);
    u32(0);
    u32(0);
    for (int y = 0; y < height; ++y) {
        std::string row;
        for (int x = 0; x < width; ++x) {
            unsigned c = ((x / 8 + y / 8) % 2) ? colourA : colourB;  // 0xBBGGRR
            row += char((c >> 16) & 0xFF);
            row += char((c >> 8) & 0xFF);
            row += char(c & 0xFF);
        }
        row.resize(size_t(rowBytes), '\0');
        b += row;
    }
    return b;
}

bool SeedDemoData(Repository& r, std::string& error) {
    std::string stamp;
    auto ok = [&](Status s) { return s == Status::Ok; };
    const std::string logo = MakeDemoBitmap(40, 20, 0x804000, 0xFFFFFF);
    // Big enough that the designer sends it in numbered pieces.
    const std::string background = MakeDemoBitmap(100, 60, 0xF0F0F0, 0xE0E0FF);
    for (const auto& entity : DemoEntities()) {
        for (const auto& f : DemoForms()) {
            FormRecord rec;
            rec.name = f.name;
            rec.description = f.description;
            rec.type = f.type;
            rec.documentType = f.documentType;
            rec.layout = LayoutOf(f);
            if (!ok(r.StoreForm(entity, rec, stamp, error))) return false;
            if (!f.staticList.empty() &&
                !ok(r.StoreStaticList(entity, f.name, f.staticList, error)))
                return false;
        }
        if (!ok(r.StoreImage(entity, "CHARGE01", "logo.bmp", logo, stamp, error)) ||
            !ok(r.StoreImage(entity, "CHARGE01", "slipbg.bmp", background, stamp, error)))
            return false;
        if (!ok(r.SetFlags(entity, "STMT01", true, true, error))) return false;
        SavedRecord newer{"10023",       "2026/11/02",        "EMR", "EMRVITALS",
                          "Vital signs", "20261102093000000", true};
        SavedRecord older{"10047",  "2026/10/15",        "INT", "INTAKE",
                          "Intake", "20261015141500000", false};
        if (!ok(r.AddSavedRecord(entity, newer, error)) ||
            !ok(r.AddSavedRecord(entity, older, error)))
            return false;
    }

    if (!ok(r.SetDatabaseName("PRACTICE", error))) return false;
    std::vector<CatalogueTable> tables = {
        {"PATIENT",
         {Field("ACCOUNT", "Account Number", "CHAR(10)", "ACCT", "PID-3", "PT_ACCOUNT"),
          Field("LAST_NAME", "Last Name", "CHAR(30)", "LNAME", "PID-5.1", "PT_NAME"),
          Field("FIRST_NAME", "First Name", "CHAR(20)", "FNAME", "PID-5.2", "PT_FNAME"),
          Field("DOB", "Date of Birth", "DATE", "DOB", "PID-7", "PT_DOB"),
          Field("ADDRESS1", "Address", "CHAR(40)", "ADDR", "PID-11", "PT_ADDRESS"),
          Field("CITY", "City", "CHAR(30)", "CITY", "PID-11.3", "PT_CITY"),
          Field("PHONE", "Home Phone", "CHAR(14)", "PHONE", "PID-13", "PT_PHONE")}},
        {"VISIT",
         {Field("DOS", "Date of Service", "DATE", "DOS", "PV1-44", "VS_DOS"),
          Field("PROVIDER", "Provider", "CHAR(6)", "PROV", "PV1-7", "VS_PROVIDER"),
          Field("PLACE", "Place of Service", "CHAR(4)", "POS", "PV1-3", "VS_PLACE"),
          Field("DIAG1", "Diagnosis 1", "CHAR(8)", "DX1", "DG1-3", "VS_DIAG1")}},
        {"INSURANCE",
         {Field("CARRIER", "Carrier", "CHAR(6)", "CARR", "IN1-3", "IN_CARRIER"),
          Field("POLICY", "Policy Number", "CHAR(20)", "POL", "IN1-36", "IN_POLICY")}},
    };
    // A table as wide as a real ledger: enough fields that the catalogue's lists scroll.
    CatalogueTable charges{"CHARGES", {}};
    for (const char* f : {"CPT", "UNITS", "FEE", "PAID", "ADJUST", "BALANCE", "POSTED", "BATCH"})
        charges.fields.push_back(
            Field(f, std::string("Charge ") + f, "CHAR(10)", f, "FT1", std::string("CH_") + f));
    for (int i = 1; i <= 4; ++i)
        charges.fields.push_back(Field("MOD" + std::to_string(i), "Modifier " + std::to_string(i),
                                       "CHAR(2)", "MOD", "FT1-26", "CH_MOD" + std::to_string(i)));
    for (int i = 1; i <= 12; ++i)
        charges.fields.push_back(Field("DX" + std::to_string(i), "Diagnosis " + std::to_string(i),
                                       "CHAR(8)", "DX", "FT1-19", "CH_DX" + std::to_string(i)));
    for (int i = 1; i <= 6; ++i)
        charges.fields.push_back(Field("NOTE" + std::to_string(i), "Note line " + std::to_string(i),
                                       "CHAR(60)", "NOTE", "NTE-3", "CH_NOTE" + std::to_string(i)));
    tables.push_back(charges);
    for (const auto& t : tables)
        if (!ok(r.AddCatalogueTable(t, error))) return false;

    struct Code {
        const char* list;
        const char* code;
        const char* description;
    };
    const Code codes[] = {
        {"IDT", "CHG", "Charge Slip"},
        {"IDT", "STM", "Statement"},
        {"IDT", "EMR", "Medical Record"},
        {"IDT", "INT", "Intake Form"},
        {"IDT", "CON", "Consent"},
        {"CHL", "OFFICE", "Office Visits"},
        {"CHL", "LAB", "Laboratory"},
        {"CHL", "PROC", "Procedures"},
        {"DG", "J06.9", "Upper respiratory infection"},
        {"DG", "I10", "Essential hypertension"},
        {"PC", "99213", "Office visit, established"},
        {"PC", "99214", "Office visit, detailed"},
        {"DG", "E11.9", "Type 2 diabetes"},
        {"PC", "36415", "Venipuncture"},
        {"RF", "SMITHJ", "John Smith MD"},
        {"RF", "LEEK", "Karen Lee DO"},
        {"OP", "ADMIN", "Administrator"},
        {"OP", "FRONT", "Front desk"},
        {"PV", "DRBROWN", "Paul Brown MD"},
        {"ACCNT", "10101", "Nguyen, Thao"},
        {"IN", "MEDI", "Medicare"},
        {"IN", "BCBS", "Blue Cross"},
        {"PV", "DRJONES", "Anna Jones MD"},
        {"PS", "11", "Office"},
        {"PS", "21", "Inpatient Hospital"},
        {"ACCNT", "10023", "Miller, Ann"},
        {"ACCNT", "10047", "Garcia, Luis"},
    };
    for (const auto& c : codes)
        if (!ok(r.AddCodeEntry(c.list, {c.code, c.description}, error))) return false;

    const ChargeSlipEntry office[] = {
        {"NEW PATIENT", "", "", ""},
        {"", "99203", "New patient, low", ""},
        {"", "99204", "New patient, moderate", ""},
        {"ESTABLISHED", "", "", ""},
        {"", "99213", "Established, low", "15"},
        {"", "99214", "Established, moderate", "25"},
    };
    for (const auto& e : office)
        if (!ok(r.AddChargeSlipEntry("OFFICE", e, error))) return false;
    const ChargeSlipEntry lab[] = {
        {"", "36415", "Venipuncture", ""},
        {"", "85025", "Complete blood count", "LAB"},
    };
    for (const auto& e : lab)
        if (!ok(r.AddChargeSlipEntry("LAB", e, error))) return false;
    const ChargeSlipEntry procedures[] = {
        {"INJECTIONS", "", "", ""},
        {"", "96372", "Injection, therapeutic", ""},
        {"", "90471", "Immunization admin", "VAC"},
        {"MINOR SURGERY", "", "", ""},
        {"", "11200", "Skin tag removal", ""},
        {"", "17110", "Wart destruction", "15"},
    };
    for (const auto& e : procedures)
        if (!ok(r.AddChargeSlipEntry("PROC", e, error))) return false;
    return true;
}

}  // namespace repo
