#pragma once
// A layout read into the canvas model without a window, for reader and writer tests.
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
};
using LoadedLayout = BasicLoadedLayout<>;

// The whole file, or empty text when it cannot be read.
inline std::string Slurp(const std::string& path) {
    std::string bytes, error;
    files::ReadWholeFile(path, bytes, error);
    return bytes;
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

inline Rect Place(const LabelControl& l) {
    return {l.left, l.top, l.width, l.height};
}
inline void PrintTo(const Rect& r, std::ostream* os) {
    *os << "{" << r.left << ", " << r.top << ", " << r.width << ", " << r.height << "}";
}
