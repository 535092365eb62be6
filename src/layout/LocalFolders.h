#pragma once
// The local "IMAGES" and "FORMS" folders, the local form copies and picture checks.
#include <optional>
#include <string>
#include <vector>

#include "shell/UserInterface.h"

// What the server's forms list knows of a form's time stamps.
class FormsCatalogue {
  public:
    virtual ~FormsCatalogue() = default;
    virtual bool Empty() const = 0;
    // False when the form or the picture (base name + extension) is not listed.
    virtual bool ImageTimeStamp(const std::string& formCode, const std::string& baseName,
                                const std::string& extension, std::string& stamp) const = 0;
    virtual std::optional<std::string> FormTimeStamp(const std::string& formCode) const = 0;
};

extern const char* const kPictureFilter;

class LocalFolders {
  public:
    // root: the data folder that takes the place of the program's folder; fallback:
    // where the folders go when root cannot be used ("" = $HOME/FormDesigner).
    LocalFolders(std::string root, UserInterface& ui, std::string fallback = {});

    std::string GetFilesFolderPath(const std::string& name) const;
    std::string ImagesFolder() const { return GetFilesFolderPath("IMAGES"); }
    std::string FormsFolder() const { return GetFilesFolderPath("FORMS"); }
    const std::string& Root() const { return root_; }

    // The local copy of a form; empty when the name cannot be a file name.
    std::string LocalFormCopyPath(const std::string& formCode) const;
    // A picture in the images folder or the root folder; empty when neither has it.
    std::string PicturePath(const std::string& name) const;
    bool PictureExists(const std::string& name) const { return !PicturePath(name).empty(); }
    bool ProcessImageFile(const std::string& name) const;

    std::string LocalFormTimeStamp(const std::string& formCode) const;
    // isBackground picks "Background_Image:" lines, else "Image:" lines.
    std::string LocalPictureTimeStamp(const std::string& formCode, bool isBackground,
                                      const std::string& pictureName) const;

    // Every picture's time stamp from the forms list, or only that of pictureName.
    std::string UpdateDataWithImageTimeStamps(const std::string& formCode,
                                              const std::string& layoutText,
                                              const FormsCatalogue& catalogue,
                                              const std::string& pictureName = {}) const;
    bool UpdateFileWithImageTimeStamp(const std::string& formCode, const FormsCatalogue& catalogue,
                                      const std::string& pictureName = {}) const;

    bool CopyImageIfNeeded(const std::string& sourcePath, const std::string& fileName) const;
    bool CopyImageToFolder(const std::string& sourcePath) const;
    std::string SelectImageFromFile() const;
    // "Clear local files": deletes the files of the forms and images folders but the
    // pictures named in keepPictures (those the open form still needs); the number
    // of files that could not be deleted.
    int ClearLocalFiles(const std::vector<std::string>& keepPictures) const;

  private:
    std::string root_;
    std::string fallback_;
    UserInterface& ui_;
};

// True for the picture types; otherwise "Invalid Picture" when showMessage is set.
bool IsImageFile(const std::string& path, bool showMessage, UserInterface* ui);
// The picture name of a definition field or a bare name (TAB-separated fields: the
// fifth field of a line with at least five, else the first).
std::string PictureNameOf(const std::string& nameOrFields);
std::string GetImageTimeStamp(const std::string& formCode, const std::string& pictureName,
                              const FormsCatalogue& catalogue);
// A new name for a copy of a form: "NAME_1" -> "NAME_2", "NAME" -> "NAME_1".
std::string CreateSuffixForForm(const std::string& name);
// A name from a layout or a reply that may become a file name in a folder.
bool IsSafeFileName(const std::string& name);
