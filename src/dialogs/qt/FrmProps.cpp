#include "dialogs/qt/FrmProps.h"

#include <QApplication>
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
QPushButton* Button(const QString& caption, const char* name, QWidget* parent = nullptr) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}
}  // namespace

FrmProps::FrmProps(CanvasModel& canvas, CanvasEditor& editor, FormModel& model,
                   const TextMetrics& metrics, UserInterface& ui, Wiring wiring, QWidget* parent)
    : QDialog(parent), wiring_(std::move(wiring)) {
    setObjectName("frmProps");
    setModal(false);
    logic_ =
        std::make_unique<LabelPropsLogic>(canvas, editor, model, metrics, ui, wiring_.shiftChanged);
    auto* all = new QVBoxLayout(this);

    // Name, type, static text with its list button, preview.
    lblName_ = new QLabel("Label Name");
    lblName_->setObjectName("lblName");
    lblType_ = new QLabel("Type:");
    lblType_->setObjectName("lblType");
    lblChanged_ = new QLabel("*");
    lblChanged_->setObjectName("lblChanged");
    lblChanged_->setToolTip("Not applied yet");
    auto* head = new QHBoxLayout;
    head->addWidget(lblName_);
    head->addWidget(lblChanged_);
    head->addStretch();
    head->addWidget(lblType_);
    all->addLayout(head);
    txtStatic_ = new QLineEdit;
    txtStatic_->setObjectName("txtStatic");
    cmdList_ = Button("...", "cmdList");
    cmdList_->setToolTip("Choose from the static list");
    auto* text = new QHBoxLayout;
    text->addWidget(txtStatic_, 1);
    text->addWidget(cmdList_);
    all->addLayout(text);
    lblPreview_ = new QLabel(LabelPropsLogic::kPreviewCaption);
    lblPreview_->setObjectName("lblPreview");
    lblPreview_->setAutoFillBackground(true);
    SetBackground(lblPreview_, 0x80FFFF);
    auto* previewBox = new QWidget;
    previewBox->setMinimumHeight(40);
    lblPreview_->setParent(previewBox);
    all->addWidget(previewBox);

    // Position with the five counters (left, top, right, width, height).
    position_ = new QWidget;
    auto* pos = new QGridLayout(position_);
    pos->setContentsMargins(0, 0, 0, 0);
    const char* captions[5] = {"Left", "Right", "Top", "Width", "Height"};
    const int counterOf[5] = {0, 2, 1, 3, 4};
    for (int i = 0; i < 5; ++i) {
        txtPos_[i] = new QLineEdit;
        txtPos_[i]->setObjectName(QString("txt") + captions[i]);
        SelectAllOnFocus(txtPos_[i]);
        pos->addWidget(new QLabel(captions[i]), 0, i * 2, 1, 2);
        pos->addWidget(txtPos_[i], 1, i * 2);
        auto* ud = new QVBoxLayout;
        ud->setSpacing(0);
        for (bool up : {true, false}) {
            QPushButton* b = Button(up ? QString(QChar(0x25B2)) : QString(QChar(0x25BC)),
                                    up ? "cmdUp" : "cmdDown");
            b->setObjectName(QString("UpDown%1%2").arg(counterOf[i]).arg(up ? "Up" : "Down"));
            b->setFixedSize(18, 12);
            int c = counterOf[i];
            connect(b, &QPushButton::clicked, this,
                    [this, c, up] { Act([this, c, up] { logic_->Counter(c, up); }); });
            ud->addWidget(b);
        }
        pos->addLayout(ud, 1, i * 2 + 1);
    }
    all->addWidget(position_);

    // Font, alignment, auto size, case.
    auto* font = new QHBoxLayout;
    lblFontName_ = new QLabel("Font name");
    lblFontSize_ = new QLabel("size");
    lblBold_ = new QLabel("B");
    lblItalic_ = new QLabel("I");
    QPushButton* cmdFont = Button("&Font", "cmdFont");
    connect(cmdFont, &QPushButton::clicked, this, [this] {
        Store();
        const LabelControl& p = logic_->preview;
        QFont start(toUnicode(p.fontName));
        start.setPointSizeF(p.fontSize);
        start.setBold(p.bold);
        start.setItalic(p.italic);
        bool ok = false;
        QFont f = QFontDialog::getFont(&ok, start, this);
        if (!ok) return;
        logic_->SetFont(fromUnicode(f.family()), f.pointSizeF(), f.bold(), f.italic());
        Load();
    });
    for (QWidget* w : {(QWidget*)lblFontName_, (QWidget*)lblFontSize_, (QWidget*)lblBold_,
                       (QWidget*)lblItalic_, (QWidget*)cmdFont})
        font->addWidget(w);
    font->addStretch();
    const char* aligns[3] = {"L", "R", "C"};
    for (int i = 0; i < 3; ++i) {
        optAlign_[i] = new QRadioButton(aligns[i]);
        optAlign_[i]->setObjectName(QString("optAlign%1").arg(i));
        font->addWidget(optAlign_[i]);
        connect(optAlign_[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (loading_ || !on) return;
            logic_->SetAlignment(LabelAlignment(i));
            ShowPreview();
        });
    }
    all->addLayout(font);
    auto* options = new QHBoxLayout;
    chkAutoSize_ = new QCheckBox("Auto size");
    chkAutoSize_->setObjectName("chkAutoSize");
    connect(chkAutoSize_, &QCheckBox::toggled, this, [this](bool on) {
        if (loading_) return;
        Act([this, on] { logic_->SetAutoSize(on); });
    });
    options->addWidget(chkAutoSize_);
    auto* caseBox = new QWidget;
    auto* caseRow = new QHBoxLayout(caseBox);
    caseRow->setContentsMargins(0, 0, 0, 0);
    for (int i = 0; i < 4; ++i) {
        optCase_[i] = new QRadioButton(QString(QChar(LabelPropsLogic::kCaseCodes[i])));
        optCase_[i]->setObjectName(QString("optCase%1").arg(i));
        optCase_[i]->setToolTip(LabelPropsLogic::CaseTip(i));
        caseRow->addWidget(optCase_[i]);
    }
    options->addWidget(caseBox);
    chkMult_ = new QCheckBox("Mult.");
    chkMult_->setObjectName("chkMult");
    chkMult_->setToolTip("Multiline text");
    txtCharsWide_ = new QLineEdit;
    txtCharsWide_->setObjectName("txtCharsWide");
    txtCharsWide_->setToolTip("How many chars wide");
    txtLinesTall_ = new QLineEdit;
    txtLinesTall_->setObjectName("txtLinesTall");
    txtLinesTall_->setToolTip("How many lines tall");
    for (QLineEdit* f : {txtCharsWide_, txtLinesTall_}) f->setMaximumWidth(40);
    options->addWidget(chkMult_);
    options->addWidget(txtCharsWide_);
    options->addWidget(txtLinesTall_);
    all->addLayout(options);

    // The text-box prompt's rows panel.
    cmdAdjust_ = Button("Adjust Height/Rows >>", "cmdAdjust");
    connect(cmdAdjust_, &QPushButton::clicked, this,
            [this] { Act([this] { logic_->ToggleRowsPanel(); }); });
    all->addWidget(cmdAdjust_);
    fraRows_ = new QGroupBox("Multiline Textbox");
    fraRows_->setObjectName("fraRows");
    auto* rowsRow = new QHBoxLayout(fraRows_);
    txtRows_ = new QLineEdit;
    txtRows_->setObjectName("txtRows");
    txtRowsHeight_ = new QLineEdit;
    txtRowsHeight_->setObjectName("txtRowsHeight");
    chkVisualize_ = new QCheckBox("Visualize Rows");
    chkVisualize_->setObjectName("chkVisualize");
    QPushButton* rowsApply = Button("Apply", "cmdRowsApply");
    connect(rowsApply, &QPushButton::clicked, this,
            [this] { Act([this] { logic_->ApplyRows(); }); });
    rowsRow->addWidget(new QLabel("Rows"));
    rowsRow->addWidget(txtRows_);
    rowsRow->addWidget(new QLabel("Height"));
    rowsRow->addWidget(txtRowsHeight_);
    rowsRow->addWidget(chkVisualize_);
    rowsRow->addWidget(rowsApply);
    all->addWidget(fraRows_);

    // Link data and grid row.
    auto* link = new QHBoxLayout;
    cmdLink_ = Button("Link Data", "cmdLink");
    connect(cmdLink_, &QPushButton::clicked, this,
            [this] { Act([this] { logic_->EditLinkData(); }); });
    lblLink_ = new QLabel;
    lblLink_->setObjectName("lblLink");
    link->addWidget(cmdLink_);
    link->addWidget(lblLink_, 1);
    all->addLayout(link);
    gridRow_ = new QWidget;
    auto* grid = new QHBoxLayout(gridRow_);
    grid->setContentsMargins(0, 0, 0, 0);
    QPushButton* makeRow = Button("make it a grid row #", "cmdMakeGridRow");
    connect(makeRow, &QPushButton::clicked, this,
            [this] { Act([this] { logic_->MakeGridRow(); }); });
    txtGridRow_ = new QLineEdit;
    txtGridRow_->setObjectName("txtGridRow");
    txtGridRow_->setMaximumWidth(50);
    QPushButton* grRow = Button("gr row", "cmdGrRow");
    grRow->setToolTip("Copy new grid row");
    connect(grRow, &QPushButton::clicked, this, [this] { Act([this] { logic_->CopyGridRow(); }); });
    grid->addWidget(makeRow);
    grid->addWidget(txtGridRow_);
    grid->addWidget(grRow);
    grid->addStretch();
    all->addWidget(gridRow_);

    // Apply, Cancel, Delete, More.
    auto* buttons = new QHBoxLayout;
    QPushButton* apply = Button("Apply", "cmdApply");
    connect(apply, &QPushButton::clicked, this, [this] {
        Store();
        bool close = logic_->Apply();
        Load();
        if (wiring_.changed) wiring_.changed();
        if (close) Finish();
    });
    QPushButton* cancel = Button("Cancel", "cmdCancel");
    connect(cancel, &QPushButton::clicked, this, [this] { Finish(); });
    cmdDelete_ = Button("Delete", "cmdDelete");
    connect(cmdDelete_, &QPushButton::clicked, this, [this] {
        logic_->DeleteLabel();
        if (wiring_.changed) wiring_.changed();
        Finish();
    });
    cmdMore_ = Button("More  >> ", "cmdMore");
    connect(cmdMore_, &QPushButton::clicked, this, [this] {
        logic_->ToggleGroupPanel();
        Load();
        adjustSize();
    });
    for (QPushButton* b : {apply, cancel, cmdDelete_, cmdMore_}) buttons->addWidget(b);
    all->addLayout(buttons);

    // The group panel: the eleven apply buttons, then the operations with the step.
    fraGroup_ = new QGroupBox("Apply to group");
    fraGroup_->setObjectName("fraGroup");
    auto* panel = new QVBoxLayout(fraGroup_);
    auto* g = new QGridLayout;
    for (int i = 0; i < 11; ++i) {
        cmdGroup_[i] = Button("", "cmdGroup");
        cmdGroup_[i]->setObjectName(QString("cmdGroup%1").arg(i));
        connect(cmdGroup_[i], &QPushButton::clicked, this,
                [this, i] { Act([this, i] { logic_->ApplyToGroup(i); }); });
        g->addWidget(cmdGroup_[i], i / 6, i % 6);
    }
    panel->addLayout(g);
    auto op = [this](const char* caption, const char* name, std::function<void()> act) {
        QPushButton* b = Button(QString::fromUtf8(caption), name);
        connect(b, &QPushButton::clicked, this, [this, act] { Act(act); });
        return b;
    };
    auto* ops = new QHBoxLayout;
    ops->addWidget(op("Even V", "cmdEvenV", [this] { logic_->EvenSpace(false); }));
    ops->addWidget(op("Even H", "cmdEvenH", [this] { logic_->EvenSpace(true); }));
    ops->addWidget(op("Paste", "cmdPaste", [this] { logic_->Paste(); }));
    ops->addWidget(op("Auto-sz. ON", "cmdAutoOn", [this] { logic_->AutoSizeSelected(true); }));
    ops->addWidget(op("OFF", "cmdAutoOff", [this] { logic_->AutoSizeSelected(false); }));
    QPushButton* groupDelete = Button("Delete", "cmdGroupDelete");
    connect(groupDelete, &QPushButton::clicked, this, [this] {
        Store();
        bool gone = logic_->DeleteSelected();
        if (wiring_.changed) wiring_.changed();
        if (gone)
            Finish();
        else
            Load();
    });
    ops->addWidget(groupDelete);
    panel->addLayout(ops);
    // The four arrows round "Move", the step fields beside them.
    auto* steps = new QHBoxLayout;
    auto* cross = new QGridLayout;
    cross->addWidget(op("\u2191", "cmdArrow0", [this] { logic_->Arrow(0); }), 0, 1);
    cross->addWidget(op("\u2190", "cmdArrow2", [this] { logic_->Arrow(2); }), 1, 0);
    cross->addWidget(op("Move", "cmdMove", [this] { logic_->MoveBoth(); }), 1, 1);
    cross->addWidget(op("\u2192", "cmdArrow3", [this] { logic_->Arrow(3); }), 1, 2);
    cross->addWidget(op("\u2193", "cmdArrow1", [this] { logic_->Arrow(1); }), 2, 1);
    steps->addLayout(cross);
    txtHSpacing_ = new QLineEdit;
    txtHSpacing_->setObjectName("txtHSpacing");
    txtVSpacing_ = new QLineEdit;
    txtVSpacing_->setObjectName("txtVSpacing");
    auto* spacing = new QGridLayout;
    spacing->addWidget(new QLabel("H Spacing"), 0, 0);
    spacing->addWidget(txtHSpacing_, 0, 1);
    spacing->addWidget(new QLabel("V Spacing"), 1, 0);
    spacing->addWidget(txtVSpacing_, 1, 1);
    steps->addLayout(spacing);
    panel->addLayout(steps);
    all->addWidget(fraGroup_);

    connect(txtStatic_, &QLineEdit::textEdited, this, [this](const QString& t) {
        logic_->SetStaticText(fromUnicode(t));
        Load();
    });
    connect(cmdList_, &QPushButton::clicked, this, [this] {
        if (!wiring_.pickOne) return;
        std::string v = wiring_.pickOne();
        if (v.empty()) return;
        logic_->SetStaticText(v);
        Load();
    });
    Load();
}

void FrmProps::SetLabelRef(int index, bool closeOnApply) {
    logic_->SetLabelRef(index, closeOnApply);
    logic_->UpdateShift();
    Load();
    adjustSize();
}

void FrmProps::UpdateShift() {
    logic_->UpdateShift();
    loading_ = true;
    txtHSpacing_->setText(toUnicode(logic_->hSpacing));
    txtVSpacing_->setText(toUnicode(logic_->vSpacing));
    loading_ = false;
}

void FrmProps::Act(const std::function<void()>& action) {
    Store();
    action();
    if (!logic_->Bound()) {
        if (wiring_.changed) wiring_.changed();
        Finish();
        return;
    }
    Load();
    if (wiring_.changed) wiring_.changed();
}

void FrmProps::Store() {
    LabelPropsLogic& l = *logic_;
    std::string* pos[5] = {&l.left, &l.right, &l.top, &l.width, &l.height};
    for (int i = 0; i < 5; ++i) *pos[i] = fromUnicode(txtPos_[i]->text());
    for (int i = 0; i < 4; ++i)
        if (optCase_[i]->isChecked()) l.caseOption = i;
    l.multiline = chkMult_->isChecked();
    l.charsWide = fromUnicode(txtCharsWide_->text());
    l.linesTall = fromUnicode(txtLinesTall_->text());
    l.rows = fromUnicode(txtRows_->text());
    l.rowsHeight = fromUnicode(txtRowsHeight_->text());
    l.visualizeRows = chkVisualize_->isChecked();
    l.gridRow = fromUnicode(txtGridRow_->text());
    l.hSpacing = fromUnicode(txtHSpacing_->text());
    l.vSpacing = fromUnicode(txtVSpacing_->text());
}

void FrmProps::Load() {
    const LabelPropsLogic& l = *logic_;
    loading_ = true;
    setWindowTitle(toUnicode(l.Title()));
    lblName_->setText(toUnicode(l.LabelName()));
    lblType_->setText(toUnicode(l.TypeText()));
    lblChanged_->setVisible(l.Changed());
    if (fromUnicode(txtStatic_->text()) != l.staticText)
        txtStatic_->setText(toUnicode(l.staticText));
    const std::string* pos[5] = {&l.left, &l.right, &l.top, &l.width, &l.height};
    for (int i = 0; i < 5; ++i) txtPos_[i]->setText(toUnicode(*pos[i]));
    txtPos_[3]->setEnabled(!l.autoSize);
    txtPos_[4]->setEnabled(!l.autoSize);
    const bool bound = !l.IsTemplate();
    position_->setVisible(bound);
    cmdList_->setVisible(bound);
    cmdDelete_->setVisible(bound);
    cmdMore_->setVisible(bound);
    fraGroup_->setVisible(bound && l.groupPanel);
    gridRow_->setVisible(bound);
    lblFontName_->setText(toUnicode(l.preview.fontName));
    lblFontSize_->setText(QString::number(l.preview.fontSize));
    lblBold_->setVisible(l.preview.bold);
    lblItalic_->setVisible(l.preview.italic);
    optAlign_[int(l.alignment)]->setChecked(true);
    chkAutoSize_->setChecked(l.autoSize);
    chkAutoSize_->setEnabled(l.AutoSizeEnabled());
    optCase_[l.caseOption]->setChecked(true);
    chkMult_->setChecked(l.multiline);
    txtCharsWide_->setText(toUnicode(l.charsWide));
    txtLinesTall_->setText(toUnicode(l.linesTall));
    cmdAdjust_->setVisible(l.IsTextBox());
    cmdAdjust_->setText(toUnicode(l.AdjustCaption()));
    fraRows_->setVisible(l.rowsPanel);
    txtRows_->setText(toUnicode(l.rows));
    txtRowsHeight_->setText(toUnicode(l.rowsHeight));
    chkVisualize_->setChecked(l.visualizeRows);
    lblLink_->setText(toUnicode(l.LinkShown()));
    lblLink_->setToolTip(toUnicode(l.linkData));
    txtGridRow_->setText(toUnicode(l.gridRow));
    cmdMore_->setText(toUnicode(l.MoreCaption()));
    for (int i = 0; i < 11; ++i) {
        cmdGroup_[i]->setText(toUnicode(l.GroupCaption(i)));
        cmdGroup_[i]->setToolTip(toUnicode(l.GroupTip(i)));
    }
    txtHSpacing_->setText(toUnicode(l.hSpacing));
    txtVSpacing_->setText(toUnicode(l.vSpacing));
    ShowPreview();
    loading_ = false;
}

void FrmProps::ShowPreview() {
    const LabelControl& p = logic_->preview;
    QFont f(toUnicode(p.fontName));
    f.setPointSizeF(p.fontSize > 0 ? p.fontSize : 8);
    f.setBold(p.bold);
    f.setItalic(p.italic);
    lblPreview_->setFont(f);
    lblPreview_->setText(p.caption.empty() ? LabelPropsLogic::kPreviewCaption
                                           : toUnicode(p.caption));
    Qt::Alignment a = p.alignment == LabelAlignment::Right    ? Qt::AlignRight
                      : p.alignment == LabelAlignment::Centre ? Qt::AlignHCenter
                                                              : Qt::AlignLeft;
    lblPreview_->setAlignment(a | Qt::AlignVCenter);
    // Placed 60 twips in, at the size the label will take.
    const double ppi = logicalDpiX();
    lblPreview_->move(int(60.0 / 1440 * ppi), 2);
    lblPreview_->resize(std::max(20, int(p.width * ppi)), std::max(12, int(p.height * ppi)));
}

void FrmProps::Finish() {
    logic_->Close();
    if (wiring_.changed) wiring_.changed();
    hide();
}

void FrmProps::closeEvent(QCloseEvent* event) {
    logic_->Close();
    if (wiring_.changed) wiring_.changed();
    QDialog::closeEvent(event);
}
