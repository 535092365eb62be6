#include "dialogs/qt/FrmSize.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QColorDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "dialogs/FormSizeHost.h"
#include "dialogs/qt/FieldBehaviour.h"
#include "layout/FormSettings.h"
#include "shell/TextUtils.h"
#include "shell/qt/QtText.h"

namespace {

// A group whose tag names the tab that shows it.
QGroupBox* Group(const char* title, const char* tag) {
    auto* g = new QGroupBox(title);
    g->setObjectName(tag);
    return g;
}

QWidget* YesNo(QRadioButton*& yes, QRadioButton*& no) {
    auto* w = new QWidget;
    auto* row = new QHBoxLayout(w);
    row->setContentsMargins(0, 0, 0, 0);
    yes = new QRadioButton("Yes");
    no = new QRadioButton("No");
    row->addWidget(yes);
    row->addWidget(no);
    row->addStretch();
    auto* group = new QButtonGroup(w);
    group->addButton(yes);
    group->addButton(no);
    return w;
}

QWidget* Swatch(QLabel*& swatch, QPushButton*& button) {
    auto* w = new QWidget;
    auto* row = new QHBoxLayout(w);
    row->setContentsMargins(0, 0, 0, 0);
    swatch = new QLabel;
    swatch->setFixedSize(40, 20);
    swatch->setFrameShape(QFrame::Box);
    button = new QPushButton("...");
    button->setFixedWidth(28);
    row->addWidget(swatch);
    row->addWidget(button);
    row->addStretch();
    return w;
}

QWidget* Inches(QLineEdit* field) {
    auto* w = new QWidget;
    auto* row = new QHBoxLayout(w);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(field);
    row->addWidget(new QLabel("inch"));
    row->addStretch();
    return w;
}

QWidget* Page(QGroupBox* g) {
    auto* page = new QWidget;
    auto* v = new QVBoxLayout(page);
    v->addWidget(g);
    v->addStretch();
    return page;
}

}  // namespace

FrmSize::FrmSize(FormSettings& settings, FormSizeHost& host, UserInterface& ui, QWidget* parent)
    : QDialog(parent), host_(host), ui_(ui), logic_(settings) {
    setWindowTitle("Form Setup");
    chooseColour_ = [this](int& bgr) {
        QColor c = QColorDialog::getColor(ColourFromBgr(bgr), this);
        if (!c.isValid()) return false;
        bgr = BgrFromColour(c);
        return true;
    };

    // Type
    chkInteractive_ = new QCheckBox("Interactive");
    chkPosting_ = new QCheckBox("Post Charges from Form");
    chkSingleRecord_ = new QCheckBox("Single Record");
    chkSignpad_ = new QCheckBox("Use with Signature Pad");
    chkOpenLast_ = new QCheckBox("Show last saved record on 'Open'");
    chkLookupPC_ = new QCheckBox("PC ookup on dbl-clcik");
    chkLookupDG_ = new QCheckBox("DG lookup on dbl-clcik");
    chkOBGYN_ = new QCheckBox("OBGYN Encounter");
    chkSaveImage_ = new QCheckBox("Save image");
    chkDataGrid_ = new QCheckBox("Data Grid (will be populated dynamically)");
    lblObgynNote_ = new QLabel(FormSizeLogic::kObgynNote);
    lblObgynNote_->setWordWrap(true);
    auto* type = Group("", "TYPE");
    {
        auto* v = new QVBoxLayout(type);
        for (QWidget* w :
             {static_cast<QWidget*>(chkInteractive_), (QWidget*)chkPosting_,
              (QWidget*)chkSingleRecord_, (QWidget*)chkSignpad_, (QWidget*)chkOpenLast_,
              (QWidget*)chkLookupPC_, (QWidget*)chkLookupDG_, (QWidget*)chkOBGYN_,
              (QWidget*)lblObgynNote_, (QWidget*)chkSaveImage_, (QWidget*)chkDataGrid_})
            v->addWidget(w);
    }

    // Layout
    txtWidth_ = new QLineEdit;
    txtHeight_ = new QLineEdit;
    txtPages_ = new QLineEdit;
    optLandscape_ = new QRadioButton("Landscape");
    optPortrait_ = new QRadioButton("Portrait");
    auto* layoutPage = new QWidget;
    layoutPage->setObjectName("LAYOUT");
    {
        auto* size = Group("Form Size", "LAYOUT");
        auto* f = new QFormLayout(size);
        f->addRow("Width:", txtWidth_);
        f->addRow("Height:", txtHeight_);
        auto* orientation = Group("Orientation", "LAYOUT");
        auto* o = new QVBoxLayout(orientation);
        o->addWidget(optLandscape_);
        o->addWidget(optPortrait_);
        auto* pages = Group("Number of Pages", "LAYOUT");
        auto* p = new QVBoxLayout(pages);
        p->addWidget(txtPages_);
        auto* v = new QVBoxLayout(layoutPage);
        v->addWidget(size);
        v->addWidget(orientation);
        v->addWidget(pages);
        v->addStretch();
    }

    // Print
    auto* print = Group("Print Selected Items", "PRINT");
    {
        auto* f = new QFormLayout(print);
        f->addRow("Border:", YesNo(optBorderYes_, optBorderNo_));
        f->addRow("Border Color:", Swatch(picBorderColor_, cmdBorderColor_));
        f->addRow("Shaded:", YesNo(optShadedYes_, optShadedNo_));
        f->addRow("Shade Color:", Swatch(picShadeColor_, cmdShadeColor_));
    }

    // Other
    txtHShift_ = new QLineEdit;
    txtVShift_ = new QLineEdit;
    auto* other = Group("Adjusting position", "OTHER");
    {
        auto* f = new QFormLayout(other);
        f->addRow("H shift:", Inches(txtHShift_));
        f->addRow("V shift:", Inches(txtVShift_));
    }

    // Statements
    chkIsStatement_ = new QCheckBox("Is Statement");
    txtTags_ = new QPlainTextEdit;
    txtTags_->setTabChangesFocus(true);
    txtTags_->installEventFilter(this);
    SelectAllOnFocus(txtTags_);
    auto* statements = Group("", "STATEMENTS");
    {
        auto* v = new QVBoxLayout(statements);
        v->addWidget(chkIsStatement_);
        auto* hint = new QLabel(FormSizeLogic::kTagHint);
        hint->setWordWrap(true);
        v->addWidget(hint);
        v->addWidget(txtTags_);
    }

    tabs_ = new QTabWidget;
    tabs_->addTab(Page(type), "Type");
    tabs_->addTab(layoutPage, "Layout");
    tabs_->addTab(Page(print), "Print");
    tabs_->addTab(Page(other), "Other");
    tabs_->addTab(Page(statements), "Statements");
    tabs_->setCurrentIndex(1);

    cmdOK_ = new QPushButton("OK");
    cmdCancel_ = new QPushButton("Cancel");
    cmdOK_->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK_);
    buttons->addWidget(cmdCancel_);
    auto* all = new QVBoxLayout(this);
    all->addWidget(tabs_);
    setMinimumWidth(460);
    all->addLayout(buttons);

    for (QLineEdit* f : {txtWidth_, txtHeight_, txtPages_, txtHShift_, txtVShift_})
        SelectAllOnFocus(f);

    connect(chkInteractive_, &QCheckBox::toggled, this, [this] { TypeBoxChanged(true); });
    for (QCheckBox* b : {chkPosting_, chkSingleRecord_, chkSignpad_, chkOpenLast_, chkLookupPC_,
                         chkLookupDG_, chkOBGYN_, chkSaveImage_, chkDataGrid_, chkIsStatement_})
        connect(b, &QCheckBox::toggled, this, [this] { TypeBoxChanged(false); });
    connect(optLandscape_, &QRadioButton::clicked, this, [this] { logic_.SetLandscape(true); });
    connect(optPortrait_, &QRadioButton::clicked, this, [this] { logic_.SetLandscape(false); });
    connect(cmdBorderColor_, &QPushButton::clicked, this, [this] { PickColour(true); });
    connect(cmdShadeColor_, &QPushButton::clicked, this, [this] { PickColour(false); });
    connect(cmdOK_, &QPushButton::clicked, this, &FrmSize::PressOk);
    connect(cmdCancel_, &QPushButton::clicked, this, &FrmSize::reject);
}

void FrmSize::Prepare(double width, double height) {
    logic_.Load(width, height);
    ShowValues();
}

void FrmSize::ShowFormSettingsDialog(double width, double height) {
    Prepare(width, height);
    exec();
}

bool FrmSize::RunPageSetup(FormSettings& settings, FormSizeHost& host, UserInterface& ui,
                           QWidget* parent, double width, double height) {
    FrmSize dlg(settings, host, ui, parent);
    dlg.ShowFormSettingsDialog(width, height);
    if (dlg.Cancelled()) return false;
    settings.pageWidth = dlg.FormWidthValue();
    settings.pageHeight = dlg.FormHeightValue();
    host.SetPage(settings.pageWidth, settings.pageHeight, false);
    return true;
}

void FrmSize::ShowValues() {
    filling_ = true;
    txtWidth_->setText(toUnicode(logic_.width));
    txtHeight_->setText(toUnicode(logic_.height));
    txtHShift_->setText(toUnicode(logic_.horizontalShift));
    txtVShift_->setText(toUnicode(logic_.verticalShift));
    txtPages_->setText(toUnicode(logic_.numberOfPages));
    (logic_.Landscape() ? optLandscape_ : optPortrait_)->setChecked(true);
    chkInteractive_->setChecked(logic_.interactive);
    chkPosting_->setChecked(logic_.posting);
    chkSingleRecord_->setChecked(logic_.singleRecord);
    chkSignpad_->setChecked(logic_.signpad);
    chkOpenLast_->setChecked(logic_.openLast);
    chkLookupPC_->setChecked(logic_.lookupPC);
    chkLookupDG_->setChecked(logic_.lookupDG);
    chkOBGYN_->setChecked(logic_.obgyn);
    chkSaveImage_->setChecked(logic_.saveImage);
    chkDataGrid_->setChecked(logic_.dataGrid);
    chkIsStatement_->setChecked(logic_.isStatement);
    txtTags_->setPlainText(toUnicode(text::ReplaceAll(logic_.gridTagText, "\r\n", "\n")));
    (logic_.borderYes ? optBorderYes_ : optBorderNo_)->setChecked(true);
    (logic_.shadedYes ? optShadedYes_ : optShadedNo_)->setChecked(true);
    filling_ = false;
    ShowStates();
}

void FrmSize::ShowStates() {
    const bool on = logic_.DependentOptionsEnabled();
    for (QCheckBox* b : {chkPosting_, chkSignpad_, chkOpenLast_, chkSingleRecord_, chkLookupDG_,
                         chkLookupPC_, chkOBGYN_})
        b->setEnabled(on);
    lblObgynNote_->setVisible(logic_.ObgynNoteVisible());
    txtTags_->setEnabled(logic_.TagFieldEnabled());
    SetBackground(txtTags_, logic_.TagFieldBackground());
    txtPages_->setEnabled(logic_.PagesFieldEnabled());
    SetBackground(txtPages_, logic_.PagesFieldBackground());
    SetBackground(picBorderColor_, logic_.borderColor);
    SetBackground(picShadeColor_, logic_.shadeColor);
}

void FrmSize::ReadValues() {
    logic_.width = fromUnicode(txtWidth_->text());
    logic_.height = fromUnicode(txtHeight_->text());
    logic_.horizontalShift = fromUnicode(txtHShift_->text());
    logic_.verticalShift = fromUnicode(txtVShift_->text());
    logic_.numberOfPages = fromUnicode(txtPages_->text());
    logic_.interactive = chkInteractive_->isChecked();
    logic_.posting = chkPosting_->isChecked();
    logic_.singleRecord = chkSingleRecord_->isChecked();
    logic_.signpad = chkSignpad_->isChecked();
    logic_.openLast = chkOpenLast_->isChecked();
    logic_.lookupPC = chkLookupPC_->isChecked();
    logic_.lookupDG = chkLookupDG_->isChecked();
    logic_.obgyn = chkOBGYN_->isChecked();
    logic_.saveImage = chkSaveImage_->isChecked();
    logic_.dataGrid = chkDataGrid_->isChecked();
    logic_.isStatement = chkIsStatement_->isChecked();
    logic_.gridTagText = text::ReplaceAll(fromUnicode(txtTags_->toPlainText()), "\n", "\r\n");
    logic_.borderYes = optBorderYes_->isChecked();
    logic_.shadedYes = optShadedYes_->isChecked();
}

void FrmSize::TypeBoxChanged(bool interactiveChanged) {
    if (filling_) return;
    ReadValues();
    if (interactiveChanged) {
        logic_.ApplyInteractiveDependencies();
        filling_ = true;
        for (auto [box, value] : {std::pair{chkPosting_, logic_.posting},
                                  {chkSignpad_, logic_.signpad},
                                  {chkOpenLast_, logic_.openLast},
                                  {chkSaveImage_, logic_.saveImage},
                                  {chkLookupDG_, logic_.lookupDG},
                                  {chkLookupPC_, logic_.lookupPC},
                                  {chkOBGYN_, logic_.obgyn}})
            box->setChecked(value);
        filling_ = false;
    }
    ShowStates();
}

void FrmSize::PickColour(bool border) {
    int& colour = border ? logic_.borderColor : logic_.shadeColor;
    int chosen = colour;
    if (!chooseColour_ || !chooseColour_(chosen)) return;
    colour = chosen & 0xFFFFFF;
    ShowStates();
}

void FrmSize::PressOk() {
    ReadValues();
    if (logic_.Ok(host_, ui_)) {
        hide();
        return;
    }
    QLineEdit* field = nullptr;
    switch (logic_.FocusField()) {
        case FormSizeLogic::Field::Width:
            field = txtWidth_;
            break;
        case FormSizeLogic::Field::Height:
            field = txtHeight_;
            break;
        case FormSizeLogic::Field::HorizontalShift:
            field = txtHShift_;
            break;
        case FormSizeLogic::Field::VerticalShift:
            field = txtVShift_;
            break;
        case FormSizeLogic::Field::NumberOfPages:
            field = txtPages_;
            break;
        case FormSizeLogic::Field::None:
            break;
    }
    if (!field) return;
    for (int i = 0; i < tabs_->count(); ++i)
        if (tabs_->widget(i)->isAncestorOf(field)) tabs_->setCurrentIndex(i);
    field->setFocus();
    field->selectAll();
}

void FrmSize::reject() {
    logic_.Cancel();
    QDialog::reject();
}

bool FrmSize::eventFilter(QObject* watched, QEvent* event) {
    // Ctrl+Tab types the TAB that separates a tag number from its value.
    if (watched == txtTags_ && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Tab && (key->modifiers() & Qt::ControlModifier)) {
            txtTags_->insertPlainText("\t");
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
