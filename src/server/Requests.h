#pragma once
// Every request text the designer sends and every reply it reads: pure functions over
// Windows-1252 byte strings, no I/O and no messages (the fuzz target drives the
// readers). Sending them and reporting failures is RepositoryCommands' work.
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "server/FormDefinition.h"

namespace requests {

inline constexpr std::string_view kCrLf = "\r\n";
inline constexpr std::string_view kOkPrefix = "|OK||";
inline constexpr std::string_view kEndMark = "|END|";
inline constexpr std::size_t kSavePieceSize = 30000;
inline constexpr std::size_t kImageRequestLimit = 9000;

// ---- request texts -------------------------------------------------------------
std::string Ping();            // "|GET|PING|"
std::string FormsList();       // "|GET|CUSTFORM|L"
std::string ActiveSelected();  // "|GET|CUSTFORM|H"
std::string GetLayout(std::string_view form);
std::string DeleteForm(std::string_view form);
std::string SetActiveSelected(std::string_view form, bool active, bool selected);
std::string GetImage(std::string_view form, std::string_view timeStamp, std::string_view file);
std::string DeleteImages(std::string_view form);
std::string SetStaticList(std::string_view form, std::string_view list);
std::string DeleteStaticList(std::string_view form);
std::string GetStaticList(std::string_view form);
std::string Tables();
std::string FieldProperties(std::string_view db, std::string_view table, std::string_view field);
std::string CodeList(std::string_view setCode);
std::string RecordsProbe();  // "|GETP|CUSTFORM|L"
std::string NewRecordsSearch(std::string_view form);
std::string OldRecordsSearch(std::string_view form);

// Save record: form|description:type:document type|layout.
std::string SaveRecord(std::string_view form, std::string_view description, std::string_view type,
                       std::string_view documentType, std::string_view layout);
// What a save record holds before the layout: form|description:type:document type|.
std::string SaveRecordHead(std::string_view form, std::string_view description,
                           std::string_view type, std::string_view documentType);
// The requests of one save record in sending order: "|SETL|" pieces 2..n, then
// "|SET|CUSTFORM|T|" with piece 1; one at a time (a large record is not copied whole
// again), or all of them.
std::size_t SaveRecordRequestCount(std::string_view record, std::size_t pieceSize = kSavePieceSize);
std::string SaveRecordRequest(std::string_view record, std::size_t i,
                              std::size_t pieceSize = kSavePieceSize);
std::vector<std::string> SaveRecordRequests(std::string_view record,
                                            std::size_t pieceSize = kSavePieceSize);

// Whole-image request "|SET|CUSTFORM|I-0|form|file|" + bytes, and its text before the bytes.
std::string ImageHeaderWhole(std::string_view form, std::string_view file);
bool ImageFitsOneRequest(std::string_view form, std::string_view file, std::size_t byteCount);
// Numbered pieces: size of one piece (0 when the names leave no room), number of
// pieces (halves rounded to even, so a last piece may be empty), and the requests.
std::size_t LargeImagePieceSize(std::string_view form, std::string_view baseName,
                                std::string_view extension);
std::size_t LargeImagePieceCount(std::size_t byteCount, std::size_t pieceSize);
std::vector<std::string> LargeImageRequests(std::string_view form, std::string_view baseName,
                                            std::string_view extension, std::string_view bytes,
                                            std::size_t pieceSize);
// "I-0" when it fits, else the numbered pieces; empty when it cannot be sent.
std::vector<std::string> ImageRequests(std::string_view form, std::string_view fileName,
                                       std::string_view bytes);
// Copying between servers sends every picture in numbered pieces, even a small one
// (a picture of no bytes still goes as one empty piece 1).
std::vector<std::string> NumberedImageRequests(std::string_view form, std::string_view fileName,
                                               std::string_view bytes);
// Text of a request before the image bytes (for titles of error boxes).
std::string ImageRequestHead(std::string_view request);

// ---- reply tests ---------------------------------------------------------------
bool IsStoreError(std::string_view reply);                  // contains "ERROR"
bool IsListError(std::string_view reply);                   // first five, upper-cased, "ERROR"
bool IsProbeError(std::string_view reply);                  // first five, trimmed and upper-cased
bool IsSearchError(const std::vector<std::string>& lines);  // after char 5 of line 1: "ERROR:"
bool IsCodeListError(std::string_view reply);               // empty or "error:" in any case

// ---- readers -------------------------------------------------------------------
std::string JoinLines(const std::vector<std::string>& lines, std::string_view separator = "");
// Drops one leading "|OK||" and one trailing "|END|".
std::string Unframe(std::string_view text);

enum class ReadResult { Ok, WrongFormat, CountMismatch };
// Forms list: fills list (cleared first). On a record with fewer than four fields the
// result is WrongFormat, badRecord holds it and list keeps the records before it.
ReadResult ReadFormsList(const std::vector<std::string>& lines, FormsDefinitions& list,
                         std::string& badRecord);
FormDefinition ReadFormRecord(const std::vector<std::string>& fields);
std::vector<FormImageEntry> ReadImagesField(std::string_view field);
// Active/selected flags onto the list. CountMismatch when the reply has more
// records than the list; records is then their number and the extra ones are left.
ReadResult ApplyActiveSelected(const std::vector<std::string>& lines, FormsDefinitions& list,
                               std::size_t& records);
std::string LayoutFromLines(const std::vector<std::string>& lines);
std::string ImageFromLines(const std::vector<std::string>& lines);

struct TableRecord {
    std::string name;
    std::vector<std::string> fields;  // NUL shown as three blanks
    std::size_t position = 0;         // element index in the reply (1 = first table)
};
struct TableList {
    std::string database;
    std::vector<TableRecord> tables;
};
TableList ReadTables(std::string_view reply);
std::vector<std::string> ReadFieldProperties(std::string_view reply);
// Seventh property, empty when absent.
std::string FieldCode(const std::vector<std::string>& properties);

struct StaticItem {
    std::string code;
    std::string description;
    std::string other;
    bool operator==(const StaticItem&) const = default;
};
// False when the reply has fewer than five ":" parts (nothing to read).
bool ReadCodeList(std::string_view reply, std::vector<StaticItem>& items);
std::vector<StaticItem> ReadStaticList(std::string_view text);
std::string FormatStaticList(const std::vector<StaticItem>& items);
std::string RecordsAnswer(const std::vector<std::string>& lines);
// Base name and extension at the last ".", so base + "." + extension is the name.
std::pair<std::string, std::string> SplitFileName(std::string_view name);

// Image names a layout refers to (background images and image items), in order.
std::vector<std::string> ImagesOfLayout(std::string_view layout);

}  // namespace requests
