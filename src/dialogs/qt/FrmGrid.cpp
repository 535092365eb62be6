#include "dialogs/qt/FrmGrid.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFontDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "dialogs/qt/FieldBehaviour.h"
#include "shell/qt/QtText.h"

namespace {

// A background picture as the line detection reads it.
class ImagePixels : public PagePixels {
  public:
    explicit ImagePixels(QImage image) : image_(std::move(image)) {}
    int Width() const override { return image_.width(); }
    int Height() const override { return image_.height(); }
    int ColorSum(int x, int y) const override {
        QRgb p = image_.pixel(x, y);
        return qRed(p) + qGreen(p) + qBlue(p);
    }

  private:
    QImage image_;
};

template <class W>
W* Named(W* w, const QString& name) {
    w->setObjectName(name);
    return w;
}

QLineEdit* NewField(const QString& name, int width = 60) {
    auto* f = Named(new QLineEdit, name);
    f->setMaximumWidth(width);
    SelectAllOnFocus(f);
    return f;
}

QPushButton* NewButton(const QString& caption) {
    auto* b = Named(new QPushButton(caption), caption);
    b->setAutoDefault(false);
    return b;
}

}  // namespace

FrmGrid::FrmGrid(CanvasModel& canvas, FormModel& model, UserInterface& ui, Wiring wiring,
                 QWidget* parent)
    : QDialog(parent), logic_(canvas, model, ui), wiring_(std::move(wiring)) {
    setObjectName("frmGrid");
    setWindowTitle("Insert Grid");
    logic_.shiftChanged = wiring_.shiftChanged;
    logic_.fillFromList = wiring_.fillFromList;
    logic_.background = [this](int page) -> std::unique_ptr<PagePixels> {
        QImage image = wiring_.background ? wiring_.background(page, kDetectionDpi) : QImage();
        if (image.isNull()) return nullptr;
        return std::make_unique<ImagePixels>(std::move(image));
    };

    // "Define area"
    auto* area = new QGroupBox("Define area");
    auto* a = new QGridLayout(area);
    txtLeft_ = NewField("Left");
    txtRight_ = NewField("Right");
    txtTop_ = NewField("Top");
    txtBottom_ = NewField("Bottom");
    a->addWidget(txtTop_, 0, 1);
    a->addWidget(new QLabel("Left"), 1, 0);
    a->addWidget(txtLeft_, 1, 1);
    a->addWidget(new QLabel("Right"), 1, 3);
    a->addWidget(txtRight_, 1, 2);
    a->addWidget(txtBottom_, 2, 1);
    a->addWidget(new QLabel("Bottom"), 2, 2);
    auto* applyRect = NewButton("Apply Rect");
    a->addWidget(applyRect, 3, 0, 1, 4);

    // Rows, columns, snapping.
    auto* size = new QGridLayout;
    txtRows_ = NewField("Rows");
    txtColumns_ = NewField("Columns");
    size->addWidget(new QLabel("Rows"), 0, 0);
    size->addWidget(txtRows_, 0, 1);
    size->addWidget(new QLabel("Columns"), 1, 0);
    size->addWidget(txtColumns_, 1, 1);
    chkSnap_ = Named(new QCheckBox("Auto calc - snap to lines"), "Auto calc - snap to lines");
    optOver_ = Named(new QRadioButton("Over"), "Over");
    optUnder_ = Named(new QRadioButton("Under"), "Under");
    optBoth_ = Named(new QRadioButton("Both"), "Both");
    auto* sides = new QHBoxLayout;
    for (QRadioButton* o : {optOver_, optUnder_, optBoth_}) sides->addWidget(o);
    auto* snapGroup = new QWidget;
    snapGroup->setLayout(sides);
    chkFill_ = Named(new QCheckBox("Fill the area"), "Fill the area");
    size->addWidget(chkSnap_, 2, 0, 1, 2);
    size->addWidget(snapGroup, 3, 0, 1, 2);
    size->addWidget(chkFill_, 4, 0, 1, 2);

    // Cell format.
    auto* font = new QGroupBox("Font");
    auto* f = new QGridLayout(font);
    lblFontName_ = Named(new QLabel, "Font name");
    lblFontSize_ = Named(new QLabel, "size");
    chkBold_ = Named(new QCheckBox("B"), "B");
    chkItalic_ = Named(new QCheckBox("I"), "I");
    auto* cmdFont = NewButton("&Font");
    f->addWidget(new QLabel("Font name"), 0, 0);
    f->addWidget(lblFontName_, 0, 1, 1, 3);
    f->addWidget(new QLabel("size"), 1, 0);
    f->addWidget(lblFontSize_, 1, 1);
    f->addWidget(chkBold_, 1, 2);
    f->addWidget(chkItalic_, 1, 3);
    f->addWidget(cmdFont, 2, 0);
    auto* align = new QHBoxLayout;
    align->addWidget(new QLabel("Align"));
    const char* aligns[3] = {"L", "R", "C"};
    for (int i = 0; i < 3; ++i)
        align->addWidget(optAlign_[i] = Named(new QRadioButton(aligns[i]), aligns[i]));
    chkAutosize_ = Named(new QCheckBox("Autosize"), "Autosize");
    align->addWidget(chkAutosize_);
    f->addLayout(align, 3, 0, 1, 4);

    // Data grid.
    auto* data = new QGroupBox;
    auto* d = new QGridLayout(data);
    chkDataGrid_ = Named(new QCheckBox("DATAGRID"), "DATAGRID");
    txtGridNo_ = NewField("Grid No.");
    txtColumnsInRow_ = NewField("Columns in a row");
    d->addWidget(chkDataGrid_, 0, 0, 1, 2);
    d->addWidget(new QLabel("Grid No."), 1, 0);
    d->addWidget(txtGridNo_, 1, 1);
    d->addWidget(new QLabel("Columns in a row"), 2, 0);
    d->addWidget(txtColumnsInRow_, 2, 1);

    // Columns.
    auto* columns = new QGroupBox("Adjust column #");
    auto* c = new QGridLayout(columns);
    txtColumn_ = NewField("Adjust column #", 40);
    auto* moveLeft = NewButton("<");
    auto* moveRight = NewButton(">");
    auto* narrower = NewButton("-");
    auto* wider = NewButton("+");
    c->addWidget(txtColumn_, 0, 0, 2, 1);
    c->addWidget(new QLabel("Move L/R"), 0, 1);
    c->addWidget(moveLeft, 0, 2);
    c->addWidget(moveRight, 0, 3);
    c->addWidget(new QLabel("Width"), 1, 1);
    c->addWidget(narrower, 1, 2);
    c->addWidget(wider, 1, 3);

    // The area's eight move buttons around the two step fields.
    auto* move = new QGroupBox("Move Grid");
    auto* m = new QGridLayout(move);
    using M = GridLogic::Move;
    const struct {
        M move;
        char16_t arrow;
        int row, column;
    } arrows[] = {{M::UpLeft, 0x2196, 0, 0},  {M::Up, 0x2191, 0, 1},
                  {M::UpRight, 0x2197, 0, 2}, {M::Left, 0x2190, 1, 0},
                  {M::Right, 0x2192, 1, 2},   {M::DownLeft, 0x2199, 2, 0},
                  {M::Down, 0x2193, 2, 1},    {M::DownRight, 0x2198, 2, 2}};
    for (const auto& arrow : arrows) {
        auto* b = NewButton(QString(QChar(arrow.arrow)));
        move_[int(arrow.move)] = b;
        m->addWidget(b, arrow.row, arrow.column);
        connect(b, &QPushButton::clicked, this,
                [this, mv = arrow.move] { Run([this, mv] { return logic_.MoveArea(mv); }); });
    }
    txtHStep_ = NewField("Horizontal step", 50);
    txtVStep_ = NewField("Vertical step", 50);
    auto* steps = new QVBoxLayout;
    steps->addWidget(txtHStep_);
    steps->addWidget(txtVStep_);
    m->addLayout(steps, 1, 1);

    auto* buttons = new QHBoxLayout;
    auto* apply = NewButton("Apply");
    auto* clear = NewButton("Clear");
    auto* fill = NewButton("Fill from List");
    auto* done = NewButton("Done");
    for (QPushButton* b : {apply, clear, fill, done}) buttons->addWidget(b);

    auto* grid = new QGridLayout;
    grid->addWidget(area, 0, 0);
    auto* sizeBox = new QGroupBox;
    sizeBox->setLayout(size);
    grid->addWidget(sizeBox, 0, 1);
    grid->addWidget(font, 1, 0);
    grid->addWidget(data, 1, 1);
    grid->addWidget(columns, 2, 0);
    grid->addWidget(move, 2, 1);
    auto* all = new QVBoxLayout(this);
    all->addLayout(grid);
    all->addLayout(buttons);

    connect(applyRect, &QPushButton::clicked, this,
            [this] { Run([this] { return logic_.ApplyRect(); }); });
    connect(apply, &QPushButton::clicked, this, [this] { Run([this] { return logic_.Apply(); }); });
    connect(clear, &QPushButton::clicked, this, [this] {
        Run([this] {
            logic_.Clear();
            return true;
        });
    });
    connect(fill, &QPushButton::clicked, this,
            [this] { Run([this] { return logic_.FillFromList(); }); });
    connect(done, &QPushButton::clicked, this, &QDialog::close);
    connect(moveLeft, &QPushButton::clicked, this,
            [this] { Run([this] { return logic_.MoveColumn(-1); }); });
    connect(moveRight, &QPushButton::clicked, this,
            [this] { Run([this] { return logic_.MoveColumn(1); }); });
    connect(narrower, &QPushButton::clicked, this,
            [this] { Run([this] { return logic_.ResizeColumn(-1); }); });
    connect(wider, &QPushButton::clicked, this,
            [this] { Run([this] { return logic_.ResizeColumn(1); }); });
    connect(chkAutosize_, &QCheckBox::clicked, this, [this](bool on) {
        Run([this, on] {
            logic_.Autosize(on);
            return true;
        });
    });
    connect(cmdFont, &QPushButton::clicked, this, [this] {
        Read();
        QFont start(toUnicode(logic_.format.fontName));
        start.setPointSizeF(logic_.format.fontSize);
        start.setBold(logic_.format.bold);
        start.setItalic(logic_.format.italic);
        bool ok = false;
        QFont chosen = QFontDialog::getFont(&ok, start, this);
        if (!ok) return;
        logic_.format.fontName = fromUnicode(chosen.family());
        logic_.format.fontSize = chosen.pointSizeF();
        logic_.format.bold = chosen.bold();
        logic_.format.italic = chosen.italic();
        Show();
    });
    Show();
}

QLineEdit* FrmGrid::Field(const QString& caption) const {
    return findChild<QLineEdit*>(caption);
}
QPushButton* FrmGrid::Button(const QString& caption) const {
    return findChild<QPushButton*>(caption);
}
QCheckBox* FrmGrid::Check(const QString& caption) const {
    return findChild<QCheckBox*>(caption);
}
QRadioButton* FrmGrid::Option(const QString& caption) const {
    return findChild<QRadioButton*>(caption);
}

void FrmGrid::Read() {
    GridLogic& l = logic_;
    l.left = fromUnicode(txtLeft_->text());
    l.right = fromUnicode(txtRight_->text());
    l.top = fromUnicode(txtTop_->text());
    l.bottom = fromUnicode(txtBottom_->text());
    l.rows = fromUnicode(txtRows_->text());
    l.columns = fromUnicode(txtColumns_->text());
    l.snapToLines = chkSnap_->isChecked();
    l.side = optOver_->isChecked()    ? LineSide::Over
             : optUnder_->isChecked() ? LineSide::Under
             : optBoth_->isChecked()  ? LineSide::Both
                                      : LineSide::None;
    l.fillArea = chkFill_->isChecked();
    l.format.bold = chkBold_->isChecked();
    l.format.italic = chkItalic_->isChecked();
    for (int i = 0; i < 3; ++i)
        if (optAlign_[i]->isChecked()) l.format.alignment = LabelAlignment(i);
    l.format.autoSize = chkAutosize_->isChecked();
    l.dataGrid = chkDataGrid_->isChecked();
    l.gridNumber = fromUnicode(txtGridNo_->text());
    l.columnsInRow = fromUnicode(txtColumnsInRow_->text());
    l.column = fromUnicode(txtColumn_->text());
    l.horizontalStep = fromUnicode(txtHStep_->text());
    l.verticalStep = fromUnicode(txtVStep_->text());
}

void FrmGrid::Show() {
    const GridLogic& l = logic_;
    txtLeft_->setText(toUnicode(l.left));
    txtRight_->setText(toUnicode(l.right));
    txtTop_->setText(toUnicode(l.top));
    txtBottom_->setText(toUnicode(l.bottom));
    txtRows_->setText(toUnicode(l.rows));
    txtColumns_->setText(toUnicode(l.columns));
    chkSnap_->setChecked(l.snapToLines);
    optOver_->setChecked(l.side == LineSide::Over);
    optUnder_->setChecked(l.side == LineSide::Under);
    optBoth_->setChecked(l.side == LineSide::Both);
    chkFill_->setChecked(l.fillArea);
    lblFontName_->setText(toUnicode(l.format.fontName));
    lblFontSize_->setText(QString::number(l.format.fontSize));
    chkBold_->setChecked(l.format.bold);
    chkItalic_->setChecked(l.format.italic);
    optAlign_[std::clamp(int(l.format.alignment), 0, 2)]->setChecked(true);
    chkAutosize_->setChecked(l.format.autoSize);
    chkDataGrid_->setChecked(l.dataGrid);
    txtGridNo_->setText(toUnicode(l.gridNumber));
    txtColumnsInRow_->setText(toUnicode(l.columnsInRow));
    txtColumn_->setText(toUnicode(l.column));
    txtHStep_->setText(toUnicode(l.horizontalStep));
    txtVStep_->setText(toUnicode(l.verticalStep));
}

void FrmGrid::Run(const std::function<bool()>& action) {
    Read();
    action();
    Show();
}

void FrmGrid::SetLabelRef(int label) {
    Read();
    logic_.SetLabelRef(label);
    Show();
}

void FrmGrid::SetRect(const Rect& r) {
    Read();
    logic_.SetRect(r);
    Show();
}

void FrmGrid::UpdateShift() {
    Read();
    logic_.UpdateShift();
    Show();
}

void FrmGrid::closeEvent(QCloseEvent* e) {
    logic_.Done();
    QDialog::closeEvent(e);
}

bool FrmGrid::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate) UpdateShift();
    return QDialog::event(e);
}
