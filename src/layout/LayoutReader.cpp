#include "layout/LayoutReader.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <exception>
#include <new>

#include "layout/ItemFields.h"
#include "layout/ItemTypes.h"
#include "layout/LabelGeometry.h"
#include "shell/AtomicFile.h"
#include "shell/Cp1252.h"
#include "shell/TextUtils.h"

namespace {

constexpr char kCrLf[] = "\r\n";
const std::string kHeaderStart = "<HEADER>";
const std::string kHeaderEnd = "</HEADER>";
constexpr std::string_view kPageStart = "<PAGE>", kPageEnd = "</PAGE>";

std::string Field(const std::vector<std::string>& f, size_t i) {
    return i < f.size() ? f[i] : std::string();
}

bool IsYes(const std::string& v) {
    return text::EqualsNoCase(v, "yes");
}

// An item line's flag, exactly "Y": compared in place (a comparison with a literal was a
// library call for each of three flags on every line).
bool IsFlagSet(std::string_view field) {
    return field.size() == 1 && field[0] == 'Y';
}

// Page number (from 1) of a definition line; a line too short to hold it is page 1.
long long DefinitionPage(const std::string& line, size_t pageField) {
    auto f = text::Split(line, "\t");
    if (f.size() <= pageField) return 1;
    double v = text::Val(f[pageField]);
    if (!(std::fabs(v) < 1e9)) return 0;
    return std::llround(v);
}

void ReportFailure(UserInterface& ui, const std::string& label, int number,
                   const std::string& description) {
    ReportError(ui, label, std::to_string(number) + " " + description);
}

// Runs one reading step within a read of the sink; any failure is reported once under
// label and reads as false.
template <class Body>
bool Guarded(UserInterface& ui, ControlSink& sink, const char* label, Body&& body) {
    struct Reading {
        ControlSink& sink;
        explicit Reading(ControlSink& s) : sink(s) { sink.BeginRead(); }
        ~Reading() { sink.EndRead(); }
    } reading(sink);
    try {
        return body();
    } catch (const LayoutValueError& e) {
        ReportFailure(ui, label, e.number, e.description);
    } catch (const std::bad_alloc&) {
        ReportFailure(ui, label, 7, "Out of memory");
    } catch (const std::exception& e) {
        ReportFailure(ui, label, 5, e.what());
    }
    return false;
}

}  // namespace

bool ParsePromptDefinition(std::string_view definition, FormItem& r) {
    // Nine parts are read; a longer definition keeps only its count.
    std::array<std::string_view, 9> parts;
    const size_t count = text::FirstPieces(definition, '@', parts);
    if (count < 3) return false;
    r.itemKind = ItemKind::UserPrompt;
    PromptParts& p = r.Prompt();
    if (count == 3) {
        p.promptKey = parts[0];
        p.dataEntryType = parts[1];
        p.lookupKey = parts[2];
        r.definitionRead = true;
        return true;
    }
    std::string_view type = parts[2].empty() ? "TEXT" : parts[2];
    std::string_view caption = parts[1].empty() ? "User Prompt..." : parts[1];
    if ((type == "LOOKUP" || type == "LOOKUP_DESCRIPTION") && parts[3].empty()) type = "TEXT";
    p.promptKey = parts[0];
    p.promptCaption = caption;
    p.dataEntryType = type;
    p.lookupKey = parts[3];
    r.required = count > 4 ? LayoutBoolean(parts[4]) : false;
    if (count >= 8) {
        p.defaultValue = parts[6];
        p.selectionField = parts[7];
        p.dataGridReference = count > 8 ? parts[8] : std::string_view();
        p.promptNumber = int(LayoutInteger(parts[5], INT32_MIN, INT32_MAX));
    } else {
        p.promptNumber = count > 5 ? int(LayoutInteger(parts[5], INT32_MIN, INT32_MAX)) : 0;
        p.defaultValue.clear();
        p.selectionField.clear();
        p.dataGridReference.clear();
    }
    r.definitionRead = true;
    return true;
}

LayoutReader::LayoutReader(FormModel& model, ControlSink& canvas, const TextMetrics& metrics,
                           UserInterface& ui)
    : model_(model), canvas_(canvas), metrics_(metrics), ui_(ui) {}

bool LayoutReader::BuildForm(const std::string& layoutText, int boxOption) {
    return Guarded(ui_, canvas_, "ERR in modSave.BuildForm   ", [&]() -> bool {
        if (model_.currentPage != 0) {
            model_.currentPage = 0;
            canvas_.ShowPage(0);
        }
        if (model_.settings.multipageMode) return LoadForm(layoutText, boxOption);
        return LoadSinglePageForm(layoutText);
    });
}

void LayoutReader::ReadPageLine(const std::vector<std::string>& f) {
    FormSettings& s = model_.settings;
    if (f.size() < 3) {
        ui_.Message("page size - wrong format", "Load Layout", MessageIcon::Warning);
        s.pageWidth = 8.5;
        s.pageHeight = 11;
    } else {
        s.pageWidth = ReadInches(f[1]);
        s.pageHeight = ReadInches(f[2]);
    }
}

void LayoutReader::FinishRead() {
    canvas_.UpdateCaption();
    canvas_.LoadDBFieldsMenuItems();
    model_.currentPage = 0;
    canvas_.UpdatePageNumberSetting(0, model_.settings.numberOfPages);
    canvas_.ShowPage(0);
}

void LayoutReader::PlaceDefinitions(const Definitions& d, int page, int boxOption) {
    const long long number = page + 1;
    for (const auto& line : d.backgroundImages) {
        if (line.empty() || DefinitionPage(line, 3) != number) continue;
        if (canvas_.LoadBackgroundImage(line, page)) break;
    }
    for (const auto& line : d.images)
        if (!line.empty() && DefinitionPage(line, 7) == number) canvas_.LoadImage(line, page);
    for (const auto& line : d.hotspots)
        if (!line.empty() && DefinitionPage(line, 5) == number) canvas_.LoadHotspot(line, page);
    for (const auto& line : d.signatureBoxes)
        if (!line.empty() && DefinitionPage(line, 5) == number)
            canvas_.LoadSignatureBox(line, page);
    for (const auto& line : d.boxes)
        if (!line.empty() && DefinitionPage(line, 5) == number)
            canvas_.LoadBox(line, page, boxOption);
}

namespace {

// A page's text without its "</PAGE>" markers (ends: where each begins): views into the
// layout where each marker ends a line, as a written layout always has it; a copy only
// where one sits inside a line.
std::vector<std::string_view> WithoutPageEnds(std::string_view piece,
                                              const std::vector<size_t>& ends, std::string& spare) {
    std::vector<std::string_view> parts;
    size_t from = 0;
    for (size_t at : ends) {
        const std::string_view part = piece.substr(from, at - from);
        if (!part.empty() && !text::EndsWith(part, kCrLf)) {
            spare = text::ReplaceAll(piece, kPageEnd, "");
            return {spare};
        }
        parts.push_back(part);
        from = at + kPageEnd.size();
    }
    if (from < piece.size()) parts.push_back(piece.substr(from));
    return parts;
}

}  // namespace

bool SplitAtHeader(std::string_view layout, std::string_view& header, std::string_view& rest) {
    size_t hs = layout.find(kHeaderStart);
    size_t he = layout.find(kHeaderEnd);
    if (hs == std::string::npos || he == std::string::npos || he < hs + kHeaderStart.size())
        return false;
    header = layout.substr(hs + kHeaderStart.size(), he - hs - kHeaderStart.size());
    rest = layout.substr(he + kHeaderEnd.size());
    return true;
}

std::vector<size_t> PageEndsIn(std::string_view piece) {
    std::vector<size_t> ends;
    for (size_t at = piece.find(kPageEnd); at != piece.npos;
         at = piece.find(kPageEnd, at + kPageEnd.size()))
        ends.push_back(at);
    return ends;
}

LayoutPageTexts::LayoutPageTexts(std::string_view afterHeader) {
    if (text::StartsWith(afterHeader, kCrLf)) afterHeader.remove_prefix(2);
    if (text::StartsWith(afterHeader, kPageStart)) afterHeader.remove_prefix(kPageStart.size());
    if (afterHeader.empty()) return;
    // The count of line feeds bounds the items of every page at once (a CR LF holds one).
    // Neither marker holds a "<" past its first byte, so every "<" is looked at once.
    std::vector<size_t> marks;
    lineEnds_ = text::CountByteNoting(afterHeader, '\n', '<', marks);
    size_t start = 0;
    pageEnds_.emplace_back();
    for (size_t at : marks) {
        const std::string_view rest = afterHeader.substr(at);
        if (rest.starts_with(kPageStart)) {
            pieces_.push_back(afterHeader.substr(start, at - start));
            start = at + kPageStart.size();
            pageEnds_.emplace_back();
        } else if (rest.starts_with(kPageEnd)) {
            pageEnds_.back().push_back(at - start);
        }
    }
    pieces_.push_back(afterHeader.substr(start));
}

bool LayoutPageTexts::Next(std::string_view& piece, std::vector<size_t>& pageEnds) {
    if (next_ >= pieces_.size()) return false;
    pageEnds.swap(pageEnds_[next_]);
    piece = pieces_[next_++];
    return true;
}

bool LayoutReader::LoadForm(const std::string& layoutText, int boxOption) {
    model_.linkedData.clear();
    if (layoutText.empty()) return false;
    std::string_view header, pagesText;
    const bool found = SplitAtHeader(layoutText, header, pagesText);
    LayoutPageTexts pages(pagesText);
    return LoadForm(found ? &header : nullptr, pages, boxOption);
}

bool LayoutReader::BuildForm(std::string_view header, LayoutPages& pages, int boxOption) {
    return Guarded(ui_, canvas_, "ERR in modSave.BuildForm   ", [&]() -> bool {
        if (model_.currentPage != 0) {
            model_.currentPage = 0;
            canvas_.ShowPage(0);
        }
        model_.linkedData.clear();
        return LoadForm(&header, pages, boxOption);
    });
}

bool LayoutReader::LoadForm(const std::string_view* headerText, LayoutPages& pages, int boxOption) {
    FormSettings& s = model_.settings;
    return Guarded(ui_, canvas_, "ERR in modLoadForm.LoadForm   ", [&]() -> bool {
        s.Reset();
        if (!headerText) {
            ui_.Message("HEADER is missing from this file.", "Open Layout", MessageIcon::Warning);
            return false;
        }
        const std::string_view header = *headerText;
        auto headerLines = text::Split(text::ReplaceAll(header, kCrLf, "\r"), "\r");

        canvas_.UnloadAllLabels();
        canvas_.UnloadAllImages();
        s.horizontalShift = s.verticalShift = 0.02;
        s.posting = s.singleRecord = s.openLast = false;

        Definitions defs;
        for (auto* list : {&defs.backgroundImages, &defs.images, &defs.hotspots,
                           &defs.signatureBoxes, &defs.boxes})
            list->push_back({});
        auto collect = [](std::vector<std::string>& list, const std::string& line) {
            if (list.size() == 1 && list[0].empty())
                list[0] = line;
            else
                list.push_back(line);
        };

        for (const auto& line : headerLines) {
            if (line.empty()) continue;
            auto f = text::Split(line, "\t");
            const std::string key = text::ToLower(f[0]);
            const std::string v1 = Field(f, 1);
            const bool definition = line.find('\t') != std::string::npos;
            if (key == "timestamp:") {
                s.timeStamp = v1;
            } else if (key == "page:") {
                ReadPageLine(f);
            } else if (key == "shift:") {
                if (f.size() < 3) {
                    s.horizontalShift = s.verticalShift = 0.02;
                } else {
                    s.SetHorizontalShift(ReadInches(f[1]));
                    s.SetVerticalShift(ReadInches(f[2]));
                }
            } else if (key == "background_image:") {
                if (!definition) continue;
                // A picture name never spans lines.
                f[1] = text::ReplaceAll(text::ReplaceAll(Field(f, 1), "\r", ""), "\n", "");
                collect(defs.backgroundImages, text::Join(f, "\t"));
            } else if (key == "image:") {
                if (definition) collect(defs.images, line);
            } else if (key == "hotspot:") {
                if (!definition) continue;
                collect(defs.hotspots, line);
                s.interactive = true;
            } else if (key == "signature_box:") {
                if (!definition) continue;
                collect(defs.signatureBoxes, line);
                s.interactive = true;
            } else if (key == "box:") {
                if (definition) collect(defs.boxes, line);
            } else if (key == "data_entry_form:") {
                s.dataEntryForm = IsYes(v1);
            } else if (key == "interactive:") {
                s.interactive = IsYes(v1);
            } else if (key == "signpad:") {
                s.signpad = IsYes(v1);
            } else if (key == "isstatement:") {
                s.statement = IsYes(v1);
            } else if (key == "saveimage:") {
                s.saveImage = IsYes(v1);
            } else if (key == "grid_tag:") {
                s.gridTags.push_back(line);
            } else if (key == "data_grid:") {
                s.dataGrid = IsYes(v1);
            } else if (key == "posting:") {
                s.posting = !text::EqualsNoCase(v1, "no");
            } else if (key == "single_record:") {
                s.singleRecord = !text::EqualsNoCase(v1, "no");
            } else if (key == "open_last:") {
                s.openLast = IsYes(v1);
            } else if (key == "orientation:") {
                s.landscape = v1 == "2";
            } else if (key == "number_of_pages:") {
                s.SetNumberOfPages(LayoutPageCount(v1));
            } else if (key == "form_document_type:") {
                s.formDocumentType = v1;
            } else if (key == "lookupdg:") {
                if (IsYes(v1)) s.lookupDiagnoses = true;
            } else if (key == "lookuppc:") {
                if (IsYes(v1)) s.lookupProcedures = true;
            } else if (key == "obgyn:") {
                if (IsYes(v1)) s.obstetrics = true;
            } else if (key == "printing_selection:") {
                std::vector<std::string> values(f.begin() + 1, f.end());
                std::string joined = text::Join(values, "\t");
                if (!joined.empty() && joined.back() == '\t') joined.pop_back();
                s.printingSelection = joined;
            }
        }

        s.ApplyInteractiveRule();
        canvas_.UpdateInteractive(s.interactive);
        canvas_.UpdateDataGridRecalc(s.dataGrid);

        model_.items.clear();
        model_.prompts.clear();
        model_.databaseFields.clear();
        model_.InvalidateFieldIndex();
        model_.staticListsUsed.clear();
        model_.gridItems.clear();

        // Room for every item of every page at once.
        model_.items.reserve(model_.items.size() + pages.LineEnds() + 1);
        const size_t pieces = pages.Count();
        if ((long long)pieces != s.numberOfPages)
            s.SetNumberOfPages(std::max<long long>(s.numberOfPages, (long long)pieces));

        canvas_.SetPage(s.pageWidth, s.pageHeight);
        for (int i = 0; i < s.numberOfPages; ++i) {
            std::string spare;
            std::vector<std::string_view> parts;
            std::string_view piece;
            std::vector<size_t> ends;
            if (size_t(i) < pieces && pages.Next(piece, ends))
                parts = WithoutPageEnds(piece, ends, spare);
            canvas_.LoadPageContainer(i);
            PlaceDefinitions(defs, i, boxOption);
            if (!LoadPageParts(parts, i)) return false;
            if (pageRead_ && !pageRead_(i)) return false;
        }

        FinishRead();
        return true;
    });
}

bool LayoutReader::LoadSinglePageForm(const std::string& layoutText) {
    model_.linkedData.clear();
    if (layoutText.empty()) return false;
    FormSettings& s = model_.settings;
    return Guarded(ui_, canvas_, "ERR in modLoadForm.LoadForm   ", [&]() -> bool {
        s.Reset();
        std::string_view header, pagesText;
        if (!SplitAtHeader(layoutText, header, pagesText)) {
            ui_.Message("HEADER is missing from this file.", "Open Layout", MessageIcon::Warning);
            return false;
        }
        canvas_.UnloadAllLabels();
        canvas_.UnloadAllImages();
        std::vector<std::string> backgrounds, images;
        for (const auto& line : text::Split(text::ReplaceAll(header, kCrLf, "\r"), "\r")) {
            if (line.empty()) continue;
            auto f = text::Split(line, "\t");
            const std::string key = text::ToLower(f[0]);
            const bool definition = f.size() > 1;
            if (key == "timestamp:") {
                s.timeStamp = Field(f, 1);
            } else if (key == "page:") {
                ReadPageLine(f);
            } else if (key == "shift:") {
                if (f.size() >= 3) {
                    s.SetHorizontalShift(ReadInches(f[1]));
                    s.SetVerticalShift(ReadInches(f[2]));
                }
            } else if (key == "background_image:" && definition) {
                f[1] = text::ReplaceAll(text::ReplaceAll(f[1], "\r", ""), "\n", "");
                backgrounds.push_back(text::Join(f, "\t"));
            } else if (key == "image:" && definition) {
                images.push_back(line);
            } else if (key == "data_entry_form:") {
                s.dataEntryForm = IsYes(Field(f, 1));
            } else if (key == "number_of_pages:") {
                s.SetNumberOfPages(LayoutPageCount(Field(f, 1)));
            }
        }
        model_.items.clear();
        model_.prompts.clear();
        model_.databaseFields.clear();
        model_.InvalidateFieldIndex();
        model_.staticListsUsed.clear();
        canvas_.SetPage(s.pageWidth, s.pageHeight);
        canvas_.LoadPageContainer(0);
        for (const auto& line : backgrounds)
            if (canvas_.LoadBackgroundImage(line, 0)) break;
        for (const auto& line : images) canvas_.LoadImage(line, 0);
        if (!LoadOnePage(pagesText, 0)) return false;
        FinishRead();
        return true;
    });
}

bool LayoutReader::LoadOnePage(std::string_view pageText, int page) {
    return LoadPageParts({pageText}, page);
}

bool LayoutReader::LoadPageParts(const std::vector<std::string_view>& parts, int page) {
    // The item records grow geometrically as labels are added (an exact reserve on every
    // page would copy every item read so far once per page).
    return Guarded(ui_, canvas_, "ERR in modLoadForm.LoadOnePage   ", [&]() -> bool {
        lastFont_.exists = false;
        for (std::string_view part : parts) {
            // Each line is split into its fields as its end is looked for.
            while (!part.empty()) {
                std::string_view line;
                const ItemFields f(part, line);
                if (!line.empty() && !LoadOneLine(line, f, page)) return false;
                part.remove_prefix(std::min(part.size(), line.size() + 2));
            }
        }
        return true;
    });
}

bool LayoutReader::ReadUserPromptCaption(std::string_view caption, FormItem& record,
                                         LabelControl& label) {
    if (!ParsePromptDefinition(caption, record)) {
        ui_.Message("Wrong format for DATA_ENTRY field", "Load Layout file", MessageIcon::Warning);
        return false;
    }
    const std::string_view type = record.dataEntryType();
    const bool fixedWidth = IsFixedWidthPromptType(type);
    if (fixedWidth) {
        label.autoSize = false;
        SetLabelWidth(label, 1, WidthAnchor::LeftEdge);
    }
    InlineText& shown = label.caption;
    shown.assign(record.promptKey());
    shown += ' ';
    shown += DataEntryTypeName(type);
    return fixedWidth;
}

bool LayoutReader::LoadOneLine(std::string_view line, const ItemFields& f, int page) {
    using F = ItemField;
    if (f.ElementCount() == 1) {
        if (IsUserPromptsLabel(line) && text::CountOf(line, "@") > 6) {
            FormItem def;
            if (ParsePromptDefinition(line, def)) model_.prompts.push_back(def);
        }
        return true;
    }
    if (f.ElementCount() < kMinItemLineElements) return true;

    std::string_view caption = f[F::Caption];
    const bool barcode = !caption.empty() && caption[0] == cp1252::kBarcodeMark;
    if (barcode) caption.remove_prefix(1);
    const int index = barcode ? canvas_.LoadOneLabelForBarcode(page) : canvas_.LoadOneLabel(page);
    FormSettings& s = model_.settings;
    if (!caption.empty() && caption[0] == cp1252::kGridCellMark && !s.dataGrid) {
        s.dataGrid = true;
        canvas_.UpdateDataGridRecalc(true);
    }
    LabelControl& label = canvas_.Label(index);
    // A text block carries its height in the caption; a block written before it had
    // one gets the label's height now.
    bool textBlock = caption.starts_with("%T@");
    std::string grown;
    if (textBlock && text::CountOf(caption, "@") == 2) {
        grown = std::string(caption) + "@" + NumberText(label.height) + "@1";
        caption = grown;
    }

    // A new index comes with a fresh record; only a reused one is cleared.
    const bool fresh = index >= 0 && size_t(index) >= model_.items.size();
    FormItem& record = model_.Item(index);
    if (!fresh) record = FormItem{};
    const bool oldForm = f.ElementCount() == kOldItemLineElements;

    // Fields Caption to Italic are there in every item line.
    bool fixedWidthPrompt = false;
    if (IsUserPromptsLabel(caption)) {
        record.itemKind = ItemKind::UserPrompt;
        fixedWidthPrompt = ReadUserPromptCaption(caption, record, label);
    } else if (IsDataBoundLabel(caption)) {
        record.itemKind = ItemKind::DatabaseField;
        const std::string_view bound = caption.substr(1);
        const size_t at = bound.find('@');
        const std::string_view name = bound.substr(0, at);
        label.caption.assign(1, '~').append(name);
        model_.AddDatabaseField(name, at == bound.npos ? std::string_view() : bound.substr(at + 1));
    } else if (!caption.empty() && caption[0] == cp1252::kBarcodeMark) {
        record.barcodeMark = true;
    } else {
        record.itemKind = ItemKind::StaticText;
        label.caption = caption;
    }
    label.left = ReadInches(f[F::Left]);
    label.top = ReadInches(f[F::Top]);
    const std::string_view fontName = f[F::FontName];
    if (!lastFont_.exists || fontName != lastFont_.field) {
        lastFont_.field.assign(fontName);
        lastFont_.exists = metrics_.FontExists(lastFont_.field);
        if (lastFont_.exists) lastFont_.name = lastFont_.field;
    }
    // A font that is not there is reported for every label that names it.
    if (lastFont_.exists)
        label.fontName = lastFont_.name;
    else
        SetLabelFont(ui_, metrics_, label, lastFont_.field, defaultFont_);
    {
        const std::string_view v = f[F::FontSize];
        double size;
        if (!text::PlainDecimal(v, size)) size = text::Val(v);
        if (size > 0 && size <= 2000) label.fontSize = size;
        const char c = v.empty() ? 0 : v.back();
        const bool caseLetter = c == 'U' || c == 'L' || c == 'W';
        // Most labels have no text case and nothing else in their spare text to keep.
        if (caseLetter || !label.spare.empty())
            label.SetCaseLetter(caseLetter ? std::string(1, c) : "");
    }
    label.bold = IsFlagSet(f[F::Bold]);
    label.italic = IsFlagSet(f[F::Italic]);

    bool alignmentKnown = true;
    if (f.Has(F::Alignment)) {
        const std::string_view v = f[F::Alignment];
        std::array<std::string_view, 3> parts;
        const size_t count = text::FirstPieces(v, '-', parts);
        if (count > 1 && text::Val(parts[1]) > 0 && text::Val(parts[1]) < 1e9) {
            long long row = (long long)text::Val(parts[1]);
            long long col = count > 2 && std::fabs(text::Val(parts[2])) < 1e9
                                ? (long long)text::Val(parts[2])
                                : 0;
            label.SetCellPlace(row, col);
        }
        char c = v.empty() ? 0 : v[0];
        if (c == 'L') {
            label.alignment = LabelAlignment::Left;
        } else if (c == 'R') {
            label.alignment = LabelAlignment::Right;
            label.left = ReadInches(f[F::Left]) - label.width;
        } else if (c == 'C') {
            label.alignment = LabelAlignment::Centre;
        } else {
            alignmentKnown = false;
        }
    }
    const bool widthApplies = record.itemKind == ItemKind::UserPrompt ? fixedWidthPrompt : !oldForm;
    if (f.Has(F::Width) && widthApplies) {
        if (!alignmentKnown) {
            ui_.Message("label alignment not defined", "Left/Right aligned", MessageIcon::Warning);
        } else {
            double width = std::max(0.0, ReadInches(f[F::Width]));
            // The brief auto-size gives the label the height of one line in its
            // own font; only the width is then fixed.
            label.height = LabelLineHeight(label, metrics_);
            SetLabelWidth(label, width);
            label.autoSize = false;
        }
    }
    if (f.Has(F::AutoSize) && !oldForm) {
        label.autoSize = IsFlagSet(f[F::AutoSize]);
        // Auto-size while reading grows from the left edge, whatever the alignment:
        // only a written width keeps a right edge.
        if (label.autoSize) FitLabelToCaption(label, metrics_, WidthAnchor::LeftEdge);
    }
    // Both are empty but on barcodes and text blocks, and a fresh record holds 0 for them.
    if (f.Has(F::BarcodeWidth) && !f[F::BarcodeWidth].empty())
        record.barcodeWidth = ReadInches(f[F::BarcodeWidth]);
    if (f.Has(F::BarcodeHeight) && (textBlock || !f[F::BarcodeHeight].empty())) {
        if (textBlock) {
            double h = ReadInches(text::SplitStr(label.caption, "@", 4));
            if (h == 0) h = label.height;
            record.barcodeHeight = h;
            label.height = h;
        } else {
            record.barcodeHeight = ReadInches(f[F::BarcodeHeight]);
        }
    }
    if (f.Has(F::LinkData)) {
        record.linkData = f[F::LinkData];
        model_.SetLinkedData(index, std::string(f[F::LinkData]));
    }
    if (oldForm) {
        label.autoSize = true;
        FitLabelToCaption(label, metrics_, WidthAnchor::LeftEdge);
    }
    label.visible = true;
    label.enabled = true;
    label.toolTip = LabelTip::ItemDescription;
    if (barcode) canvas_.LoadBarcode(index);
    return true;
}
