#include "dialogs/qt/FrmItemProps.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "dialogs/qt/FieldBehaviour.h"
#include "shell/qt/QtText.h"

namespace {

using Step = ItemPropsLogic::Step;

// Size fields take no minus key: a size is never negative.
class NoMinusFilter : public QObject {
  public:
    using QObject::QObject;
    bool eventFilter(QObject*, QEvent* event) override {
        return event->type() == QEvent::KeyPress &&
               static_cast<QKeyEvent*>(event)->text() == QStringLiteral("-");
    }
};

QPushButton* Button(const QString& caption, QWidget* parent = nullptr) {
    auto* b = new QPushButton(caption, parent);
    b->setAutoDefault(false);
    return b;
}

}  // namespace

FrmItemProps::FrmItemProps(ItemPropsLogic& logic, const char* widthCaption, QWidget* parent)
    : QDialog(parent), logic_(logic) {
    txtName_ = new QLineEdit;
    txtName_->setReadOnly(true);
    auto* fields = new QGridLayout;
    fields->addWidget(new QLabel("Name:"), 0, 0);
    fields->addWidget(txtName_, 0, 1, 1, 2);
    // Each field with its counter: down / up.
    const struct {
        const char* key;
        const char* caption;
        Step down, up;
    } rows[] = {{"Left", "Left", Step::LeftDown, Step::LeftUp},
                {"Top", "Top", Step::TopDown, Step::TopUp},
                {"Width", widthCaption, Step::WidthDown, Step::WidthUp},
                {"Height", "Height", Step::HeightDown, Step::HeightUp}};
    int row = 1;
    for (const auto& r : rows) {
        auto* f = new QLineEdit;
        SelectAllOnFocus(f);
        fields_[r.key] = f;
        if (row >= 3) f->installEventFilter(new NoMinusFilter(f));
        fields->addWidget(new QLabel(r.caption), row, 0);
        fields->addWidget(f, row, 1);
        auto* counter = new QHBoxLayout;
        steps_[r.down] = Button(QString(QChar(0x25BC)));
        steps_[r.up] = Button(QString(QChar(0x25B2)));
        counter->addWidget(steps_[r.down]);
        counter->addWidget(steps_[r.up]);
        fields->addLayout(counter, row, 2);
        ++row;
    }
    move_ = new QGroupBox("Move");
    auto* m = new QGridLayout(move_);
    steps_[Step::Up] = Button(QString(QChar(0x2191)));
    steps_[Step::Left] = Button(QString(QChar(0x2190)));
    steps_[Step::Move] = Button("Move");
    steps_[Step::Right] = Button(QString(QChar(0x2192)));
    steps_[Step::Down] = Button(QString(QChar(0x2193)));
    m->addWidget(steps_[Step::Up], 0, 1);
    m->addWidget(steps_[Step::Left], 1, 0);
    m->addWidget(steps_[Step::Move], 1, 1);
    m->addWidget(steps_[Step::Right], 1, 2);
    m->addWidget(steps_[Step::Down], 2, 1);
    txtHStep_ = new QLineEdit;
    txtVStep_ = new QLineEdit;
    SelectAllOnFocus(txtHStep_);
    SelectAllOnFocus(txtVStep_);
    auto* stepRow = new QHBoxLayout;
    stepRow->addWidget(txtHStep_);
    stepRow->addWidget(txtVStep_);
    m->addLayout(stepRow, 3, 0, 1, 3);
    for (auto& [step, button] : steps_)
        connect(button, &QPushButton::clicked, this,
                [this, s = step] { Run([this, s] { return logic_.Press(s); }); });

    cmdApply_ = Button("Apply");
    cmdDelete_ = Button("Delete");
    connect(cmdApply_, &QPushButton::clicked, this,
            [this] { Run([this] { return logic_.Apply(); }); });
    connect(cmdDelete_, &QPushButton::clicked, this, [this] {
        if (!logic_.ConfirmDelete()) return;
        logic_.Delete();
        close();
    });
    // Beside the page the dialog has no close box of its own.
    cmdClose_ = Button("Close");
    connect(cmdClose_, &QPushButton::clicked, this, &QWidget::close);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdApply_);
    buttons->addWidget(cmdDelete_);
    buttons->addWidget(cmdClose_);

    body_ = new QVBoxLayout;
    auto* all = new QVBoxLayout(this);
    all->addLayout(fields);
    all->addLayout(body_);
    all->addWidget(move_);
    all->addLayout(buttons);
}

QLineEdit* FrmItemProps::Field(const char* caption) const {
    return fields_.at(caption);
}

void FrmItemProps::Read() {
    logic_.left = fromUnicode(fields_["Left"]->text());
    logic_.top = fromUnicode(fields_["Top"]->text());
    logic_.width = fromUnicode(fields_["Width"]->text());
    logic_.height = fromUnicode(fields_["Height"]->text());
    logic_.horizontalStep = fromUnicode(txtHStep_->text());
    logic_.verticalStep = fromUnicode(txtVStep_->text());
}

void FrmItemProps::Show() {
    txtName_->setText(toUnicode(logic_.name));
    fields_["Left"]->setText(toUnicode(logic_.left));
    fields_["Top"]->setText(toUnicode(logic_.top));
    fields_["Width"]->setText(toUnicode(logic_.width));
    fields_["Height"]->setText(toUnicode(logic_.height));
    txtHStep_->setText(toUnicode(logic_.horizontalStep));
    txtVStep_->setText(toUnicode(logic_.verticalStep));
}

void FrmItemProps::Run(const std::function<bool()>& action) {
    Read();
    action();
    Show();
}

void FrmItemProps::UpdateShift() {
    logic_.UpdateShift();
    txtHStep_->setText(toUnicode(logic_.horizontalStep));
    txtVStep_->setText(toUnicode(logic_.verticalStep));
}

bool FrmItemProps::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate) UpdateShift();
    return QDialog::event(e);
}

// Box

FrmBoxProps::FrmBoxProps(ItemContext& context, QWidget* parent)
    : FrmItemProps(logic_, "Width", parent), logic_(context) {
    setWindowTitle("Box Properties");
    MoveGroup()->setTitle("Move Box");
    auto* border = new QGroupBox("Border");
    auto* b = new QGridLayout(border);
    swatch_ = new QLabel;
    swatch_->setFixedSize(40, 20);
    swatch_->setFrameShape(QFrame::Box);
    auto* cmdColor = Button("...");
    cmbWidth_ = new QComboBox;
    for (const auto& w : BoxPropsLogic::BorderWidths()) cmbWidth_->addItem(toUnicode(w));
    cmbStyle_ = new QComboBox;
    for (const auto& s : BoxPropsLogic::BorderStyles()) cmbStyle_->addItem(toUnicode(s));
    preview_ = new QLabel;
    preview_->setFixedSize(60, 24);
    chkHide_ = new QCheckBox("Hide in Preview");
    b->addWidget(new QLabel("Color"), 0, 0);
    b->addWidget(swatch_, 0, 1);
    b->addWidget(cmdColor, 0, 2);
    b->addWidget(new QLabel("Width"), 1, 0);
    b->addWidget(cmbWidth_, 1, 1);
    b->addWidget(preview_, 1, 2, 2, 1);
    b->addWidget(new QLabel("Style"), 2, 0);
    b->addWidget(cmbStyle_, 2, 1);
    b->addWidget(new QLabel(BoxPropsLogic::kStyleNote), 3, 0, 1, 3);
    b->addWidget(chkHide_, 4, 0, 1, 3);
    Body()->addWidget(border);
    connect(cmdColor, &QPushButton::clicked, this, [this] {
        QColor c = QColorDialog::getColor(ColourFromBgr(int(logic_.borderColor)), this);
        if (!c.isValid()) return;
        logic_.borderColor = BgrFromColour(c);
        ShowColor();
    });
    auto repaint = [this] { ShowColor(); };
    connect(cmbWidth_, &QComboBox::currentIndexChanged, this, repaint);
    connect(cmbStyle_, &QComboBox::currentIndexChanged, this, repaint);

    // The group panel behind "More  >> ".
    cmdMore_ = Button(logic_.MoreCaption());
    Body()->addWidget(cmdMore_, 0, Qt::AlignRight);
    groupPanel_ = new QGroupBox("Apply to group");
    auto* g = new QGridLayout(groupPanel_);
    const char* captions[] = {"Left",  "Top",    "Right",   "Center", "Height",
                              "Width", "Border", "Preview", "Color",  "Delete"};
    for (int i = 0; i < 10; ++i) {
        group_[i] = Button(captions[i]);
        group_[i]->setToolTip(captions[i]);
        g->addWidget(group_[i], i / 5, i % 5);
        connect(group_[i], &QPushButton::clicked, this,
                [this, i] { Run([this, i] { return logic_.ApplyToGroup(i); }); });
    }
    cmdPaste_ = Button("Paste");
    cmdEven_[0] = Button("Even H");
    cmdEven_[1] = Button("Even V");
    g->addWidget(cmdPaste_, 2, 0);
    g->addWidget(cmdEven_[0], 2, 1);
    g->addWidget(cmdEven_[1], 2, 2);
    connect(cmdPaste_, &QPushButton::clicked, this,
            [this] { Run([this] { return logic_.Paste(); }); });
    for (int d = 0; d < 2; ++d)
        connect(cmdEven_[d], &QPushButton::clicked, this, [this, d] {
            Run([this, d] {
                logic_.EvenSpace(d);
                return true;
            });
        });
    groupPanel_->setVisible(false);
    Body()->addWidget(groupPanel_);
    connect(cmdMore_, &QPushButton::clicked, this, [this] {
        logic_.moreShown = !logic_.moreShown;
        cmdMore_->setText(logic_.MoreCaption());
        groupPanel_->setVisible(logic_.moreShown);
        adjustSize();
    });
}

void FrmBoxProps::Bind(int box) {
    logic_.Bind(box);
    Show();
}

void FrmBoxProps::Read() {
    FrmItemProps::Read();
    logic_.widthPosition = cmbWidth_->currentIndex();
    logic_.stylePosition = cmbStyle_->currentIndex();
    logic_.hideInPreview = chkHide_->isChecked();
}

void FrmBoxProps::Show() {
    FrmItemProps::Show();
    cmbWidth_->setCurrentIndex(logic_.widthPosition);
    cmbStyle_->setCurrentIndex(logic_.stylePosition);
    chkHide_->setChecked(logic_.hideInPreview);
    ShowColor();
}

void FrmBoxProps::ShowColor() {
    SetBackground(swatch_, int(logic_.borderColor));
    // The preview line: the chosen width and style as they are picked.
    QPixmap line(preview_->size());
    line.fill(Qt::white);
    QPainter p(&line);
    static const Qt::PenStyle styles[] = {Qt::SolidLine,   Qt::DashLine,       Qt::DotLine,
                                          Qt::DashDotLine, Qt::DashDotDotLine, Qt::SolidLine};
    int style = std::max(0, cmbStyle_->currentIndex());
    p.setPen(QPen(ColourFromBgr(int(logic_.borderColor)),
                  std::max(0, cmbWidth_->currentIndex()) + 1, styles[style % 6]));
    p.drawLine(4, line.height() / 2, line.width() - 4, line.height() / 2);
    p.end();
    preview_->setPixmap(line);
}

// Hotspot and signature box

FrmShapeProps::FrmShapeProps(ItemContext& context, QWidget* parent)
    : FrmItemProps(logic_, "Width", parent), logic_(context) {
    typeGroup_ = new QGroupBox("Type");
    auto* t = new QHBoxLayout(typeGroup_);
    for (int i = 0; i < 4; ++i) {
        optType_[i] = new QRadioButton(toUnicode(ShapePropsLogic::TypeOptions()[size_t(i)]));
        t->addWidget(optType_[i]);
        connect(optType_[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (!on || showing_) return;
            Run([this, i] { return logic_.ChooseType(i); });
        });
    }
    txtOther_ = new QLineEdit;
    t->addWidget(txtOther_);
    typeBar_ = new QLabel;
    typeBar_->setFixedSize(12, 24);
    t->addWidget(typeBar_);
    Body()->addWidget(typeGroup_);
    padGroup_ = new QGroupBox;
    auto* pad = new QVBoxLayout(padGroup_);
    chkPad_ = new QCheckBox("Signature Pad");
    pad->addWidget(chkPad_);
    pad->addWidget(
        new QLabel(QString(ShapePropsLogic::kPadNote) + " " + ShapePropsLogic::kPadSize));
    Body()->addWidget(padGroup_);
}

void FrmShapeProps::Bind(ShapePropsLogic::Kind kind, int index) {
    logic_.Bind(kind, index);
    setWindowTitle(toUnicode(logic_.Title()));
    MoveGroup()->setTitle(toUnicode(logic_.MoveCaption()));
    Show();
}

void FrmShapeProps::Read() {
    FrmItemProps::Read();
    logic_.otherType = fromUnicode(txtOther_->text());
    logic_.signaturePad = chkPad_->isChecked();
}

void FrmShapeProps::Show() {
    FrmItemProps::Show();
    showing_ = true;
    const bool hotspot = logic_.GetKind() == ShapePropsLogic::Kind::Hotspot;
    typeGroup_->setVisible(hotspot);
    padGroup_->setVisible(!hotspot && logic_.PadGroupShown());
    if (hotspot) optType_[logic_.typeOption]->setChecked(true);
    txtOther_->setText(toUnicode(logic_.otherType));
    SetBackground(typeBar_, ShapePropsLogic::TypeColor(logic_.Type()));
    chkPad_->setChecked(logic_.signaturePad);
    showing_ = false;
}

// Image

FrmImageProps::FrmImageProps(ItemContext& context, QWidget* parent)
    : FrmItemProps(logic_, "Width", parent), logic_(context) {
    setWindowTitle("Image Properties");
    MoveGroup()->setTitle("Move Image");
    auto* info = new QFormLayout;
    lblSize_ = new QLabel;
    lblSize_->setObjectName("lblImageSize");
    lblSource_ = new QLabel;
    txtLink_ = new QLineEdit;
    info->addRow("Size:", lblSize_);
    info->addRow("Source:", lblSource_);
    info->addRow("Link to Signature Box #:", txtLink_);
    Body()->addLayout(info);
}

void FrmImageProps::Bind(int image) {
    logic_.Bind(image);
    Show();
}

void FrmImageProps::Read() {
    FrmItemProps::Read();
    logic_.linkedSignatureBox = fromUnicode(txtLink_->text());
}

void FrmImageProps::Show() {
    FrmItemProps::Show();
    lblSize_->setText(toUnicode(logic_.sizeText));
    lblSource_->setText(toUnicode(logic_.source));
    txtLink_->setText(toUnicode(logic_.linkedSignatureBox));
}

// Barcode

FrmBarcodeImageProps::FrmBarcodeImageProps(ItemContext& context, OneValuePicker& picker,
                                           QWidget* parent)
    : FrmItemProps(logic_, "Width*", parent), logic_(context), picker_(picker) {
    setWindowTitle("Barcode Properties");
    MoveGroup()->setTitle("Move Barcode");
    auto* row = new QHBoxLayout;
    txtText_ = new QLineEdit;
    cmdList_ = Button("...");
    row->addWidget(txtText_);
    row->addWidget(cmdList_);
    Body()->addLayout(row);
    lblPreview_ = new QLabel;
    Body()->addWidget(lblPreview_);
    Body()->addWidget(new QLabel(BarcodePropsLogic::kWidthNote));
    connect(txtText_, &QLineEdit::textEdited, this,
            [this](const QString& t) { lblPreview_->setText(t); });
    connect(cmdList_, &QPushButton::clicked, this, [this] {
        Read();
        logic_.PickFromList(picker_);
        Show();
    });
}

void FrmBarcodeImageProps::Bind(int label) {
    logic_.Bind(label);
    Show();
}

void FrmBarcodeImageProps::Read() {
    FrmItemProps::Read();
    logic_.text = fromUnicode(txtText_->text());
}

void FrmBarcodeImageProps::Show() {
    FrmItemProps::Show();
    txtText_->setText(toUnicode(logic_.text));
    txtText_->setToolTip(toUnicode(logic_.tip));
    lblPreview_->setText(txtText_->text());
}
