#pragma once
// A layout read into the canvas model without a window, for reader and writer tests.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <ostream>
#include <string>

#include "canvas/CanvasModel.h"
#include "layout/ItemTypes.h"
#include "layout/LayoutReader.h"
#include "layout/LayoutWriter.h"
#include "shell/AtomicFile.h"
#include "shell/RecordingUserInterface.h"
#include "shell/TextUtils.h"

// The canvas model may be a test's own kind, to watch what the reader asks of it.
template <class Store = CanvasModel>
struct BasicLoadedLayout {
    FixedTextMetrics metrics;
    FormModel model;
    Store store{model, metrics};
    RecordingUserInterface ui;
    LayoutReader reader{model, store, metrics, ui};

    bool Read(const std::string& text) { return reader.BuildForm(text); }
    std::string Write() { return LayoutWriter(model, store, ui).ReassembleData(); }
    // A label of the given caption on the first page.
    int AddLabel(const std::string& caption, bool visible = true) {
        int i = store.LoadOneLabel(0);
        store.Label(i).caption = caption;
        store.Label(i).visible = visible;
        return i;
    }
    int FindLabel(const std::string& caption) const {
        for (int i = 1; i < store.LabelCount(); ++i)
            if (auto* l = store.LabelAt(i); l && l->caption == caption) return i;
        return -1;
    }
    // The label of this caption and its item (a failure, and the template's, when none has it).
    int Found(const std::string& caption) const {
        const int i = FindLabel(caption);
        EXPECT_NE(i, -1) << "no label " << caption;
        return std::max(i, 0);
    }
    const LabelControl& LabelOf(const std::string& caption) const {
        return *store.LabelAt(Found(caption));
    }
    FormItem& ItemOf(const std::string& caption) { return model.Item(Found(caption)); }
};
using LoadedLayout = BasicLoadedLayout<>;

// The whole file, or empty text when it cannot be read.
inline std::string Slurp(const std::string& path) {
    std::string bytes, error;
    files::ReadWholeFile(path, bytes, error);
    return bytes;
}

// Writes the file whole, as the program writes one; a failure fails the test.
inline void WriteTestFile(const std::string& path, const std::string& bytes) {
    std::string error;
    EXPECT_TRUE(files::AtomicWriteFile(path, bytes, error)) << path << ": " << error;
}

inline std::string TestDataFile(const std::string& name) {
    const char* dir = std::getenv("FD_TEST_DATA");
    return Slurp(std::string(dir ? dir : "tests/data") + "/" + name);
}

// A header with the given extra lines, then the given page blocks.
inline std::string MakeLayout(const std::string& headerLines, const std::string& pages) {
    return "<HEADER>\r\nPage:\t8.5\t11\r\n" + headerLines + "</HEADER>\r\n" + pages;
}

inline std::string ItemLine(const std::string& caption,
                            const std::string& rest = "1\t1\tArial\t8\tN\tN\tL\t1\tN\t\t\t") {
    return caption + "\t" + rest;
}

// "title: text" of the one message shown, or how many there were.
inline std::string OnlyMessage(const RecordingUserInterface& ui) {
    auto m = ui.Messages();
    if (m.size() != 1) return std::to_string(m.size()) + " messages";
    return m[0].title + ": " + m[0].text;
}

// A shown label at this place, made as the designer makes one.
inline int PlaceLabel(CanvasModel& canvas, double left, double top, double width = 1,
                      const std::string& caption = "Text", int page = 0, double height = 0.17) {
    int i = canvas.LoadOneLabel(page);
    canvas.Label(i) = {.caption = caption,
                       .left = left,
                       .top = top,
                       .width = width,
                       .height = height,
                       .page = page};
    return i;
}

// The names the save dialog gives a form.
inline void NameForm(FormSettings& s, const std::string& code, const std::string& name,
                     const std::string& type, const std::string& documentType) {
    s.formCode = code, s.formName = name, s.formType = type, s.formDocumentType = documentType;
}

inline Rect Place(const LabelControl& l) {
    return {l.left, l.top, l.width, l.height};
}
inline void PrintTo(const Rect& r, std::ostream* os) {
    *os << "{" << r.left << ", " << r.top << ", " << r.width << ", " << r.height << "}";
}
