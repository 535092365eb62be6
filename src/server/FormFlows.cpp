#include "server/FormFlows.h"

#include <optional>

#include "layout/LayoutReader.h"
#include "layout/LayoutWriter.h"
#include "layout/SaveValidation.h"
#include "server/CommComponent.h"
#include "server/RepositoryCommands.h"
#include "server/SaveFormPrompt.h"
#include "shell/AtomicFile.h"
#include "shell/TextUtils.h"
#include "shell/UserInterface.h"
#include "wire/Framing.h"

namespace {
const char* const kSavingTitle = "Saving Form...";

std::string LowerTrim(const std::string& s) {
    return text::ToLower(text::Trim(s));
}
}  // namespace

bool DefinitionsCatalogue::ImageTimeStamp(const std::string& formCode, const std::string& baseName,
                                          const std::string& extension, std::string& stamp) const {
    const FormDefinition* def = list_.Find(formCode, true);
    if (!def) return false;
    for (const auto& img : def->images)
        if (!img.IsBlank() && img.baseName == baseName && img.extension == extension) {
            stamp = img.timeStamp;
            return true;
        }
    return false;
}

std::optional<std::string> DefinitionsCatalogue::FormTimeStamp(const std::string& formCode) const {
    const FormDefinition* def = list_.Find(formCode, true);
    if (!def) return std::nullopt;
    return def->timeStamp;
}

FormFlows::FormFlows(CommComponent& comm, UserInterface& ui, const LocalFolders& folders,
                     FormModel& model, ControlSink& sink, LayoutSource& source,
                     const TextMetrics& metrics)
    : comm_(comm),
      ui_(ui),
      folders_(folders),
      model_(model),
      sink_(sink),
      source_(source),
      metrics_(metrics) {}

bool FormFlows::EnsureConnected() {
    bool connected = connection_ && connection_->Connected();
    if (!connected) connected = connection_ && connection_->ShowConnectDialog();
    if (connected) CreateComponents();
    return connected;
}

void FormFlows::CreateComponents() {
    // The outside components are made once, the first time a link exists.
    CreateAndLinkComponents(components_, comm_, folders_.Root(), "formdesigner", factory_);
}

std::optional<std::string> FormFlows::ListedTimeStamp(const std::string& formCode) const {
    if (definitions_.Empty()) return std::nullopt;
    const FormDefinition* def = definitions_.Find(formCode, true);
    return def ? def->timeStamp : std::string();
}

FormFlows::Identity FormFlows::Remember() const {
    const FormSettings& s = model_.settings;
    return {s.formCode, s.formName, s.formType, s.formDocumentType};
}

void FormFlows::Restore(const Identity& id) {
    FormSettings& s = model_.settings;
    s.formCode = id.code;
    s.formName = id.name;
    s.formType = id.type;
    s.formDocumentType = id.documentType;
}

void FormFlows::UpdateCurrReportProps(const FormDefinition& def) {
    FormSettings& s = model_.settings;
    s.formCode = def.name;
    s.formName = def.description;
    s.formType = def.type;
    s.formDocumentType = def.documentType;
    s.timeStamp = def.timeStamp;
}

bool FormFlows::FormExistsOnServer(const std::string& name, std::string& storedName) {
    storedName.clear();
    if (!requests::UpdateFormsDefinitions(comm_, ui_, definitions_)) return false;
    const FormDefinition* def = definitions_.Find(name, true);
    if (!def) return false;
    storedName = def->name;
    return true;
}

SaveOutcome FormFlows::SaveFormToServer(bool showDialog, bool restoreOnCancel, bool overwriteMode) {
    std::string nameToRestore;
    // Each question may send the user round again; a pass ends in a save or a stop.
    for (int pass = 0; pass < 16; ++pass) {
        if (!EnsureConnected()) return SaveOutcome::NotSaved;
        const Identity remembered = Remember();
        FormSettings& s = model_.settings;
        bool dialogShown = false;
        // The form this save replaces is deleted only once the new one is ready to go.
        std::optional<std::string> replaced;
        if (showDialog || s.formCode.empty()) {
            dialogShown = true;
            bool confirmed = savePrompt_ && savePrompt_->ShowSaveDialog(s, overwriteMode);
            if (!confirmed) {
                if (restoreOnCancel && !nameToRestore.empty()) s.formCode = nameToRestore;
                ui_.Message("Form not saved.", kSavingTitle, MessageIcon::Information);
                return SaveOutcome::NotSaved;
            }
            std::string stored;
            if (s.formCode != remembered.code && FormExistsOnServer(s.formCode, stored)) {
                if (!ui_.YesNo("Form '" + s.formCode + "' already exists.\r\n" +
                                   "Do you want to overwrite the existing Form?",
                               kSavingTitle)) {
                    Restore(remembered);
                    restoreOnCancel = overwriteMode = false;
                    continue;
                }
                replaced = stored;
            }
        }
        if (!dialogShown && components_.utility &&
            (requests::EMRRecordsAlreadyExist(comm_, ui_, *components_.utility, s.formCode, true) ||
             requests::EMRRecordsAlreadyExist(comm_, ui_, *components_.utility, s.formCode,
                                              false))) {
            bool differentName = ui_.YesNo(
                "Saved records for form '" + s.formCode + "' already exist.\r\n" +
                    "Do you want to save this form with a different name?\r\n\r\n" +
                    "'Yes' - Save with different name.\r\n'No'  - Overwrite existing form.",
                kSavingTitle);
            if (differentName) {
                nameToRestore = remembered.code;
                Restore(remembered);
                s.formCode = CreateSuffixForForm(remembered.code);
                showDialog = restoreOnCancel = true;
                overwriteMode = false;
            } else {
                Restore(remembered);
                showDialog = overwriteMode = true;
                restoreOnCancel = false;
            }
            continue;
        }

        const std::string stamp = ListedTimeStamp(s.formCode).value_or("");
        std::string layout;
        if (prepared_) {
            if (!prepared_->Validate(ui_)) return SaveOutcome::NotSaved;
            layout = prepared_->Write(stamp);
        } else {
            if (!ValidateUserPromptsLabels(model_, source_, ui_, true))
                return SaveOutcome::NotSaved;
            if (!ValidateDataBoundLabels(model_, source_, ui_, true)) return SaveOutcome::NotSaved;
            if (!BuildFormItemsArray(model_, source_, ui_)) return SaveOutcome::NotSaved;
            LayoutWriter writer(model_, source_, ui_);
            writer.SetListedTimeStamp(stamp);
            layout = writer.ReassembleData();
        }
        const std::string staticList = requests::FormatStaticList(staticItems_);
        if (layout.empty() || ReportIsEmpty(layout)) {
            Restore(remembered);
            ui_.Message("There is no data to save.", "Form not saved", MessageIcon::Warning);
            return SaveOutcome::NotSaved;
        }
        // The record is the layout behind its head, made in the layout's own room: a large
        // form is not held twice.
        const std::string head =
            requests::SaveRecordHead(s.formCode, s.formName, s.formType, s.formDocumentType);
        std::string record = std::move(layout.insert(0, head));
        const std::string_view layoutText = std::string_view(record).substr(head.size());
        if (record.size() > wire::kMaxFormRecordBytes) {
            Restore(remembered);
            ui_.Message("The form is too large to save (" + std::to_string(record.size()) +
                            " bytes; the server keeps forms of at most " +
                            std::to_string(wire::kMaxFormRecordBytes) +
                            " bytes).\r\nNothing was sent to the server.",
                        "Form not saved", MessageIcon::Warning);
            return SaveOutcome::NotSaved;
        }
        // Every picture the layout names is read before anything is sent, so a missing one
        // is named while the stored form is still whole.
        std::vector<std::string> missing;
        std::vector<requests::SavePicture> pictures =
            requests::ReadSavePictures(s.formCode, layoutText, folders_.ImagesFolder(), missing);
        if (!missing.empty() && !SaveWithoutPictures(missing)) {
            Restore(remembered);
            ui_.Message("Form not saved.", kSavingTitle, MessageIcon::Information);
            return SaveOutcome::NotSaved;
        }
        // Layout, pictures and static list go as one upload and are stored together; the
        // server drops the pictures the new layout no longer names.
        requests::SaveResult result =
            requests::SaveFormUpload(comm_, ui_, s.formCode, record, pictures, staticList);
        if (result == requests::SaveResult::Failed) return SaveOutcome::Failed;
        if (result == requests::SaveResult::Refused) return SaveOutcome::Refused;
        // The form replaced under another spelling of its name goes only once this one is
        // stored, so a failed save leaves it.
        if (replaced && !replaced->empty() && *replaced != s.formCode)
            requests::DeleteReport(comm_, ui_, *replaced);
        sink_.UpdateCaption();
        ui_.Message("Form Saved.", "Save", MessageIcon::Information);
        if (s.statement && ui_.YesNo("Mark this form as not active?", "Statement Form"))
            requests::SaveActiveSelected(comm_, ui_, s.formCode, false, false);
        if (!requests::UpdateFormsDefinitions(comm_, ui_, definitions_)) return SaveOutcome::Saved;
        // The pictures on the canvas carry the stamps the server gave their uploads.
        for (const std::string& name : requests::ImagesOfLayout(layoutText))
            sink_.UpdatePictureTimeStamp(name, definitions_.ImageTimeStamp(s.formCode, name));
        if (!options_.doNotUseLocalFolder) {
            const FormDefinition* def = definitions_.Find(s.formCode, true);
            std::string path = folders_.LocalFormCopyPath(s.formCode);
            if (def && !path.empty()) {
                DefinitionsCatalogue catalogue(definitions_);
                std::string stamped = folders_.UpdateDataWithImageTimeStamps(
                    s.formCode, UpdateDataWithTimeStamp(layoutText, def->timeStamp), catalogue);
                SaveDataToFile(path, stamped, ui_);
                UpdateCurrReportProps(*def);
            }
        }
        return SaveOutcome::Saved;
    }
    return SaveOutcome::NotSaved;
}

bool FormFlows::SaveWithoutPictures(const std::vector<std::string>& missing) {
    std::string names;
    for (const auto& name : missing) names += "\r\n    " + name;
    return ui_.YesNo("The form names pictures that cannot be read from the images folder (" +
                         folders_.ImagesFolder() + "):" + names +
                         "\r\n\r\nSave the form without them?",
                     kSavingTitle);
}

bool FormFlows::ReadOntoCanvas(const std::string& layout) {
    LayoutReader reader(model_, sink_, metrics_, ui_);
    return reader.BuildForm(layout);
}

std::string FormFlows::StampPictures(const std::string& form, std::string layout,
                                     const std::vector<std::string>& pictures) const {
    DefinitionsCatalogue catalogue(definitions_);
    for (const std::string& name : pictures)
        layout = folders_.UpdateDataWithImageTimeStamps(form, layout, catalogue, name);
    return layout;
}

std::vector<std::string> FormFlows::FetchPictures(const std::string& form,
                                                  const std::string& layout) {
    std::vector<std::string> current;
    DefinitionsCatalogue catalogue(definitions_);
    std::string images = folders_.ImagesFolder();
    for (const std::string& name : requests::ImagesOfLayout(layout)) {
        if (!IsSafeFileName(name)) {
            // A picture name is a file name in the images folder, never a path.
            ui_.Message("The picture name '" + name + "' cannot be used as a file name.",
                        "Load Layout", MessageIcon::Warning);
            continue;
        }
        std::string serverStamp = definitions_.ImageTimeStamp(form, name);
        if (serverStamp.empty()) continue;  // the server does not hold it
        bool present = files::FileExists(images + "/" + name);
        bool isBackground = false;
        std::string localStamp = folders_.LocalPictureTimeStamp(form, isBackground, name);
        if (localStamp.empty())
            localStamp = folders_.LocalPictureTimeStamp(form, !isBackground, name);
        if (!(present && LowerTrim(localStamp) == LowerTrim(serverStamp))) {
            if (!requests::LoadImageToFileFromDB(comm_, ui_, form, serverStamp, name, images))
                continue;
            folders_.UpdateFileWithImageTimeStamp(form, catalogue, name);
        }
        current.push_back(name);
    }
    return current;
}

bool FormFlows::LoadLayoutFromServer(const std::string& name, bool fetch) {
    std::string path = folders_.LocalFormCopyPath(name);
    if (path.empty()) {
        ui_.Message("The form name '" + name + "' cannot be used as a file name.", "Load Layout",
                    MessageIcon::Warning);
        return false;
    }
    if (!fetch || options_.doNotUseLocalFolder) {
        std::string local;
        std::string error;
        if (files::FileExists(path) &&
            LowerTrim(folders_.LocalFormTimeStamp(name)) == LowerTrim(model_.settings.timeStamp) &&
            files::ReadWholeFile(path, local, error)) {
            return ReadOntoCanvas(StampPictures(name, local, FetchPictures(name, local)));
        }
    }
    std::string layout;
    if (!requests::LoadLayoutText(comm_, ui_, name, layout)) return false;
    LayoutOrigin previous = model_.settings.layoutOrigin;
    if (layout.empty()) return false;
    model_.settings.layoutOrigin = LayoutOrigin::Server;
    std::string stamp = model_.settings.timeStamp;
    std::string prepared = UpdateDataWithTimeStamp(PrepareLayoutData(layout), stamp);
    // The copy kept locally records the pictures it now has beside it.
    prepared = StampPictures(name, prepared, FetchPictures(name, prepared));
    if (!ReadOntoCanvas(prepared)) {
        model_.settings.layoutOrigin = previous;
        return false;
    }
    model_.settings.layoutOrigin = LayoutOrigin::Server;
    if (requests::UpdateFormsDefinitions(comm_, ui_, definitions_) &&
        !options_.doNotUseLocalFolder) {
        SaveDataToFile(path, prepared, ui_);
        if (const FormDefinition* def = definitions_.Find(name, true)) UpdateCurrReportProps(*def);
    }
    return true;
}

bool FormFlows::OpenFormFromServer(const std::string& name) {
    if (!EnsureConnected()) return false;
    const FormDefinition* def = definitions_.Find(name, true);
    if (!def) {
        if (!requests::UpdateFormsDefinitions(comm_, ui_, definitions_)) return false;
        def = definitions_.Find(name, true);
    }
    if (def) UpdateCurrReportProps(*def);
    std::string stored = def ? def->name : name;
    if (!LoadLayoutFromServer(stored, !options_.loadFromLocalFiles)) return false;
    std::string list;
    requests::GetStaticList(comm_, ui_, stored, list);
    staticItems_ = requests::ReadStaticList(list);
    return true;
}

bool FormFlows::DeleteForm(const std::string& name) {
    if (!EnsureConnected()) return false;
    return requests::DeleteReport(comm_, ui_, name);
}
