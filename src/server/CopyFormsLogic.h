#pragma once
// The copy window without its window: two links of its own (source and target), the
// three lists, moving forms between them with the overwrite question, and the copy of
// layouts and pictures from one server to the other. The command line's "forms copy"
// runs the same copy.
#include <functional>
#include <string>
#include <vector>

#include "server/FormDefinition.h"
#include "shell/StartOptions.h"

class CommComponent;
class UserInterface;

// How one form fared; the summary and the command line's exit status are built from it.
struct CopyResult {
    // Failed: nothing of the form's layout was written (missingPictures says when a
    // picture was the cause); Skipped: the overwrite question was answered Cancel.
    enum class Outcome { Whole, Skipped, Failed };
    std::string name;
    Outcome outcome = Outcome::Failed;
    std::vector<std::string> missingPictures;
};

class CopyFormsLogic {
  public:
    enum class Server { From, To };
    static constexpr int kFixedNumber = 10;

    CopyFormsLogic(CommComponent& from, CommComponent& to, UserInterface& ui,
                   StartOptions options = {});

    std::string fromAddress, fromPort;
    std::string toAddress = "127.0.0.1";
    std::string toPort = "5012";
    // Entity sent to both servers.
    std::string entity;

    // "Availble Forms", "Forms to Copy", "Exisiting Forms".
    std::vector<FormDefinition> available, toCopy, existing;

    // The status bar: state word ("Ready", "Form", "Image", "Refresh", "Connection")
    // and description; onStatus is told of every change (the window repaints).
    std::string state = "Ready";
    std::string status = "Ready to copy";
    std::function<void()> onStatus;

    bool OpenConnection(const std::string& address, const std::string& port, int fixedNumber,
                        const std::string& entityNumber, Server which);
    void CloseConnection();
    bool DoPingTest(Server which);
    // Reads the server's forms list into its list (source: available; target: existing).
    bool GetFormsDefinitions(Server which);
    // Connect / get-forms button of a frame: opens, lists, closes.
    bool ConnectAndList(Server which);

    // Leaving an address box: a text without exactly three "." is a host name and is
    // replaced by its dotted address; false when it does not resolve (the box is cleared).
    bool CheckAddress(Server which);
    // Digits only, as the port box accepts them.
    static std::string DigitsOnly(const std::string& text);

    // An address or port box changed: a side whose list was read from another server
    // drops its list (the source its chosen forms too) until it is listed again.
    void BoxesChanged();
    // Both frames name one server.
    bool SameServer() const;

    // Rows of "Availble Forms" (0-based) into "Forms to Copy"; a form the target has
    // moves only after the overwrite question is answered OK. Gives how many moved.
    std::size_t MoveToCopy(const std::vector<std::size_t>& rows);
    // Rows of "Forms to Copy" back into "Availble Forms".
    void RemoveFromCopy(const std::vector<std::size_t>& rows);
    const FormDefinition* DoesFormAlreadyExisits(const std::string& name) const;
    bool IsRequiredFieldFilled();

    // `cmdCopyForms`: reads the target's list again (a form it holds is overwritten only
    // after the question was answered OK for this target), then copies every row of
    // "Forms to Copy" in order: pictures and static list first, then the layout and its
    // active and selected flags. One result per form; a summary is shown unless all
    // came whole.
    std::vector<CopyResult> CopyFormsToNewServer();
    // The summary line of a run: which forms came whole, without pictures, or failed.
    static std::string Summary(const std::vector<CopyResult>& results);

  private:
    CommComponent& Comm(Server which) { return which == Server::From ? from_ : to_; }
    void SetStatus(const std::string& word, const std::string& text);
    std::string ToServerText() const;
    std::string Key(Server which) const;
    // Asks the overwrite question for a form the target's list holds, unless it was
    // answered OK for this target already.
    bool MayOverwrite(const FormDefinition& def);
    CopyResult CopyOne(const FormDefinition& def);
    bool GetImageFileFromDB(const std::string& form, const std::string& timeStamp,
                            const std::string& fileName, std::string& bytes);
    bool SaveLargeImageToDB(const std::string& form, const std::string& fileName,
                            const std::string& bytes);

    CommComponent& from_;
    CommComponent& to_;
    UserInterface& ui_;
    StartOptions options_;
    std::string listed_[2];               // the server each side's list was read from
    std::vector<std::string> confirmed_;  // forms to overwrite on the listed target
};
