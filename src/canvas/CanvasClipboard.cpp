#include "canvas/CanvasClipboard.h"

#include <algorithm>

#include "canvas/PageGeometry.h"
#include "layout/LayoutReader.h"
#include "layout/LayoutWriter.h"
#include "shell/NullUserInterface.h"

namespace clipboard {

namespace {

// What travels: labels by label index, barcodes by their label, the others by record.
struct Items {
    std::vector<int> labels, barcodes, images, hotspots, signatureBoxes, boxes;
    int Count() const {
        return int(labels.size() + barcodes.size() + images.size() + hotspots.size() +
                   signatureBoxes.size() + boxes.size());
    }
};

template <class Records>
std::vector<int> Live(const Records& records, bool markedOnly) {
    std::vector<int> out;
    for (size_t i = 0; i < records.size(); ++i)
        if (records[i].active && (!markedOnly || records[i].marked)) out.push_back(int(i));
    return out;
}

// Pictures and shapes marked (or all live ones), barcodes by their label.
Items Records(const CanvasModel& canvas, bool markedOnly) {
    Items items;
    items.images = Live(canvas.Images(), markedOnly);
    items.hotspots = Live(canvas.Hotspots(), markedOnly);
    items.signatureBoxes = Live(canvas.SignatureBoxes(), markedOnly);
    items.boxes = Live(canvas.Boxes(), markedOnly);
    for (int b : Live(canvas.Barcodes(), markedOnly))
        if (canvas.LabelAt(canvas.Barcodes()[size_t(b)].label))
            items.barcodes.push_back(canvas.Barcodes()[size_t(b)].label);
    return items;
}

// Each item's rectangle, for the group's corner and the page limits.
std::vector<Rect> Rects(const CanvasModel& canvas, const Items& items) {
    std::vector<Rect> out;
    for (int i : items.labels) {
        const LabelControl& c = *canvas.LabelAt(i);
        out.push_back({c.left, c.top, c.width, c.height});
    }
    for (int b : items.barcodes) out.push_back(canvas.BarcodeRect(b));
    for (int i : items.images) out.push_back(canvas.Images()[size_t(i)].r);
    for (int i : items.hotspots) out.push_back(canvas.Hotspots()[size_t(i)].r);
    for (int i : items.signatureBoxes) out.push_back(canvas.SignatureBoxes()[size_t(i)].r);
    for (int i : items.boxes) out.push_back(canvas.Boxes()[size_t(i)].r);
    return out;
}

// A label as it lands: moved, on the page, neither selected nor marked.
LabelControl Landed(const LabelControl& from, const LabelControl& placed, double dx, double dy) {
    LabelControl c = from;
    c.left += dx;
    c.top += dy;
    c.page = placed.page;
    c.bordered = false;
    if (c.Marked() || c.HasTag(LabelControl::kJustCopiedTag)) c.ClearTag();
    return c;
}

// New items on the target for the items of the source, moved by dx, dy; what was placed.
Items Transfer(const CanvasModel& from, const FormModel& fromModel, const Items& what,
               CanvasModel& to, FormModel& toModel, int page, double dx, double dy) {
    Items placed;
    auto moved = [dx, dy](Rect r) {
        r.left += dx;
        r.top += dy;
        return r;
    };
    auto item = [&](int source, int target) {
        if (const FormItem* record = fromModel.ItemAt(source)) toModel.Item(target) = *record;
    };
    for (int i : what.labels) {
        const int j = to.LoadOneLabel(page);
        to.Label(j) = Landed(*from.LabelAt(i), to.Label(j), dx, dy);
        item(i, j);
        placed.labels.push_back(j);
    }
    for (int b : what.barcodes) {
        const LabelControl& source = *from.LabelAt(b);
        const int j = to.AddBarcode(moved(from.BarcodeRect(b)), page, source.caption.str());
        to.Label(j) = Landed(source, to.Label(j), dx, dy);
        item(b, j);
        placed.barcodes.push_back(j);
    }
    for (int i : what.images) {
        const ImageRecord& im = from.Images()[size_t(i)];
        const int j = to.AddImage(moved(im.r), page, im.name, im.path);
        ImageRecord& copy = to.ImageRecords()[size_t(j)];
        copy.timeStamp = im.timeStamp;
        copy.linkedSignatureBox = im.linkedSignatureBox;
        copy.source = im.source;
        placed.images.push_back(j);
    }
    for (int i : what.hotspots) {
        const HotspotRecord& h = from.Hotspots()[size_t(i)];
        placed.hotspots.push_back(to.AddHotspot(moved(h.r), page, h.kind));
    }
    for (int i : what.signatureBoxes) {
        const SignatureBoxRecord& s = from.SignatureBoxes()[size_t(i)];
        const int j = to.AddSignatureBox(moved(s.r), page);
        to.SignatureBoxRecords()[size_t(j)].signaturePad = s.signaturePad;
        placed.signatureBoxes.push_back(j);
    }
    for (int i : what.boxes) {
        const BoxRecord b = from.Boxes()[size_t(i)];
        const int j = to.AddBox(moved(b.r), page);
        using O = CanvasModel::BoxOption;
        to.UpdateBoxShapeProps(j, O::BorderStyle, b.styleCode);
        to.UpdateBoxShapeProps(j, O::BorderWidth, b.borderWidth);
        to.UpdateBoxShapeProps(j, O::HideInPreview, b.hideInPreview);
        to.UpdateBoxShapeProps(j, O::BorderColor, b.borderColor);
        placed.boxes.push_back(j);
    }
    // A prompt label brings its definition, unless the form has one of that key.
    for (int j : placed.labels) {
        const FormItem* record = toModel.ItemAt(j);
        if (!record || record->itemKind != ItemKind::UserPrompt) continue;
        const std::string& key = record->promptKey();
        auto same = [&key](const FormItem& p) { return p.promptKey() == key; };
        if (std::any_of(toModel.prompts.begin(), toModel.prompts.end(), same)) continue;
        auto def = std::find_if(fromModel.prompts.begin(), fromModel.prompts.end(), same);
        if (def != fromModel.prompts.end()) toModel.prompts.push_back(*def);
    }
    return placed;
}

}  // namespace

std::string CopySelection(const CanvasEditor& editor, const CanvasModel& canvas,
                          const FormModel& model, const TextMetrics& metrics) {
    Items what = Records(canvas, true);
    what.labels = editor.SelectedLabels();
    if (what.Count() == 0) return {};
    // A form of its own that holds the selection alone, written as any form is.
    FormModel part;
    CanvasModel scratch(part, metrics, canvas.ImagesFolder());
    scratch.SetPage(canvas.PageWidth(), canvas.PageHeight());
    Transfer(canvas, model, what, scratch, part, 0, 0, 0);
    NullUserInterface quiet;
    return LayoutWriter(part, scratch, quiet).ReassembleData();
}

bool IsLayoutText(std::string_view text) {
    const size_t header = text.find("<HEADER>");
    return header != std::string_view::npos && header < 16 &&
           text.find("</HEADER>") != std::string_view::npos;
}

int Paste(CanvasEditor& editor, CanvasModel& canvas, FormModel& model, const TextMetrics& metrics,
          UserInterface& ui, const std::string& layoutText, int page, const Placement& where) {
    if (!IsLayoutText(layoutText)) return 0;
    // Read into a form of its own first: a text that cannot be read changes nothing.
    FormModel part;
    part.settings.multipageMode = true;
    CanvasModel scratch(part, metrics, canvas.ImagesFolder());
    if (!LayoutReader(part, scratch, metrics, ui).BuildForm(layoutText)) return 0;
    Items what = Records(scratch, false);
    for (int i = 1; i < scratch.LabelCount(); ++i) {
        const LabelControl* c = scratch.LabelAt(i);
        if (c && c->visible && !scratch.IsCompanionLabel(i) && !scratch.IsBarcodeLabel(i))
            what.labels.push_back(i);
    }
    if (what.Count() == 0) return 0;
    double left = 1e300, top = 1e300, right = -1e300, bottom = -1e300;
    for (const Rect& r : Rects(scratch, what)) {
        left = std::min(left, r.left);
        top = std::min(top, r.top);
        right = std::max(right, r.left + r.width);
        bottom = std::max(bottom, r.top + r.height);
    }
    double dx = where.atPoint ? where.x - left : where.dx;
    double dy = where.atPoint ? where.y - top : where.dy;
    // A group wider than the page keeps its corner at the page's.
    dx = std::max(dx, -left);
    dy = std::max(dy, -top);
    dx = KeepOnPage(dx, left, right, canvas.PageWidth());
    dy = KeepOnPage(dy, top, bottom, canvas.PageHeight());

    CanvasEdit edit(canvas, CanvasChange::Labels | CanvasChange::Shapes | CanvasChange::Selection);
    editor.UnselectAll();
    const Items placed = Transfer(scratch, part, what, canvas, model, page, dx, dy);
    for (int i : placed.labels) canvas.Label(i).bordered = true;
    for (int b : placed.barcodes)
        if (int r = canvas.GetBarcodeImageIndex(b); r >= 0)
            canvas.BarcodeRecords()[size_t(r)].marked = true;
    for (int i : placed.images) canvas.ImageRecords()[size_t(i)].marked = true;
    for (int i : placed.hotspots) canvas.HotspotRecords()[size_t(i)].marked = true;
    for (int i : placed.signatureBoxes) canvas.SignatureBoxRecords()[size_t(i)].marked = true;
    for (int i : placed.boxes) canvas.BoxRecords()[size_t(i)].marked = true;
    return placed.Count();
}

}  // namespace clipboard
