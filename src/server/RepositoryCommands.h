#pragma once
// The repository commands: each sends its request texts (Requests.h) through the
// communication component, reads the reply and reports a failure through the user
// interface with the message the command is known by.
#include <string>
#include <vector>

#include "server/Requests.h"

class CommComponent;
class UserInterface;
class UtilityComponent;

namespace requests {

// Opening sequence of a link: reset, disconnect, address (fixed number 10), entity,
// connect; OpenConnection then sends "|GET|PING|" and is true when it got a reply.
void OpenLink(CommComponent& comm, const std::string& address, const std::string& port,
              const std::string& entity);
bool OpenConnection(CommComponent& comm, const std::string& address, const std::string& port,
                    const std::string& entity, std::string& error);
// Closing sequence: empty address and port, empty session context, disconnect.
void CloseConnection(CommComponent& comm);
bool UpdateFormsDefinitions(CommComponent& comm, UserInterface& ui, FormsDefinitions& list);
bool LoadLayoutText(CommComponent& comm, UserInterface& ui, const std::string& form,
                    std::string& layout);
// Sends the pieces as one upload; flag of the last request sent, its reply in reply
// (a refused piece is the last sent). On a false flag error, when given, says why.
bool SendFormData(CommComponent& comm, UserInterface& ui, const std::string& record,
                  std::string& reply, std::string* error = nullptr);
enum class SaveResult { Saved, Refused, Failed };
// Sends the record and reports a failed or refused save.
SaveResult SaveLayoutRecord(CommComponent& comm, UserInterface& ui, const std::string& record);
bool DeleteReport(CommComponent& comm, UserInterface& ui, const std::string& form);
bool DeleteStaticListOf(CommComponent& comm, UserInterface& ui, const std::string& form);
bool SaveActiveSelected(CommComponent& comm, UserInterface& ui, const std::string& form,
                        bool active, bool selected);
bool DeleteAllImagesForReport(CommComponent& comm, UserInterface& ui, const std::string& form);
bool SaveImage(CommComponent& comm, UserInterface& ui, const std::string& form,
               const std::string& fileName, const std::string& bytes);
bool SaveLargeImages(CommComponent& comm, UserInterface& ui, const std::string& form,
                     const std::string& baseName, const std::string& extension,
                     const std::string& bytes);
// A picture that goes with a save, read from the images folder.
struct SavePicture {
    std::string name;
    std::string bytes;
};
// Reads every picture the layout names from imagesFolder, each once. A name that cannot
// be sent (no such file, an empty one, not a plain file name, too long for a piece) goes
// to missing instead.
std::vector<SavePicture> ReadSavePictures(const std::string& form, std::string_view layout,
                                          const std::string& imagesFolder,
                                          std::vector<std::string>& missing);
// One save as one upload: the record's pieces, every picture, then the static list (or
// its delete when empty). The server stores all of it when the last request comes, and
// drops the form's pictures the layout no longer names. A failure or refusal is shown
// with the message of the request it met, and nothing is stored.
SaveResult SaveFormUpload(CommComponent& comm, UserInterface& ui, const std::string& form,
                          const std::string& record, const std::vector<SavePicture>& pictures,
                          const std::string& staticList);
bool LoadImageBytes(CommComponent& comm, UserInterface& ui, const std::string& form,
                    const std::string& timeStamp, const std::string& fileName, std::string& bytes);
// Fetches a picture and writes it into imagesFolder (atomically; the name must be a
// plain file name).
bool LoadImageToFileFromDB(CommComponent& comm, UserInterface& ui, const std::string& form,
                           const std::string& timeStamp, const std::string& fileName,
                           const std::string& imagesFolder);
bool SaveStaticList(CommComponent& comm, UserInterface& ui, const std::string& form,
                    const std::string& list);
bool GetStaticList(CommComponent& comm, UserInterface& ui, const std::string& form,
                   std::string& list);
bool GetTablesData(CommComponent& comm, UserInterface& ui, TableList& tables);
bool GetFieldProperties(CommComponent& comm, UserInterface& ui, const std::string& db,
                        const std::string& table, const std::string& field,
                        std::vector<std::string>& properties);
bool GetCodeList(CommComponent& comm, UserInterface& ui, const std::string& setCode,
                 std::vector<StaticItem>& items);
bool EMRRecordsAlreadyExist(CommComponent& comm, UserInterface& ui, UtilityComponent& utility,
                            const std::string& form, bool newerKind);

}  // namespace requests
