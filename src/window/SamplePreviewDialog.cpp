#include "window/SamplePreviewDialog.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPixmap>
#include <QScrollArea>
#include <QVBoxLayout>

#include "canvas/SampleData.h"
#include "drawing/PageExport.h"
#include "server/CatalogueTypes.h"
#include "shell/qt/QtText.h"
#include "window/DesignerProgram.h"

void ShowSamplePreview(QWidget* parent, DesignerProgram& program, const std::string& layoutText) {
    std::unique_ptr<CatalogueTypes> catalogue;
    std::function<std::string(const std::string&)> typeOf;
    if (program.Connection().Connected()) {
        catalogue = std::make_unique<CatalogueTypes>(program.Comm());
        typeOf = [&catalogue](const std::string& field) { return catalogue->TypeOf(field); };
    }
    auto preview = MakeSamplePreview(layoutText, program.Metrics(), program.ImagesFolder(), typeOf);

    QDialog dlg(parent);
    dlg.setObjectName("frmSamplePreview");
    dlg.setWindowTitle("Preview with Sample Data");
    auto* layout = new QVBoxLayout(&dlg);
    const size_t overflowing = preview->overflows.size();
    auto* summary = new QLabel(
        overflowing == 0
            ? QString("Every sample fits its label.")
            : QString("%1 label(s) too narrow for their sample, on a red ground:\n%2")
                  .arg(overflowing)
                  .arg(toUnicode(OverflowReport(*preview->canvas, preview->overflows)).trimmed()),
        &dlg);
    summary->setObjectName("lblSampleOverflow");
    summary->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(summary);

    auto* pages = new QWidget;
    auto* pageColumn = new QVBoxLayout(pages);
    PictureCache pictures;
    const double dpi = 96 * dlg.devicePixelRatioF();
    for (int page = 0; page < preview->canvas->PageCount(); ++page) {
        QImage image = RenderPage(*preview->canvas, preview->model, pictures, page, dpi);
        if (image.isNull()) continue;
        image.setDevicePixelRatio(dlg.devicePixelRatioF());
        auto* shot = new QLabel;
        shot->setPixmap(QPixmap::fromImage(image));
        shot->setFrameShape(QFrame::Box);
        pageColumn->addWidget(shot);
    }
    auto* scroll = new QScrollArea(&dlg);
    scroll->setWidget(pages);
    scroll->setAlignment(Qt::AlignHCenter);
    layout->addWidget(scroll, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, &dlg);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dlg, &QDialog::reject);
    layout->addWidget(buttons);
    dlg.resize(900, 760);
    dlg.exec();
}
