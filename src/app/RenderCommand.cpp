#include <QGuiApplication>
#include <cstdlib>
#include <iostream>

#include "Commands.h"
#include "ConsoleUserInterface.h"
#include "canvas/CanvasModel.h"
#include "drawing/PageExport.h"
#include "layout/LayoutReader.h"
#include "layout/LocalFolders.h"
#include "shell/DataFolder.h"
#include "shell/TextUtils.h"
#include "shell/qt/QtUserInterface.h"

namespace {
int Usage() {
    std::cerr << "usage: formdesigner render IN.ldt OUT.png|OUT.pdf [--page N] [--dpi D] "
                 "[--images DIR]\n";
    return 2;
}
}  // namespace

int RunRenderCommand(int argc, char** argv, const std::vector<std::string>& args) {
    std::vector<std::string> files;
    int page = 0;  // 1-based; 0 = the first for PNG, every page for PDF
    double dpi = 150;
    std::string images;
    bool imagesGiven = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if ((a == "--page" || a == "--dpi" || a == "--images") && i + 1 == args.size())
            return Usage();
        if (a == "--page") {
            long long v = 0;
            if (!text::ParseInt(args[++i], v) || v < 1 || v > 99) return Usage();
            page = int(v);
        } else if (a == "--dpi") {
            dpi = text::Val(args[++i]);
            if (!(dpi >= 10 && dpi <= 1200)) return Usage();
        } else if (a == "--images") {
            images = args[++i];
            imagesGiven = true;
        } else {
            files.push_back(a);
        }
    }
    if (files.size() != 2) return Usage();
    std::string out = files[1];
    std::string lower = text::ToLower(out);
    bool pdf = text::EndsWith(lower, ".pdf");
    if (!pdf && !text::EndsWith(lower, ".png")) return Usage();

    // Drawing needs fonts but no screen.
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);

    ConsoleUserInterface ui(std::cout);
    if (!imagesGiven) {
        std::string root = GetDataFolder();
        if (!root.empty()) images = LocalFolders(root, ui).ImagesFolder();
    }
    QtTextMetrics metrics;
    FormModel model;
    CanvasModel canvas(model, metrics, images);
    LayoutReader reader(model, canvas, metrics, ui);
    if (!OpenLayoutFile(files[0], reader, model, ui)) {
        std::cout << "failed: the layout could not be read\n";
        return 1;
    }
    int pages = canvas.PageCount();
    if (page > pages) {
        std::cerr << "formdesigner: the layout has " << pages << " page(s)\n";
        return 1;
    }
    PictureCache pictures;
    ExportResult r;
    if (pdf) {
        std::vector<int> list;
        if (page > 0)
            list.push_back(page - 1);
        else
            for (int i = 0; i < pages; ++i) list.push_back(i);
        r = ExportPagesPdf(canvas, model, pictures, list, out);
    } else {
        r = ExportPagePng(canvas, model, pictures, page > 0 ? page - 1 : 0, dpi, out);
    }
    if (!r.ok) {
        std::cerr << "formdesigner: " << r.error << "\n";
        return 1;
    }
    std::cout << "rendered " << (pdf ? "pdf" : "png") << ", pages " << pages << "\n";
    return 0;
}
