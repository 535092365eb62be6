// The form with sample data: every data field at its full width, prompts with their
// defaults, and the labels too narrow for their sample drawn on a red ground.
#include <QImage>
#include <map>

#include "canvas/SampleData.h"
#include "drawing/PageExport.h"
#include "layout/LayoutTestSupport.h"

TEST(SamplePreview, SamplesOfEachTypeAtFullWidth) {
    struct Case {
        const char *type, *field, *sample;
    } cases[] = {
        {"CHAR(8)", "PATIENT.LAST_NAME", "LAST NAM"},
        {"char(10)", "PATIENT.LAST_NAME", "LAST NAME."},
        {"DATE", "PATIENT.DOB", "12/31/2026"},
        {"DECIMAL(10,2)", "CHARGES.FEE", "99,999,999.99"},
        {"MONEY", "CHARGES.FEE", "9,999,999.99"},
        {"INTEGER", "VISIT.UNITS", "9999999999"},
        {"", "VISIT.DOS", "12/31/2026"},  // no catalogue: the name decides
        {"", "CHARGES.BALANCE", "9,999,999.99"},
        {"", "NOTE", "NOTE NOTE NOTE NOTE."},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SampleValue(SampleTypeOf(c.type, c.field), c.field), c.sample) << c.type;
    FormModel model;
    model.AddDatabaseField("PT_LAST", "PATIENT.LAST_NAME");
    for (const char* caption : {"~PT_LAST", "~$$XNAME(PT_LAST)", "~PT_LAST?2"})
        EXPECT_EQ(SampleFieldName(model, caption), "PATIENT.LAST_NAME") << caption;
}

TEST(SamplePreview, FillsTheFormAndDrawsTheLabelsThatDoNotFitOnRed) {
    FixedTextMetrics metrics;  // 10 pt text: 5 pt a character
    std::map<std::string, std::string> catalogue = {{"PATIENT.ACCOUNT", "CHAR(30)"}};
    auto preview = MakeSamplePreview(
        TestDataFile("layouts/full.ldt"), metrics, "",
        [&](const std::string& field) { return catalogue.count(field) ? catalogue[field] : ""; });
    const CanvasModel& canvas = *preview->canvas;
    // The account (30 characters of Courier 10, 2.08 in) overflows its 1.5 in; the date
    // prompt's from/thru default grows its auto-size label; the barcode keeps its data.
    ASSERT_EQ(preview->overflows.size(), 1u) << OverflowReport(canvas, preview->overflows);
    const SampleOverflow& account = preview->overflows[0];
    EXPECT_EQ(account.field, "PATIENT.ACCOUNT");
    EXPECT_EQ(canvas.LabelAt(account.label)->caption, "ACCOUNT ACCOUNT ACCOUNT ACCOUN");
    EXPECT_NEAR(account.needed, 150 / 72.0, 1e-9);
    EXPECT_DOUBLE_EQ(account.available, 1.5);
    EXPECT_EQ(OverflowReport(canvas, preview->overflows),
              "page 1: PATIENT.ACCOUNT needs 2.08 in, has 1.50 in\n");
    int balance = -1, dates = -1, barcode = -1;
    for (int i = 1; i < canvas.LabelCount(); ++i) {
        const std::string_view caption = canvas.LabelAt(i)->caption;
        if (caption == "9,999,999.99") balance = i;
        if (caption == "12/01/2026 - 12/31/2026") dates = i;
        if (caption == "~PATIENT.ACCOUNT" && canvas.IsBarcodeLabel(i)) barcode = i;
    }
    ASSERT_TRUE(dates > 0 && barcode > 0 && balance > 0);

    // Drawn: the red ground inside the account's label, none in the balance's.
    PictureCache pictures;
    const double dpi = 48;
    QImage page = RenderPage(canvas, preview->model, pictures, 0, dpi);
    auto redPixels = [&](int label) {
        const LabelControl* l = canvas.LabelAt(label);
        int count = 0;
        for (int y = int(l->top * dpi) + 1; y < int((l->top + l->height) * dpi); ++y)
            for (int x = int(l->left * dpi) + 1; x < int((l->left + l->width) * dpi); ++x)
                count += page.pixelColor(x, y) == QColor(255, 180, 180);
        return count;
    };
    EXPECT_GT(redPixels(account.label), 20);
    EXPECT_EQ(redPixels(balance), 0);
}
