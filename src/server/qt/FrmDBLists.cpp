#include "server/qt/FrmDBLists.h"

#include <QClipboard>
#include <QComboBox>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <exception>

#include "layout/ItemTypes.h"
#include "server/OutsideComponents.h"
#include "shell/UserInterface.h"
#include "shell/qt/QtText.h"

namespace {

QTreeWidget* ListView(const QStringList& columns, const char* name) {
    auto* l = new QTreeWidget;
    l->setObjectName(name);
    l->setHeaderLabels(columns);
    l->setRootIsDecorated(false);
    l->setUniformRowHeights(true);
    l->setSelectionMode(QAbstractItemView::ExtendedSelection);
    return l;
}

template <class W>
W* Named(W* w, const char* name) {
    w->setObjectName(name);
    return w;
}

QPushButton* Button(const char* text, const char* name, QWidget* owner, std::function<void()> act) {
    auto* b = Named(new QPushButton(text), name);
    QObject::connect(b, &QPushButton::clicked, owner, [act = std::move(act)] { act(); });
    return b;
}

void Fill(QTreeWidget* view, const std::vector<QStringList>& rows, int current) {
    view->setUpdatesEnabled(false);
    view->clear();
    QList<QTreeWidgetItem*> items;
    items.reserve(qsizetype(rows.size()));
    for (const QStringList& r : rows) items.append(new QTreeWidgetItem(r));
    view->addTopLevelItems(items);
    if (current >= 0 && current < view->topLevelItemCount())
        view->setCurrentItem(view->topLevelItem(current));
    view->setUpdatesEnabled(true);
}

std::vector<int> ChosenRows(QTreeWidget* view) {
    std::vector<int> rows;
    for (QTreeWidgetItem* it : view->selectedItems()) rows.push_back(view->indexOfTopLevelItem(it));
    std::sort(rows.begin(), rows.end());
    return rows;
}

int CurrentRow(QTreeWidget* view) {
    QTreeWidgetItem* it = view->currentItem();
    return it ? view->indexOfTopLevelItem(it) : -1;
}

QHBoxLayout* Row(std::initializer_list<QWidget*> widgets) {
    auto* row = new QHBoxLayout;
    for (QWidget* w : widgets) row->addWidget(w);
    row->addStretch();
    return row;
}

}  // namespace

FrmDBLists::FrmDBLists(CommComponent& comm, UserInterface& ui, CatalogueHost host, QWidget* parent)
    : QDialog(parent), ui_(ui), host_(std::move(host)), logic_(comm, ui) {
    setObjectName("frmDBLists");
    setWindowTitle("Data Fields, User Prompts, Static Items");
    tabs_ = Named(new QTabWidget, "TabStrip1");
    tabs_->addTab(BuildFieldsTab(), "Data Fields");
    tabs_->addTab(BuildPromptsTab(), "User Prompts");
    tabs_->addTab(BuildStaticTab(), "Static Items");
    auto* all = new QVBoxLayout(this);
    all->addWidget(tabs_);
    resize(900, 620);
}

void FrmDBLists::Guard(const char* label, const std::function<void()>& body) {
    try {
        body();
    } catch (const std::exception& e) {
        ReportError(ui_, label, e.what());
    }
}

QWidget* FrmDBLists::BuildFieldsTab() {
    auto* page = new QWidget;
    lblDB_ = Named(new QLabel, "lblDB");
    cmbTables_ = Named(new QComboBox, "cmbTables");
    cmbTables_->setMaxVisibleItems(25);
    lstFields_ = Named(new QListWidget, "lstFields");
    lstFields_->setUniformItemSizes(true);
    connect(cmbTables_, &QComboBox::activated, this, [this](int i) {
        logic_.ChooseTable(i);
        ShowFields();
    });
    connect(lstFields_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row < 0) return;
        logic_.ChooseField(row);
        ShowProperties();
    });
    auto* props = new QGridLayout;
    const char* captions[] = {"Long name", "Type",  "Short ID", "XML/HL7",
                              "XML TYPE",  "Fetch", "Code"};
    for (int i = 0; i < 7; ++i) {
        props->addWidget(new QLabel(captions[i]), i, 0);
        auto* value = Named(new QLabel, "lblProperty");
        value->setProperty("index", i);
        value->setAutoFillBackground(true);
        value->setMinimumWidth(160);
        props->addWidget(value, i, 1);
        lblProperty_.push_back(value);
    }
    lblFieldCode_ = Named(new QLabel, "lblFieldCode");
    props->addWidget(lblFieldCode_, 7, 1);
    lvwDBFields_ = ListView({"Code", "Long Name"}, "lvwDBFields");
    txtFrom_ = Named(new QLineEdit, "txtFrom");
    txtThru_ = Named(new QLineEdit, "txtThru");
    for (QLineEdit* e : {txtFrom_, txtThru_}) {
        e->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]{0,6}"), e));
        e->setMaximumWidth(60);
    }
    cmbAddFunction_ = Named(new QComboBox, "cmbAddFunction");
    cmbAddFunction_->setEditable(true);
    Guard("ERR in FillPredefinedFunctions     ", [this] {
        for (const auto& f : CatalogueLogic::PredefinedFunctions())
            cmbAddFunction_->addItem(toUnicode(f));
        cmbAddFunction_->setCurrentIndex(-1);
    });
    auto added = [this](bool ok) {
        if (ok) ShowSelectedFields();
    };
    auto* left = new QVBoxLayout;
    left->addWidget(lblDB_);
    left->addWidget(cmbTables_);
    left->addWidget(lstFields_, 1);
    left->addLayout(props);
    auto* right = new QVBoxLayout;
    right->addWidget(lvwDBFields_, 1);
    right->addLayout(Row({Button("Add", "cmdAdd", this, [=, this] { added(logic_.AddField()); }),
                          Button("Remove", "cmdRemove", this, [this] {
                              Guard("ERR in cmdRemove_Click     ", [this] {
                                  std::vector<int> rows = ChosenRows(lvwDBFields_);
                                  for (auto r = rows.rbegin(); r != rows.rend(); ++r)
                                      logic_.fields.erase(logic_.fields.begin() + *r);
                                  ShowSelectedFields();
                              });
                          })}));
    right->addLayout(Row({new QLabel("From"), txtFrom_, new QLabel("Thru"), txtThru_,
                          Button("Add multiple", "cmdAddMultiple", this, [=, this] {
                              added(logic_.AddMultiple(fromUnicode(txtFrom_->text()),
                                                       fromUnicode(txtThru_->text())));
                          })}));
    right->addLayout(
        Row({cmbAddFunction_,
             Button("Add function", "cmdAddFunction", this,
                    [=, this] {
                        added(logic_.AddFunction(fromUnicode(cmbAddFunction_->currentText())));
                    }),
             Button("?", "cmdFunctionInfo", this, [this] {
                 ui_.Message(CatalogueLogic::FunctionInfo(), "Add Function - Info",
                             MessageIcon::Information);
             })}));
    right->addLayout(Row({Button("Apply", "cmdApplyFields", this, [this] { ApplyFields(); }),
                          Button("Exit", "cmdExit", this, [this] { reject(); })}));
    auto* l = new QHBoxLayout(page);
    l->addLayout(left, 1);
    l->addLayout(right, 1);
    return page;
}

QWidget* FrmDBLists::BuildPromptsTab() {
    auto* page = new QWidget;
    lvwPromptsSelected_ =
        ListView({"ID", "Caption", "Type", "Default", "Lkp key", "Req.", "DB field", "Data grid"},
                 "lvwPromptsSelected");
    lvwPromptsSelected_->setSelectionMode(QAbstractItemView::SingleSelection);
    txtID_ = Named(new QLineEdit, "txtID");
    txtCaption_ = Named(new QLineEdit, "txtCaption");
    cmbPromptType_ = Named(new QComboBox, "cmbPromptType");
    for (const auto& t : CatalogueLogic::PromptTypes()) cmbPromptType_->addItem(toUnicode(t));
    txtDefault_ = Named(new QLineEdit, "txtDefault");
    txtDefaultDouble_ = Named(new QLineEdit, "txtDefaultDouble");
    cmbLookupCode_ = Named(new QComboBox, "cmbLookupCode");
    cmbLookupCode_->setEditable(true);
    for (const auto& k : LookupKinds()) cmbLookupCode_->addItem(toUnicode(k.code));
    cmdLookup_ = Button("...", "cmdLookup", this, [this] {
        Guard("Error in Lookup ", [this] {
            if (!host_.picker) return;
            std::string code = CatalogueLogic::PickLookupCode(
                *host_.picker, fromUnicode(cmbLookupCode_->currentText()),
                fromUnicode(txtDefault_->text()));
            if (!code.empty()) txtDefault_->setText(toUnicode(code));
        });
    });
    optYes_ = Named(new QRadioButton("Yes"), "optYes");
    optNo_ = Named(new QRadioButton("No"), "optNo");
    optNo_->setChecked(true);
    txtSelectionField_ = Named(new QLineEdit, "txtSelectionField");
    txtDataGrid_ = Named(new QLineEdit, "txtDataGrid");
    lblFoot1_ = Named(new QLabel, "lblFoot1");
    lblFoot2_ = Named(new QLabel, "lblFoot2");
    lblModifyFlash_ = Named(new QLabel("Modifying"), "lblModifyFlash");
    lblModifyFlash_->setStyleSheet("color: red; font-weight: bold");
    lblModifyFlash_->hide();
    tmrModifyBlink_ = Named(new QTimer(this), "tmrModifyBlink");
    tmrModifyBlink_->setInterval(400);
    connect(tmrModifyBlink_, &QTimer::timeout, this,
            [this] { lblModifyFlash_->setVisible(!lblModifyFlash_->isVisible()); });
    connect(cmbPromptType_, &QComboBox::currentIndexChanged, this, [this] { TypeChosen(); });
    connect(lvwPromptsSelected_, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* it) {
        LoadPrompt(lvwPromptsSelected_->indexOfTopLevelItem(it));
    });

    auto* form = new QGridLayout;
    int r = 0;
    auto line = [&](const char* caption, QWidget* a, QWidget* b = nullptr) {
        form->addWidget(new QLabel(caption), r, 0);
        form->addWidget(a, r, 1);
        if (b) form->addWidget(b, r, 2);
        ++r;
    };
    line("ID", txtID_);
    line("Caption", txtCaption_);
    line("Type", cmbPromptType_);
    line("Default (1)", txtDefault_, txtDefaultDouble_);
    line("Lookup key", cmbLookupCode_, cmdLookup_);
    auto* req = new QWidget;
    auto* reqRow = new QHBoxLayout(req);
    reqRow->setContentsMargins(0, 0, 0, 0);
    reqRow->addWidget(optYes_);
    reqRow->addWidget(optNo_);
    line("Required", req);
    line("DB field (2)", txtSelectionField_);
    line("Data grid", txtDataGrid_);
    form->addWidget(lblFoot1_, r++, 0, 1, 3);
    form->addWidget(lblFoot2_, r++, 0, 1, 3);

    auto* l = new QVBoxLayout(page);
    l->addWidget(lvwPromptsSelected_, 1);
    l->addLayout(Row({Button("Add", "cmdAddPrompt", this,
                             [this] {
                                 if (logic_.AddPrompt(EditedPrompt())) {
                                     SetModifying(false);
                                     ShowPrompts(int(logic_.prompts.size()) - 1);
                                 }
                             }),
                      Button("Modify", "cmdModify", this,
                             [this] {
                                 int row =
                                     modifying_ >= 0 ? modifying_ : CurrentRow(lvwPromptsSelected_);
                                 if (logic_.ModifyPrompt(row, EditedPrompt())) {
                                     SetModifying(false);
                                     ShowPrompts(row);
                                 }
                             }),
                      Button("Remove", "cmdRemove2", this,
                             [this] {
                                 Guard("ERR in cmdRemove2_Click     ", [this] {
                                     if (logic_.RemovePrompt(CurrentRow(lvwPromptsSelected_),
                                                             host_.promptUsed)) {
                                         SetModifying(false);
                                         ShowPrompts();
                                     }
                                 });
                             }),
                      Button("Up", "cmdUp", this,
                             [this] {
                                 ShowPrompts(CatalogueLogic::Move(
                                     logic_.prompts, CurrentRow(lvwPromptsSelected_), -1));
                             }),
                      Button("Down", "cmdDown", this,
                             [this] {
                                 ShowPrompts(CatalogueLogic::Move(
                                     logic_.prompts, CurrentRow(lvwPromptsSelected_), 1));
                             }),
                      lblModifyFlash_}));
    l->addLayout(form);
    l->addLayout(Row({Button("Apply", "cmdApplyPrompts", this, [this] { ApplyPrompts(); }),
                      Button("Exit", "cmdExit2", this, [this] { reject(); })}));
    TypeChosen();
    return page;
}

QWidget* FrmDBLists::BuildStaticTab() {
    auto* page = new QWidget;
    txtStaticCode_ = Named(new QLineEdit, "txtStaticCode");
    txtStaticDescription_ = Named(new QLineEdit, "txtStaticDescription");
    txtStaticOther_ = Named(new QLineEdit, "txtStaticOther");
    lvwStaticList_ = ListView({"Code", "Description", "Other"}, "lvwStaticList");
    lvwStaticSelected_ = ListView({"Code", "Description", "Other"}, "lvwStaticSelected");
    auto available = [this] { ShowStatic(lvwStaticList_, logic_.available); };
    auto chosen = [this](int current = -1) {
        ShowStatic(lvwStaticSelected_, logic_.selected, current);
    };
    auto* sources = new QVBoxLayout;
    sources->addLayout(Row({new QLabel("Code"), txtStaticCode_, new QLabel("Description"),
                            txtStaticDescription_, new QLabel("Other"), txtStaticOther_,
                            Button("Create new item", "cmdCreate", this, [=, this] {
                                logic_.CreateItem(fromUnicode(txtStaticCode_->text()),
                                                  fromUnicode(txtStaticDescription_->text()),
                                                  fromUnicode(txtStaticOther_->text()));
                                available();
                            })}));
    sources->addLayout(Row(
        {Button("Get list from Charge Slip Set", "cmdChargeSlipSets", this,
                [=, this] {
                    Guard("Error in cmdChargeSlipSets_Click ", [&] {
                        if (host_.picker && logic_.ChargeSlipSets(*host_.picker)) available();
                    });
                }),
         Button("Get list from another form", "cmdGetStaticList", this,
                [=, this] {
                    Guard("ERR in frmDBLists.cmdGetStaticList_Click     ", [&] {
                        if (host_.ensureConnected && !host_.ensureConnected()) return;
                        std::string form = host_.selectForm ? host_.selectForm() : "";
                        if (!form.empty() && logic_.AddStaticListOf(form)) available();
                    });
                }),
         Button("Load Table from Clipboard (up to 3 columns)", "cmdGetClipboard", this, [=, this] {
             std::string text = host_.clipboard ? host_.clipboard()
                                                : fromUnicode(QGuiApplication::clipboard()->text());
             logic_.LoadClipboard(text);
             available();
         })}));
    auto* moves = new QVBoxLayout;
    moves->addStretch();
    moves->addWidget(Button(">", "cmdAddStatic", this, [=, this] {
        logic_.AddStatic(ChosenRows(lvwStaticList_));
        chosen();
    }));
    moves->addWidget(Button("<", "cmdRemoveStatic", this, [=, this] {
        logic_.RemoveStatic(ChosenRows(lvwStaticSelected_));
        chosen();
    }));
    moves->addWidget(Button("<<", "cmdRemoveAll", this, [=, this] {
        logic_.selected.clear();
        chosen();
    }));
    moves->addWidget(Button("Up", "cmdStaticUp", this, [=, this] {
        chosen(CatalogueLogic::Move(logic_.selected, CurrentRow(lvwStaticSelected_), -1));
    }));
    moves->addWidget(Button("Down", "cmdStaticDown", this, [=, this] {
        chosen(CatalogueLogic::Move(logic_.selected, CurrentRow(lvwStaticSelected_), 1));
    }));
    moves->addStretch();
    auto* lists = new QHBoxLayout;
    lists->addWidget(lvwStaticList_, 1);
    lists->addLayout(moves);
    lists->addWidget(lvwStaticSelected_, 1);
    auto* l = new QVBoxLayout(page);
    l->addLayout(sources);
    l->addLayout(lists, 1);
    l->addLayout(Row({Button("Apply", "cmdApplyStatic", this, [this] { ApplyStatic(); }),
                      Button("Exit", "cmdExit3", this, [this] { reject(); })}));
    return page;
}

void FrmDBLists::Prepare() {
    Guard("ERR in GetTablesData     ", [this] {
        logic_.GetTablesData();
        ShowTables();
    });
    tabs_->setCurrentIndex(0);
    Guard("ERR in FillSelectedStatic     ", [this] {
        logic_.FillSelected(host_.model, host_.staticItems);
        ShowStatic(lvwStaticSelected_, logic_.selected);
        ShowSelectedFields();
        ShowPrompts();
    });
    setWindowTitle("Data Fields, User Prompts, Static Items");
}

int FrmDBLists::ShowDialog() {
    Prepare();
    return exec();
}

void FrmDBLists::ShowTables() {
    lblDB_->setText(toUnicode(logic_.Database()));
    cmbTables_->clear();
    for (const auto& t : logic_.Tables()) cmbTables_->addItem(toUnicode(t.name), int(t.position));
    cmbTables_->setCurrentIndex(-1);
    logic_.ChooseTable(-1);
    ShowFields();
}

void FrmDBLists::ShowFields() {
    QStringList names;
    names.reserve(qsizetype(logic_.TableFields().size()));
    for (const auto& f : logic_.TableFields()) names.append(toUnicode(f));
    lstFields_->setUpdatesEnabled(false);
    QSignalBlocker block(lstFields_);
    lstFields_->clear();
    lstFields_->addItems(names);
    lstFields_->setUpdatesEnabled(true);
    ShowProperties();
}

void FrmDBLists::ShowProperties() {
    const auto& props = logic_.Properties();
    for (size_t i = 0; i < lblProperty_.size(); ++i) {
        QLabel* l = lblProperty_[i];
        bool has = i < props.size();
        l->setText(has ? toUnicode(props[i]) : QString());
        QPalette p = l->palette();
        p.setColor(QPalette::Window, has ? QColor(255, 255, 255) : QColor(192, 192, 192));
        l->setPalette(p);
    }
    lblFieldCode_->setText(toUnicode(logic_.FieldCode()));
}

void FrmDBLists::ShowSelectedFields() {
    std::vector<QStringList> rows;
    for (const auto& f : logic_.fields) rows.push_back({toUnicode(f.code), toUnicode(f.longName)});
    Fill(lvwDBFields_, rows, -1);
}

void FrmDBLists::ShowPrompts(int current) {
    std::vector<QStringList> rows;
    for (const auto& p : logic_.prompts)
        rows.push_back({toUnicode(p.id), toUnicode(p.caption), toUnicode(p.type),
                        toUnicode(p.defaultValue), toUnicode(p.lookupKey), toUnicode(p.required),
                        toUnicode(p.dbField), toUnicode(p.dataGrid)});
    Fill(lvwPromptsSelected_, rows, current);
}

void FrmDBLists::ShowStatic(QTreeWidget* view, const std::vector<requests::StaticItem>& items,
                            int current) {
    std::vector<QStringList> rows;
    rows.reserve(items.size());
    for (const auto& it : items)
        rows.push_back({toUnicode(it.code), toUnicode(it.description), toUnicode(it.other)});
    Fill(view, rows, current);
}

void FrmDBLists::TypeChosen() {
    CatalogueLogic::TypeLayout l =
        CatalogueLogic::LayoutOfType(fromUnicode(cmbPromptType_->currentText()));
    txtDefaultDouble_->setVisible(l.secondDefault);
    cmbLookupCode_->setVisible(l.lookupKey);
    cmdLookup_->setVisible(l.lookupKey);
    lblFoot1_->setText(toUnicode(l.footnote1));
    lblFoot2_->setText(toUnicode(l.footnote2));
    lblFoot2_->setVisible(!l.footnote2.empty());
}

CatalogueLogic::PromptRow FrmDBLists::EditedPrompt() const {
    CatalogueLogic::PromptRow p;
    p.id = fromUnicode(txtID_->text());
    p.caption = fromUnicode(txtCaption_->text());
    p.type = fromUnicode(cmbPromptType_->currentText());
    CatalogueLogic::TypeLayout l = CatalogueLogic::LayoutOfType(p.type);
    p.defaultValue = l.secondDefault
                         ? CatalogueLogic::JoinDefaults(fromUnicode(txtDefault_->text()),
                                                        fromUnicode(txtDefaultDouble_->text()))
                         : fromUnicode(txtDefault_->text());
    p.lookupKey = l.lookupKey ? fromUnicode(cmbLookupCode_->currentText()) : "";
    // Moved in whole: GCC 12 takes assigning a literal here for an overlapping copy
    // (-Wrestrict) once inlined.
    p.required = std::string(optYes_->isChecked() ? "Y" : "N");
    p.dbField = fromUnicode(txtSelectionField_->text());
    p.dataGrid = fromUnicode(txtDataGrid_->text());
    return p;
}

void FrmDBLists::LoadPrompt(int row) {
    if (row < 0 || size_t(row) >= logic_.prompts.size()) return;
    Guard("ERR in FillDefaultPrompt     ", [&] {
        const auto& p = logic_.prompts[size_t(row)];
        txtID_->setText(toUnicode(p.id));
        txtCaption_->setText(toUnicode(p.caption));
        cmbPromptType_->setCurrentText(toUnicode(p.type));
        size_t sep = p.defaultValue.find('\xBA');
        txtDefault_->setText(toUnicode(p.defaultValue.substr(0, sep)));
        txtDefaultDouble_->setText(
            sep == std::string::npos ? QString() : toUnicode(p.defaultValue.substr(sep + 1)));
        cmbLookupCode_->setCurrentText(toUnicode(p.lookupKey));
        (p.required == "Y" ? optYes_ : optNo_)->setChecked(true);
        txtSelectionField_->setText(toUnicode(p.dbField));
        txtDataGrid_->setText(toUnicode(p.dataGrid));
    });
    modifying_ = row;
    SetModifying(true);
}

void FrmDBLists::SetModifying(bool on) {
    if (!on) modifying_ = -1;
    lblModifyFlash_->setVisible(on);
    if (on)
        tmrModifyBlink_->start();
    else
        tmrModifyBlink_->stop();
}

void FrmDBLists::ApplyFields() {
    Guard("Error in ApplyFields", [this] { logic_.ApplyFields(host_.model); });
}

void FrmDBLists::ApplyPrompts() {
    Guard("Error in ApplyPrompts", [this] { logic_.ApplyPrompts(host_.model); });
}

void FrmDBLists::ApplyStatic() {
    Guard("ERR in ApplyStatic     ", [this] { logic_.ApplyStatic(host_.staticItems); });
}
