#pragma once
// The data catalogue `frmDBLists` over CatalogueLogic: "Data Fields", "User Prompts"
// and "Static Items", each tab with its own Apply (into the form's lists) and Exit.
#include <QDialog>
#include <functional>
#include <string>
#include <vector>

#include "server/CatalogueLogic.h"

class LookupPicker;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QTimer;
class QTreeWidget;

// What the catalogue works on and asks of the window around it.
struct CatalogueHost {
    FormModel& model;
    std::vector<requests::StaticItem>& staticItems;
    LookupPicker* picker = nullptr;
    // Whether a label on the form shows the prompt with this identifier.
    std::function<bool(const std::string& id)> promptUsed;
    std::function<bool()> ensureConnected;
    // The forms browser in select mode: a form name, "" when cancelled.
    std::function<std::string()> selectForm;
    // The clipboard's text as Windows-1252; the system clipboard when not set.
    std::function<std::string()> clipboard;
};

class FrmDBLists : public QDialog {
    Q_OBJECT
  public:
    FrmDBLists(CommComponent& comm, UserInterface& ui, CatalogueHost host,
               QWidget* parent = nullptr);

    // Reads the tables and the form's lists, then shows the dialog modally.
    int ShowDialog();
    // Fetches the tables and fills the three tabs from the form (no showing).
    void Prepare();
    CatalogueLogic& Logic() { return logic_; }
    void ApplyFields();
    void ApplyPrompts();
    void ApplyStatic();

  private:
    QWidget* BuildFieldsTab();
    QWidget* BuildPromptsTab();
    QWidget* BuildStaticTab();
    void ShowTables();
    void ShowFields();
    void ShowProperties();
    void ShowSelectedFields();
    void ShowPrompts(int current = -1);
    void ShowStatic(QTreeWidget* view, const std::vector<requests::StaticItem>& rows,
                    int current = -1);
    void TypeChosen();
    CatalogueLogic::PromptRow EditedPrompt() const;
    void LoadPrompt(int row);
    void SetModifying(bool on);
    // Runs a handler; a failure is reported under the handler's label.
    void Guard(const char* label, const std::function<void()>& body);

    UserInterface& ui_;
    CatalogueHost host_;
    CatalogueLogic logic_;
    QTabWidget* tabs_ = nullptr;
    // Data fields
    QLabel* lblDB_ = nullptr;
    QComboBox* cmbTables_ = nullptr;
    QListWidget* lstFields_ = nullptr;
    std::vector<QLabel*> lblProperty_;
    QLabel* lblFieldCode_ = nullptr;
    QTreeWidget* lvwDBFields_ = nullptr;
    QLineEdit* txtFrom_ = nullptr;
    QLineEdit* txtThru_ = nullptr;
    QComboBox* cmbAddFunction_ = nullptr;
    // User prompts
    QTreeWidget* lvwPromptsSelected_ = nullptr;
    QLineEdit *txtID_ = nullptr, *txtCaption_ = nullptr, *txtDefault_ = nullptr,
              *txtDefaultDouble_ = nullptr, *txtSelectionField_ = nullptr, *txtDataGrid_ = nullptr;
    QComboBox* cmbPromptType_ = nullptr;
    QComboBox* cmbLookupCode_ = nullptr;
    QPushButton* cmdLookup_ = nullptr;
    QRadioButton *optYes_ = nullptr, *optNo_ = nullptr;
    QLabel *lblFoot1_ = nullptr, *lblFoot2_ = nullptr, *lblModifyFlash_ = nullptr;
    QTimer* tmrModifyBlink_ = nullptr;
    int modifying_ = -1;
    // Static items
    QLineEdit *txtStaticCode_ = nullptr, *txtStaticDescription_ = nullptr,
              *txtStaticOther_ = nullptr;
    QTreeWidget* lvwStaticList_ = nullptr;
    QTreeWidget* lvwStaticSelected_ = nullptr;
};
