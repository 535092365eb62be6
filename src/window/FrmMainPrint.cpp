// The printing commands of the designer window; the printout itself is the canvas's.
#include <QFileInfo>
#include <QPrintPreviewDialog>
#include <QPrinter>

#include "drawing/PagePrint.h"
#include "shell/qt/QtText.h"
#include "window/FrmMain.h"

namespace {
const char* const kPdfFilter = "PDF (*.pdf)|*.pdf|All (*.*)|*.*";

std::vector<int> EveryPage(const FormModel& model) {
    std::vector<int> pages;
    for (int i = 0; i < std::max(1, model.settings.numberOfPages); ++i) pages.push_back(i);
    return pages;
}
}  // namespace

void FrmMain::PrintCurrentPage() {
    QPrinter printer(QPrinter::HighResolution);
    if (printer.outputFormat() != QPrinter::NativeFormat || printer.printerName().isEmpty()) {
        ui_.Message("No printer is set up.", "Print", MessageIcon::Warning);
        return;
    }
    PrintPage(printer, canvas_, model_, pictures_, canvas_.Window().currentPage);
}

void FrmMain::ShowPrintPreview() {
    QPrinter printer(QPrinter::HighResolution);
    SetUpPrinter(printer, canvas_, model_);
    QPrintPreviewDialog preview(&printer, this);
    preview.setObjectName("dlgPrintPreview");
    preview.setWindowTitle("Print Preview");
    connect(&preview, &QPrintPreviewDialog::paintRequested, this,
            [this](QPrinter* p) { PrintPages(*p, canvas_, model_, pictures_, EveryPage(model_)); });
    preview.exec();
}

void FrmMain::ExportPdf() {
    std::string path = ui_.SaveFileName("Export PDF", kPdfFilter, {});
    if (path.empty() || path == ".pdf") return;
    if (QFileInfo(toUnicode(path)).suffix().isEmpty()) path += ".pdf";
    ExportResult r = PrintToPdf(canvas_, model_, pictures_, path);
    if (!r.ok)
        ui_.Message("The PDF could not be written: " + r.error + ".", "Export PDF",
                    MessageIcon::Warning);
}
