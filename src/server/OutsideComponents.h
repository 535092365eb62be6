#pragma once
// The outside components besides `mcomm`: the lookup picker, the lookup validator,
// the utility component (field helpers, keyed result cache, error log) and two
// components that are only created and linked. All are interfaces so that the
// designer's flows can run against test doubles and the server windows alike.
#include <map>
#include <memory>
#include <string>
#include <vector>

class CommComponent;

// Picks one entry of a server code list. Show gives code + four blanks +
// description, or "CANCEL".
class LookupPicker {
  public:
    virtual ~LookupPicker() = default;
    virtual void Configure(const std::string& listName, const std::string& title,
                           const std::string& option1, const std::string& option2) = 0;
    virtual std::string Show(const std::string& currentText) = 0;
};

// Checks a value against a server code list. answer is "VALID" or "NOT VALID";
// listValue is the list's own spelling of the value (empty when not valid).
class LookupValidator {
  public:
    virtual ~LookupValidator() = default;
    virtual void Link(class UtilityComponent* utility, CommComponent* comm) = 0;
    virtual void Validate(const std::string& listName, const std::string& value,
                          std::string& answer, std::string& listValue) = 0;
};

// A component that is only created and linked; it keeps what it was given.
class LinkedComponent {
  public:
    virtual ~LinkedComponent() = default;
    void Link(CommComponent* comm, class UtilityComponent* utility) {
        comm_ = comm;
        utility_ = utility;
    }
    CommComponent* Comm() const { return comm_; }
    UtilityComponent* Utility() const { return utility_; }

  private:
    CommComponent* comm_ = nullptr;
    UtilityComponent* utility_ = nullptr;
};

class UtilityComponent {
  public:
    virtual ~UtilityComponent() = default;
    virtual void SetLoggingIdentity(const std::string& programFile, const std::string& appCode,
                                    const std::string& product, const std::string& logFileName) = 0;
    virtual void SetWindowValues(int red, int green, int blue, const std::string& window) = 0;
    virtual void SetLinkedComponent(LinkedComponent* component) = 0;
    // n-th field (from 1) of text split at delimiter, and how many fields it has.
    virtual std::string Field(const std::string& text, const std::string& delimiter, int n) = 0;
    virtual int FieldCount(const std::string& text, const std::string& delimiter) = 0;
    virtual std::string CacheGet(const std::string& key) = 0;
    virtual bool CacheTest(const std::string& key) = 0;
    virtual void CachePut(const std::string& key, const std::string& value,
                          const std::string& description) = 0;
    virtual void Reset() = 0;
    virtual void Log(const std::string& message) = 0;
};

// Utility component of this designer: the error log is a file in a given folder
// (one line per entry, time stamp first); the result cache lives in memory.
class FileUtilityComponent : public UtilityComponent {
  public:
    explicit FileUtilityComponent(std::string folder) : folder_(std::move(folder)) {}
    void SetLoggingIdentity(const std::string& programFile, const std::string& appCode,
                            const std::string& product, const std::string& logFileName) override;
    void SetWindowValues(int red, int green, int blue, const std::string& window) override;
    void SetLinkedComponent(LinkedComponent* component) override { linked_ = component; }
    std::string Field(const std::string& text, const std::string& delimiter, int n) override;
    int FieldCount(const std::string& text, const std::string& delimiter) override;
    std::string CacheGet(const std::string& key) override;
    bool CacheTest(const std::string& key) override;
    void CachePut(const std::string& key, const std::string& value,
                  const std::string& description) override;
    void Reset() override { cache_.clear(); }
    void Log(const std::string& message) override;

    // Where entries go: folder + "/" + log file name.
    std::string LogPath() const;
    const std::string& AppCode() const { return appCode_; }
    LinkedComponent* Linked() const { return linked_; }

  private:
    std::string folder_;
    std::string programFile_;
    std::string appCode_ = "FD";
    std::string product_ = "FormsDesigner";
    std::string logFileName_ = "FormsDesignerErrors.log";
    int colour_ = 0;
    std::string window_;
    LinkedComponent* linked_ = nullptr;
    std::map<std::string, std::string> cache_;
};

// Lookup lists come from the server: "|GET|CODE1|" + list name gives one element per
// entry, code + four blanks + description, between "|OK||" and "|END|".
// "|GET|CODE1|" + list + ":V|" + value answers "|OK||VALID|" + the list's code +
// "|END|" or "|OK||NOT VALID||END|".
struct LookupEntry {
    std::string code;
    std::string description;
};
std::string LookupListRequest(const std::string& listName);
std::string LookupValidateRequest(const std::string& listName, const std::string& value);
// "VALID" / "NOT VALID" and the list's value from a validation reply; false when the
// reply is neither.
bool ReadValidateReply(const std::string& reply, std::string& answer, std::string& listValue);
std::vector<LookupEntry> ParseLookupList(const std::vector<std::string>& lines);
// code + four blanks + description: what the picker hands back.
std::string LookupAnswer(const LookupEntry& e);
// Text before the first four blanks.
std::string LookupAnswerCode(const std::string& answer);
// Reads a lookup list through comm; false (and an empty list) when no reply came or
// the server answered with an error.
bool FetchLookupList(CommComponent& comm, const std::string& listName,
                     std::vector<LookupEntry>& entries, std::string& error);

class ServerLookupValidator : public LookupValidator {
  public:
    void Link(UtilityComponent* utility, CommComponent* comm) override {
        utility_ = utility;
        comm_ = comm;
    }
    void Validate(const std::string& listName, const std::string& value, std::string& answer,
                  std::string& listValue) override;

  private:
    UtilityComponent* utility_ = nullptr;
    CommComponent* comm_ = nullptr;
};

// What the designer makes of a validator answer: "True" with the list's value in
// upper case, or "NOT VALID" with an empty value.
std::string ValidateLookupByServer(LookupValidator& validator, const std::string& listName,
                                   const std::string& value, std::string& corrected);

// The set of outside components, created and linked once in the fixed order.
struct OutsideComponents {
    std::unique_ptr<LookupValidator> validator;
    std::unique_ptr<UtilityComponent> utility;
    std::unique_ptr<LinkedComponent> linkedForUtility;
    std::unique_ptr<LinkedComponent> linkedForComm;
    std::unique_ptr<LookupPicker> picker;
    bool linked = false;
};

// Factories let the window build provide its picker; order of creation and linking:
// validator, utility, the two linked-only components, picker; then identity,
// window values, hand-over, validator links, the second linked component's links.
struct OutsideComponentFactory {
    std::unique_ptr<LookupValidator> (*makeValidator)() = nullptr;
    std::unique_ptr<UtilityComponent> (*makeUtility)(const std::string& dataFolder) = nullptr;
    std::unique_ptr<LookupPicker> (*makePicker)(CommComponent& comm) = nullptr;
};
// Creates (once) and links the components; calls after the first do nothing.
void CreateAndLinkComponents(OutsideComponents& parts, CommComponent& comm,
                             const std::string& dataFolder, const std::string& programFile,
                             const OutsideComponentFactory& factory);
