#pragma once
// Saving the form on the canvas into the server repository and bringing stored
// forms back: the save flow with its questions, opening from the server or the
// local copy, deleting, and the pictures and static list that travel with a form.
// No window: the canvas is reached through the reader's and writer's interfaces.
#include <optional>
#include <string>
#include <vector>

#include "layout/ControlSink.h"
#include "layout/FormModel.h"
#include "layout/LayoutWriter.h"
#include "layout/LocalFolders.h"
#include "server/FormDefinition.h"
#include "server/OutsideComponents.h"
#include "server/Requests.h"

class CommComponent;
class SaveFormPrompt;
class UserInterface;

// Shows the connection dialog modally; true when the designer is connected after it.
class ConnectionPrompt {
  public:
    virtual ~ConnectionPrompt() = default;
    virtual bool Connected() const = 0;
    virtual bool ShowConnectDialog() = 0;
};

struct FormFlowOptions {
    bool loadFromLocalFiles = false;   // "OPTION - Load from local files if available"
    bool doNotUseLocalFolder = false;  // "OPTION - Do not use local folder"
};

// The forms list as the local folders see it (time stamps of forms and pictures).
class DefinitionsCatalogue : public FormsCatalogue {
  public:
    explicit DefinitionsCatalogue(const FormsDefinitions& list) : list_(list) {}
    bool Empty() const override { return list_.Empty(); }
    bool ImageTimeStamp(const std::string& formCode, const std::string& baseName,
                        const std::string& extension, std::string& stamp) const override;
    std::optional<std::string> FormTimeStamp(const std::string& formCode) const override;

  private:
    const FormsDefinitions& list_;
};

enum class SaveOutcome {
    Saved,     // stored; local copy and forms list updated
    Refused,   // the server answered with an error; nothing local changed
    Failed,    // no reply (link down): the form stays as it is on the canvas, unsaved
    NotSaved,  // cancelled, nothing to save, or the checks said no
};

class FormFlows {
  public:
    FormFlows(CommComponent& comm, UserInterface& ui, const LocalFolders& folders, FormModel& model,
              ControlSink& sink, LayoutSource& source, const TextMetrics& metrics);

    void SetConnectionPrompt(ConnectionPrompt* prompt) { connection_ = prompt; }
    void SetSavePrompt(SaveFormPrompt* prompt) { savePrompt_ = prompt; }
    void SetComponentFactory(const OutsideComponentFactory& f) { factory_ = f; }
    // A save sends this layout, not one written from the form (which then only gives
    // the settings and pictures).
    void SetPreparedLayout(PreparedLayout* layout) { prepared_ = layout; }
    FormFlowOptions& Options() { return options_; }
    CommComponent& Comm() { return comm_; }
    FormsDefinitions& Definitions() { return definitions_; }
    OutsideComponents& Components() { return components_; }
    // The form's static items (code, description, other).
    std::vector<requests::StaticItem>& StaticItems() { return staticItems_; }

    bool EnsureConnected();
    SaveOutcome SaveFormToServer(bool showDialog, bool restoreOnCancel = false,
                                 bool overwriteMode = false);
    bool OpenFormFromServer(const std::string& name);
    bool LoadLayoutFromServer(const std::string& name, bool fetch);
    bool DeleteForm(const std::string& name);
    bool FormExistsOnServer(const std::string& name, std::string& storedName);
    // Makes a listed form the current one (name, description, type, document type,
    // time stamp).
    void UpdateCurrReportProps(const FormDefinition& def);
    // Fetches the pictures the layout names that are missing locally or older than
    // the server's, recording each fetched picture's time stamp in the local copy.
    // Gives the pictures that are now as the server holds them.
    std::vector<std::string> FetchPictures(const std::string& form, const std::string& layout);
    // The form's time stamp in the forms list as last read ("" when not listed);
    // nothing when no list has been read.
    std::optional<std::string> ListedTimeStamp(const std::string& formCode) const;
    // Links the outside components to the link (once); for a connection made from
    // the connection dialog as well as for EnsureConnected.
    void CreateComponents();

  private:
    struct Identity {
        std::string code, name, type, documentType;
    };
    Identity Remember() const;
    void Restore(const Identity& id);
    bool ReadOntoCanvas(const std::string& layout);
    // Names the pictures that cannot go with the save; true when the user saves without.
    bool SaveWithoutPictures(const std::vector<std::string>& missing);
    // The layout with the server's time stamps of the given pictures.
    std::string StampPictures(const std::string& form, std::string layout,
                              const std::vector<std::string>& pictures) const;

    CommComponent& comm_;
    UserInterface& ui_;
    const LocalFolders& folders_;
    FormModel& model_;
    ControlSink& sink_;
    LayoutSource& source_;
    const TextMetrics& metrics_;
    ConnectionPrompt* connection_ = nullptr;
    SaveFormPrompt* savePrompt_ = nullptr;
    PreparedLayout* prepared_ = nullptr;
    OutsideComponentFactory factory_;
    OutsideComponents components_;
    FormFlowOptions options_;
    FormsDefinitions definitions_;
    std::vector<requests::StaticItem> staticItems_;
};
