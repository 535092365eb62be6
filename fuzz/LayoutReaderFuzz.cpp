// Any bytes read as a layout: the reader must neither crash nor hang, and what it
// reads must write and read again without surprises.
#include <cstddef>
#include <cstdint>
#include <string>

#include "canvas/CanvasModel.h"
#include "layout/LayoutReader.h"
#include "layout/LayoutWriter.h"
#include "shell/RecordingUserInterface.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string layout(reinterpret_cast<const char*>(data), size);
    FixedTextMetrics metrics("Missing");
    FormModel model;
    model.settings.multipageMode = size % 2 == 0;
    CanvasModel store(model, metrics);
    RecordingUserInterface ui;
    LayoutReader reader(model, store, metrics, ui);
    if (reader.BuildForm(layout)) {
        LayoutWriter writer(model, store, ui);
        std::string written = writer.ReassembleData();
        FormModel again;
        CanvasModel store2(again, metrics);
        LayoutReader reader2(again, store2, metrics, ui);
        reader2.LoadForm(written);
    }
    PrepareLayoutData(layout);
    UpdateDataWithTimeStamp(layout, std::string("1"));
    ReportIsEmpty(layout);
    return 0;
}
