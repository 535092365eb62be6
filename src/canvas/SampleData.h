#pragma once
// A form filled with sample data: every data-field label shows a value of its field's
// type at the field's full length, every user prompt its default, and the labels whose
// sample runs past their width are listed. It answers the form author's question before
// printing: does the longest name fit?
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "canvas/CanvasModel.h"

// What the sample of a field looks like.
struct SampleFieldType {
    enum class Kind { Text, Date, Amount, Number };
    Kind kind = Kind::Text;
    int length = 20;  // characters of a text or digits of a number or amount
    int decimals = 2;
};

// The type of a catalogue field ("CHAR(30)", "DATE", "DECIMAL(10,2)" ...). Without a
// catalogue type (the empty text) the field's name decides: dates and amounts by their
// usual names, text of 20 characters otherwise.
SampleFieldType SampleTypeOf(const std::string& catalogueType, const std::string& fieldName);
// The widest value of the type: text of its length (the field's name repeated), a date,
// an amount or a number of all nines.
std::string SampleValue(const SampleFieldType& type, const std::string& fieldName);

// "TABLE.FIELD" of a data-field label's caption ("~NAME", "~$$FN(NAME)", "~NAME?3"),
// from the form's field list when the name is a code; empty when it names none.
std::string SampleFieldName(const FormModel& model, std::string_view caption);

struct SampleOverflow {
    int label = -1;
    std::string field;     // what the label shows: "TABLE.FIELD", or a prompt's key
    double needed = 0;     // inches the sample takes
    double available = 0;  // inches the label (or the page, for an auto-size label) leaves
};

// Fills the labels of canvas (a copy of the form made for the preview: its captions are
// replaced) and returns the labels whose sample does not fit, by label index. typeOf
// gives the catalogue type of "TABLE.FIELD" (empty when unknown).
std::vector<SampleOverflow> FillWithSampleData(
    CanvasModel& canvas, const FormModel& model, const TextMetrics& metrics,
    const std::function<std::string(const std::string& field)>& typeOf);

// The form of a layout text read anew and filled with samples, its overflowing labels
// on a red ground: what the preview draws, apart from the form being edited.
struct SamplePreview {
    FormModel model;
    std::unique_ptr<CanvasModel> canvas;
    std::vector<SampleOverflow> overflows;
};
std::unique_ptr<SamplePreview> MakeSamplePreview(
    const std::string& layoutText, const TextMetrics& metrics, const std::string& imagesFolder,
    const std::function<std::string(const std::string& field)>& typeOf);
// Gives the overflowing labels a red ground, so every drawing of the page shows them.
void MarkOverflows(CanvasModel& canvas, const std::vector<SampleOverflow>& overflows);
// One line each: "page 1: PATIENT.LAST_NAME needs 2.41 in, has 1.50 in".
std::string OverflowReport(const CanvasModel& canvas, const std::vector<SampleOverflow>& overflows);
