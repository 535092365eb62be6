#pragma once
// The designer window's state without widgets: the indexed controls of every page,
// the shape and picture records behind them, and the window's own flags. The
// layout reader builds it through ControlSink; the writer reads it through
// LayoutSource. An index is never reused while a form is open: deleting hides a
// control and clears its record, a new control takes the highest index + 1.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "canvas/CanvasChange.h"
#include "canvas/CanvasRect.h"
#include "canvas/ItemIndex.h"
#include "canvas/StableList.h"
#include "layout/ControlSink.h"
#include "layout/FormModel.h"
#include "layout/LabelGeometry.h"

// The kinds of shape and picture items the canvas keeps records for.
enum class ShapeKind { Image, Background, Barcode, Hotspot, SignatureBox, Box, Line };

// The fields every shape or picture record has; a kind adds its own (below).
struct ShapeCommon {
    Rect r;  // inches; unused by backgrounds, lines and barcodes (their label carries it)
    bool active = false;
    bool marked = false;  // its dialog is open; deleting the selection removes it
    int page = 0;         // 0-based
    int label = 0;        // companion label index (hotspots, signature and ordinary boxes,
                          // barcodes); 0 = none
    // The same item, whether or not either is marked (a mark is the selection's).
    bool SameItem(const ShapeCommon& o) const {
        return r == o.r && active == o.active && page == o.page && label == o.label;
    }
};

// One record type for every kind: the common fields plus the kind's own. A record
// is active while its item exists; deleting clears it, and it is never reused.
template <class Own>
struct ShapeRecord : ShapeCommon, Own {
    // Deleting: geometry gone, inactive, the kind's own values back to their rest.
    void Clear() {
        r = {};
        active = marked = false;
        Own::Clear();
    }
    bool SameItem(const ShapeRecord& o) const {
        return ShapeCommon::SameItem(o) && static_cast<const Own&>(*this) == o;
    }
};

struct HotspotFields {
    static constexpr ShapeKind kKind = ShapeKind::Hotspot;
    std::string kind;  // "P", "D", "DG", "S" or another text
    void Clear() { kind = "P"; }
    bool operator==(const HotspotFields&) const = default;
};
struct SignatureBoxFields {
    static constexpr ShapeKind kKind = ShapeKind::SignatureBox;
    bool signaturePad = false;
    void Clear() {}
    bool operator==(const SignatureBoxFields&) const = default;
};
struct BoxFields {
    static constexpr ShapeKind kKind = ShapeKind::Box;
    int styleCode = 6;  // style list position 0..5; 6 = none
    int borderWidth = 1;
    int hideInPreview = 0;
    long long borderColor = 0;
    int option = 0;
    void Clear() {
        styleCode = 6;
        borderWidth = 1;
        hideInPreview = 0;
    }
    bool operator==(const BoxFields&) const = default;
};
struct ImageFields {
    static constexpr ShapeKind kKind = ShapeKind::Image;
    std::string name, path;
    std::string timeStamp;
    std::string linkedSignatureBox;  // optional field 8
    std::string source;              // "Local" for a picture placed from a file
    void Clear() {}
    bool operator==(const ImageFields&) const = default;
};
struct BackgroundFields {
    static constexpr ShapeKind kKind = ShapeKind::Background;
    std::string line;  // the fields of its definition line as read
    std::string name;
    bool placed = false;
    void Clear() {}
    bool operator==(const BackgroundFields&) const = default;
};
struct BarcodeFields {  // the picture of a barcode label: the label carries the rest
    static constexpr ShapeKind kKind = ShapeKind::Barcode;
    void Clear() {}
    bool operator==(const BarcodeFields&) const = default;
};
struct LineFields {
    static constexpr ShapeKind kKind = ShapeKind::Line;
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // inches
    std::uint32_t color = 255;              // 0xBBGGRR: red
    int width = 1;
    void Clear() {}
    bool operator==(const LineFields&) const = default;
};
using HotspotRecord = ShapeRecord<HotspotFields>;
using SignatureBoxRecord = ShapeRecord<SignatureBoxFields>;
using BoxRecord = ShapeRecord<BoxFields>;
using ImageRecord = ShapeRecord<ImageFields>;
using BackgroundRecord = ShapeRecord<BackgroundFields>;
using BarcodeRecord = ShapeRecord<BarcodeFields>;
using LineRecord = ShapeRecord<LineFields>;

// Every shape and picture record of a form, kind by kind. An undo step keeps them with
// their marks cleared: a form holds few, so a step that changes one keeps them all
// (shared with the neighbouring steps).
struct ShapeRecords {
    std::vector<ImageRecord> images;
    std::vector<BackgroundRecord> backgrounds;
    std::vector<BarcodeRecord> barcodes;
    std::vector<HotspotRecord> hotspots;
    std::vector<SignatureBoxRecord> signatures;
    std::vector<BoxRecord> boxes;
    std::vector<LineRecord> lines;

    // Calls f with each kind's list in turn.
    template <class F>
    void ForEach(F f) {
        f(images), f(backgrounds), f(barcodes), f(hotspots), f(signatures), f(boxes), f(lines);
    }
    // The same items as o, whatever either's marks.
    bool SameItems(const ShapeRecords& o) const;
};

// Label colours on the canvas, 0xBBGGRR.
namespace label_colors {
constexpr std::uint32_t kOrdinary = 0x80FFFF;
constexpr std::uint32_t kMarked = 0xFFFF64;
constexpr std::uint32_t kBarcode = 0xBDF2BD;
constexpr std::uint32_t kHotspotP = 0xC0C0FF;
constexpr std::uint32_t kHotspotD = 0xBFBE9A;
constexpr std::uint32_t kHotspotS = 0x49D5E8;
constexpr std::uint32_t kHotspotOther = 0xF6ACDF;
constexpr std::uint32_t kSignatureBox = 0xFFC0C0;
constexpr std::uint32_t kBox = 0xC0C0C0;
constexpr std::uint32_t kCompanionText = 0xFFFFFF;
constexpr std::uint32_t kGridCell = 0x87B9F5;  // RGB(245, 185, 135)
}  // namespace label_colors
// The companion label of a hotspot of this kind, as placed; kinds are compared as
// written, so "d" is not "D".
std::uint32_t HotspotLabelColor(const std::string& kind);
// ... and once the selection is cleared: "D" keeps its colour, every other kind
// takes that of "P".
std::uint32_t HotspotUnselectedLabelColor(const std::string& kind);

// A barcode picture without its own size is drawn this large (inches).
constexpr double kDefaultBarcodeWidth = 1.5, kDefaultBarcodeHeight = 0.5;

// The grid row and column a data-grid cell carries in its layout line, kept after
// the text-case letter of the spare text.
void SetGridCellPlace(LabelControl& label, int row, int column);
// A new row for a cell that carries its place; other labels are left alone.
void SetGridCellRow(LabelControl& label, int row);

// Written style from the stored code, and back.
int BoxStyleFromCode(int code);
int BoxCodeFromStyle(int style);

// Insert tools of the tool bar.
enum InsertMode {
    kInsertLabel = 0,
    kInsertImage = 1,
    kInsertGrid = 2,
    kInsertBarcode = 3,
    kInsertLine = 4,
    kInsertHotspot = 5,
    kInsertSignatureBox = 6,
    kInsertBox = 7
};

struct CanvasWindowState {
    int currentPage = 0;        // 0-based, always CurrentPageNumber - 1 after a page change
    int currentPageNumber = 1;  // from 1; 0 reads as "not set"
    int insertMode = kInsertLabel;
    bool guideLines = false;
    bool cornerPick = false, firstCorner = false, secondCorner = false;
    int lastHorizontal = 0, lastVertical = 0;  // scroll-bar values, in steps of 100 twips
    bool scrollThrottle = false;
    bool multipage = true;
    bool dataEntryForm = false;
    int gridCounter = 0;  // grids built in the open form; the next one is + 1
};

// A label as the canvas keeps it: its control and what the canvas alone knows of it.
struct CanvasLabel {
    enum class Companion : std::uint8_t { None, Hotspot, Box, Signature };
    LabelControl control;
    bool loaded = true;
    bool barcode = false;
    bool gridCell = false;
    Companion companion = Companion::None;
    bool touched = false;  // kept as it was before the edit, for the next undo step
    bool reached = false;  // in the list of labels that may be selected or tagged
    std::uint32_t backColor = label_colors::kOrdinary;
    std::uint32_t foreColor = 0;
};

struct CanvasStep;
struct LabelState;
struct FormPart;

class CanvasModel : public ControlSink, public LayoutSource {
  public:
    CanvasModel(FormModel& model, const TextMetrics& metrics, std::string imagesFolder = {});

    // ControlSink
    void UnloadAllLabels() override;
    void UnloadAllImages() override;
    // Drops the labels from index first on (never the template), with their barcode
    // records; only while a form is read, before an edit can refer to them.
    void UnloadLabelsFrom(int first);
    void SetPage(double widthInches, double heightInches) override;
    void LoadPageContainer(int page) override;
    bool LoadBackgroundImage(const std::string& line, int page) override;
    // The page (0-based) loses its background picture.
    void ClearBackground(int page);
    void LoadImage(const std::string& line, int page) override;
    void LoadHotspot(const std::string& line, int page) override;
    void LoadSignatureBox(const std::string& line, int page) override;
    void LoadBox(const std::string& line, int page, int boxOption) override;
    int LoadOneLabel(int page) override;
    int LoadOneLabelForBarcode(int page) override;
    // While a layout is read the listener hears nothing; once it is in, it hears of all
    // that changed at once, and only the labels that carry a border or a tag stay reached
    // (a listener looking at the selection on every label read costs the square of them).
    void BeginRead() override {
        if (reading_++ == 0) readFrom_ = labels_.size();
    }
    void EndRead() override;
    // Companion labels at a shape's corner, coloured by the shape's kind.
    int LoadOneLabelForHotspot(int page, const Rect& r, const std::string& kind);
    int LoadOneLabelForSignatureBox(int page, const Rect& r);
    int LoadOneLabelForBox(int page, const Rect& r);
    LabelControl& Label(int index) override;
    void LoadBarcode(int index) override;
    void UpdateInteractive(bool v) override {
        interactive_ = v;
        Changed(CanvasChange::Settings);
    }
    void UpdateDataGridRecalc(bool v) override {
        dataGrid_ = v;
        Changed(CanvasChange::Settings);
    }
    void UpdatePageNumberSetting(int currentPage, int numberOfPages) override;
    void ShowPage(int page) override;
    void UpdatePictureTimeStamp(const std::string& name, const std::string& stamp) override;

    // LayoutSource
    int LabelCount() const override { return int(labels_.size()); }
    // Final and inline: drawing a whole page calls it for every label of the form.
    const LabelControl* LabelAt(int index) const final {
        if (index < 0 || size_t(index) >= labels_.size() || !labels_[size_t(index)].loaded)
            return nullptr;
        return &labels_[size_t(index)].control;
    }
    bool IsHotspotLabel(int index) const override;
    bool IsBoxLabel(int index) const override;
    bool IsSignatureBoxLabel(int index) const override;
    std::string GetBackgroundImagesDefinitions() const override;
    std::string GetImagesDefinitions() const override;
    std::string GetHotspotShapesDefinitions() const override;
    std::string GetSignatureBoxShapesDefinitions() const override;
    std::string GetBoxShapesDefinitions() const override;
    std::string GetBarcodeWidthHeight(int index) const override;
    double PageWidth() const override { return pageWidth_; }
    double PageHeight() const override { return pageHeight_; }

    // New items placed by the insert tools; each returns its record index.
    int AddHotspot(const Rect& r, int page, const std::string& kind = "P");
    int AddSignatureBox(const Rect& r, int page);
    int AddImage(const Rect& r, int page, const std::string& name, const std::string& path);
    // A barcode picture filling r and its label at its corner; returns the label index.
    int AddBarcode(const Rect& r, int page, const std::string& data);
    void DeleteHotspot(int index);
    void DeleteSignatureBox(int index);
    void DeleteImage(int index);
    void DeleteBarcode(int labelIndex);
    std::vector<HotspotRecord>& HotspotRecords() {
        shapesTouched_ = true;
        shapesLooked_ = false;
        return shapes_.hotspots;
    }
    std::vector<SignatureBoxRecord>& SignatureBoxRecords() {
        shapesTouched_ = true;
        shapesLooked_ = false;
        return shapes_.signatures;
    }
    std::vector<BoxRecord>& BoxRecords() {
        shapesTouched_ = true;
        shapesLooked_ = false;
        return shapes_.boxes;
    }
    std::vector<ImageRecord>& ImageRecords() {
        shapesTouched_ = true;
        shapesLooked_ = false;
        return shapes_.images;
    }
    std::vector<BarcodeRecord>& BarcodeRecords() {
        shapesTouched_ = true;
        shapesLooked_ = false;
        return shapes_.barcodes;
    }
    // Companion label -> item index, -1 when the label is not one of that kind.
    int GetHotspotShapeIndex(int label) const;
    int GetSignatureBoxShapeIndex(int label) const;
    int GetBoxShapeIndex(int label) const;
    int GetBarcodeImageIndex(int label) const;
    // Moves a shape or picture with its companion label.
    void MoveHotspotShape(int index, double dx, double dy);
    void MoveSignatureBoxShape(int index, double dx, double dy);
    void MoveBoxShape(int index, double dx, double dy);
    void MoveImage(int index, double dx, double dy);
    void MoveBarcodeImage(int labelIndex, double dx, double dy);
    // Clears the "marked" tag of every image, barcode and shape.
    void ClearShapeMarks();

    // What the item dialogs store: a live item takes the geometry (inches) and the
    // kind's own values, its companion label following its corner; a deleted item
    // stays cleared.
    void UpdateHotspotShapeDetails(int index, const Rect& r, const std::string& kind);
    void UpdateSignatureBoxShapeDetails(int index, const Rect& r, bool signaturePad);
    void UpdateBoxShapeDetails(int index, const Rect& r);
    void UpdateImageDetails(int index, const Rect& r, const std::string& linkedSignatureBox);
    // The picture of a barcode label: its corner moves the label, its size is the item's.
    void UpdateBarcodeImageDetails(int labelIndex, const Rect& r);
    // One option of a box, as its dialog's group buttons change it.
    enum class BoxOption { BorderStyle, BorderWidth, HideInPreview, BorderColor };
    void UpdateBoxShapeProps(int index, BoxOption option, long long value);
    double GetBoxShapeDetailsHeight(int index) const;
    double GetBoxShapeDetailsWidth(int index) const;
    int GetBoxShapeDetailsHideInPreview(int index) const;
    long long GetBoxShapeDetailsBorderColor(int index) const;
    int GetBoxShapeLabelIndex(int index) const;  // -1 when there is no such box
    std::string GetImageSource(int index) const;
    std::string GetImageLinkedSignatureBoxNum(int index) const;
    // "width TAB height" in number text; empty when there is no such hotspot.
    std::string GetHotspotWidthHeight(int index) const;

    // Drawing order of the loaded labels, back to front; BringToFront puts one on top.
    // Built when asked for: drawing an area asks LabelsIn instead.
    const std::vector<int>& LabelOrder() const;
    void BringToFront(int index);
    // Every loaded label on top in index order, as BringToFront on each in turn would leave
    // them, in one pass: clearing the selection of a large form must not cost labels squared.
    void BringAllToFront();
    // What lies under a point of a page (inches), topmost first.
    struct Hit {
        enum Kind { None, Label, Image, Barcode, Hotspot, SignatureBox, Box } kind = None;
        int index = -1;  // label index for labels and barcodes, record index otherwise
    };
    Hit HitTest(int page, double x, double y) const;
    // The visible labels of a page whose area (with what their border adds) meets `area`,
    // back to front: what drawing that area draws.
    void LabelsIn(int page, const Rect& area, std::vector<int>& out) const;
    // Where every label lies and what changed since a page was drawn, brought up to date
    // with the labels reached for writing since it was last asked for.
    const ItemIndex& Index() const;

    // A new line on a page with both ends at (x, y); returns the line index.
    int LoadOneLine(int page, double x, double y);
    std::vector<LineRecord>& Lines() {
        shapesTouched_ = true;
        shapesLooked_ = false;
        return shapes_.lines;
    }
    const std::vector<LineRecord>& Lines() const { return shapes_.lines; }

    // What the canvas draws for a label: background and text colour (0xBBGGRR),
    // and whether it is a companion label of a shape (never written).
    std::uint32_t LabelBackColor(int index) const;
    void SetLabelBackColor(int index, std::uint32_t bgr);
    std::uint32_t LabelForeColor(int index) const;
    bool IsCompanionLabel(int index) const override;
    bool IsBarcodeLabel(int index) const;
    // A label taller than one line whose text wraps: a text block.
    bool LabelTextWraps(int index) const;
    // A cell of a grid: one built in this session, or a label that carries a cell's
    // marks from its layout line (the data-grid marker, or a grid row above 0).
    bool IsGridCellLabel(int index) const;
    void SetGridCell(int index);
    // Barcode picture of a barcode label, in inches (placed at the label's corner).
    Rect BarcodeRect(int index) const;
    // Labels of label items (visible, not companions): what a summary counts.
    int ItemLabelCount() const;
    int ShapeCount() const;
    const std::string& ImagesFolder() const { return imagesFolder_; }
    // Background picture of a page that was placed ("" when none).
    std::string BackgroundPath(int page) const;
    // Name and path of an image record; name and path of the current page's background.
    std::string CurrentImageName(int index) const;
    std::string CurrentImagePath(int index) const;
    std::string CurrentBackgroundImage() const;
    std::string CurrentBackgroundImagePath() const;

    // Hides a label (and clears the record of the item it belongs to).
    void DeleteLabel(int index);
    // A new box on a page; returns the box index.
    int AddBox(const Rect& r, int page);
    void DeleteBox(int index);

    int PageCount() const { return pages_; }
    // The size every page canvas takes, keeping the pages (the reader's SetPage
    // starts a new form with one page).
    void SetPageSize(double widthInches, double heightInches) {
        pageWidth_ = widthInches;
        pageHeight_ = heightInches;
        Changed(CanvasChange::Pages);
    }
    CanvasWindowState& Window() { return window_; }
    const CanvasWindowState& Window() const { return window_; }
    const std::vector<HotspotRecord>& Hotspots() const { return shapes_.hotspots; }
    const std::vector<SignatureBoxRecord>& SignatureBoxes() const { return shapes_.signatures; }
    const std::vector<BoxRecord>& Boxes() const { return shapes_.boxes; }
    const std::vector<ImageRecord>& Images() const { return shapes_.images; }
    const std::vector<BackgroundRecord>& Backgrounds() const { return shapes_.backgrounds; }
    const std::vector<BarcodeRecord>& Barcodes() const { return shapes_.barcodes; }
    bool Interactive() const { return interactive_; }

    // The one listener told what changed (the window repaints from it). The model's
    // mutators call Changed themselves; the editing routines that change a label
    // through Label() call it when they are done.
    void SetChangeListener(std::function<void(const CanvasChange&)> listener) {
        listener_ = std::move(listener);
    }
    void Changed(unsigned kinds, int page = -1) const {
        if (kinds & CanvasChange::Shapes) {
            shapesTouched_ = true;
            shapesLooked_ = false;
        }
        if (reading_ > 0) {
            heldPage_ = heldKinds_ == 0 || heldPage_ == page ? page : -1;
            heldKinds_ |= kinds;
            return;
        }
        if (listener_) listener_(CanvasChange{kinds, page});
    }

    // Undo steps. While steps are kept, every label an edit reaches for writing (through
    // Label(), Item() or a mutator) is kept as it was before, and the shape records and
    // the form's settings as they were at the last step; TakeStep compares those with
    // what they are now, so a step costs what the edit touched, not the form's size.
    // Reading a layout stops keeping them until StartSteps.
    void StartSteps();
    void StopSteps();
    // What changed since the last step, moved into step; false when nothing did (the
    // selection, marks and colours are no change).
    bool TakeStep(CanvasStep& step);
    bool HasUnrecordedChanges() const;
    // Puts the records of a step back as they were before it (or after it, for a redo),
    // at their own indices; unmarked. Returns the kinds of change it made.
    unsigned PutBack(const CanvasStep& step, bool after);
    // The item of a label, for writing (an edit of it is part of the next step).
    FormItem& Item(int index);
    // A label for its selection state alone (border, tag): such a change is never a step,
    // so nothing else of the label may change through it.
    LabelControl& Marks(int index) {
        if (index < 0 || size_t(index) >= labels_.size()) return labels_[0].control;
        Reach(index);
        Written(index);
        return labels_[size_t(index)].control;
    }
    // Every label that may carry a border or a tag, in index order: the companions, and
    // the labels reached for writing since the selection last let them go. The selection is looked
    // for there, so selecting costs what is selected, not the form's size.
    std::vector<int> ReachedLabels() const;
    // Drops the labels without a border or a tag from that list.
    void ForgetUnmarked();

  private:
    using Companion = CanvasLabel::Companion;
    using Entry = CanvasLabel;
    // An edit is about to change the label: its state before is kept for the step.
    void Touch(int index);
    // The label may look different once the edit is done: the index looks at it again.
    void Written(int index) {
        if (!rebuildIndex_ && index > 0) written_.push_back(index);
    }
    // A label came or went, or was brought to front: the drawing order is made again when
    // next asked for. An edit of a label's look leaves it, so a click does not cost the form.
    void Reordered() { orderKnown_ = false; }
    // Later is higher: labels brought to front above the others, which lie in index order.
    std::uint64_t DrawingRank(int index) const {
        return size_t(index) < raisedAt_.size() && raisedAt_[size_t(index)]
                   ? std::uint64_t(1) << 32 | raisedAt_[size_t(index)]
                   : std::uint64_t(index);
    }
    ItemIndex::Look LookOf(int index) const;
    std::unordered_map<std::uint64_t, ItemIndex::Look> ShapeLooks() const;
    void Reach(int index) {
        Entry& e = labels_[size_t(index)];
        if (e.reached || index == 0) return;
        e.reached = true;
        reached_.push_back(index);
    }
    LabelState StateOf(int index) const;
    bool LabelUnchanged(const LabelState& was) const;
    bool ShapesUnchanged() const;
    bool FormUnchanged() const;
    std::shared_ptr<const ShapeRecords> KeptShapes() const;
    std::shared_ptr<const FormPart> KeptForm() const;
    int NewLabel(int page, bool barcode, Companion companion);
    // The operations every record kind shares.
    template <class Own>
    int Place(std::vector<ShapeRecord<Own>>& records, ShapeRecord<Own> record);
    template <class Own>
    static ShapeRecord<Own> ReadRecord(const std::string& line, int page);
    template <class Own>
    ShapeRecord<Own> NewRecord(const Rect& r, int page) const;
    template <class Own>
    void DeleteShape(std::vector<ShapeRecord<Own>>& records, int index);
    template <class Own, class SetOwn>
    void UpdateShape(std::vector<ShapeRecord<Own>>& records, int index, const Rect& r, SetOwn own);
    template <class Records>
    void MoveShape(Records& records, int index, double dx, double dy);
    void MoveCompanionTo(int label, const Rect& r);
    int NewCompanion(int page, Companion companion, const Rect& r, const char* caption,
                     std::uint32_t backColor);
    static Rect ReadRect(const std::string& line);
    bool SafeName(const std::string& name) const;

    FormModel& model_;
    const TextMetrics& metrics_;
    std::string imagesFolder_;
    StableList<Entry> labels_;  // the reader keeps references while it adds labels
    // The drawing order: the labels brought to front, in turn, above the rest in index order.
    std::vector<int> raised_;
    std::vector<std::uint32_t> raisedAt_;  // by label: its turn in raised_, 0 when not raised
    std::uint32_t raises_ = 0;
    mutable std::vector<int> order_;  // LabelOrder, while orderKnown_
    mutable bool orderKnown_ = false;
    ShapeRecords shapes_;
    CanvasWindowState window_;
    double pageWidth_ = 8.5, pageHeight_ = 11;
    int pages_ = 1;
    bool interactive_ = false, dataGrid_ = false;
    std::function<void(const CanvasChange&)> listener_;
    // A read under way (nesting), and what it changed so far.
    int reading_ = 0;
    // The labels from here on were made by the read under way: the reader's writes do not
    // reach them (it sets neither border nor tag; a mark goes through Marks()).
    size_t readFrom_ = size_t(-1);
    mutable unsigned heldKinds_ = 0;
    mutable int heldPage_ = -1;
    // Undo steps (CanvasModelSteps.cpp).
    struct StepState;
    std::shared_ptr<StepState> steps_;  // null while none are kept
    mutable bool shapesTouched_ = false;
    std::vector<int> reached_;  // see ReachedLabels
    // The index, and the labels reached for writing since it was last brought up to date
    // (when it is rebuilt, none are listed).
    mutable ItemIndex index_;
    mutable std::vector<int> written_;
    mutable bool rebuildIndex_ = true, shapesLooked_ = false;
};

// Tells the canvas's listener once, when an edit made through Label() is done,
// however the editing routine ends.
class CanvasEdit {
  public:
    CanvasEdit(const CanvasModel& canvas, unsigned kinds, int page = -1)
        : canvas_(canvas), kinds_(kinds), page_(page) {}
    CanvasEdit(const CanvasEdit&) = delete;
    CanvasEdit& operator=(const CanvasEdit&) = delete;
    ~CanvasEdit() { canvas_.Changed(kinds_, page_); }

  private:
    const CanvasModel& canvas_;
    unsigned kinds_;
    int page_;
};
