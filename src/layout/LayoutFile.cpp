// A local layout file read onto the form: a multi-page form page by page.
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "layout/LayoutReader.h"
#include "shell/AtomicFile.h"
#include "shell/UserInterface.h"

namespace {

// The pages of a layout file, each read from the file when it is wanted. Where they lie is
// found from the whole text before any of the form is built, and the text is let go then:
// a large form is never held beside its text. The pages are read through the descriptor
// the text was read through: a save that replaced the file since then must not mix its
// pages into the form being read.
class FilePages : public LayoutPages {
  public:
    FilePages(std::string path, int fd, const LayoutPageTexts& pages, const std::string& text)
        : path_(std::move(path)), lineEnds_(pages.LineEnds()), fd_(fd) {
        for (std::string_view piece : pages.Pieces())
            places_.push_back({size_t(piece.data() - text.data()), piece.size()});
    }
    FilePages(const FilePages&) = delete;
    FilePages& operator=(const FilePages&) = delete;

    size_t Count() const override { return places_.size(); }
    size_t LineEnds() const override { return lineEnds_; }
    bool Next(std::string_view& piece, std::vector<size_t>& pageEnds) override {
        if (next_ >= places_.size()) return false;
        const Place place = places_[next_++];
        page_.resize(place.size);
        for (size_t done = 0; done < place.size;) {
            ssize_t n =
                ::pread(fd_, page_.data() + done, place.size - done, off_t(place.at + done));
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) Fail(std::strerror(errno));
            // A file cut short since it was first read ends the read as a bad line does.
            if (n == 0) Fail("the file has changed");
            done += size_t(n);
        }
        piece = page_;
        pageEnds = PageEndsIn(piece);
        return true;
    }

  private:
    struct Place {
        size_t at, size;
    };
    [[noreturn]] void Fail(const char* why) const {
        throw std::runtime_error("cannot read " + path_ + ": " + why);
    }

    std::string path_;
    std::vector<Place> places_;
    size_t lineEnds_;
    size_t next_ = 0;
    int fd_;
    std::string page_;
};

}  // namespace

bool OpenLayoutFile(const std::string& path, LayoutReader& reader, FormModel& model,
                    UserInterface& ui,
                    const std::function<void(FormSettings&)>& updateCurrReportProps) {
    std::string content, error;
    const files::ReadableFile file(path, error);
    if (file.Fd() < 0 || !files::ReadWholeFile(file.Fd(), path, content, error)) {
        ReportError(ui, "ERR in OpenLayoutFile   ", error);
        return false;
    }
    if (content.empty()) return false;
    LayoutOrigin previous = model.settings.layoutOrigin;
    model.settings.layoutOrigin = LayoutOrigin::LocalFile;
    std::string_view headerView, rest;
    bool read;
    if (model.settings.multipageMode && SplitAtHeader(content, headerView, rest)) {
        const std::string header(headerView);
        FilePages pages(path, file.Fd(), LayoutPageTexts(rest), content);
        std::string().swap(content);
        read = reader.BuildForm(header, pages);
    } else {
        read = reader.BuildForm(content);
    }
    if (!read) {
        model.settings.layoutOrigin = previous;
        return false;
    }
    std::string base =
        path.substr(path.find_last_of('/') == std::string::npos ? 0 : path.find_last_of('/') + 1);
    size_t dot = base.find_last_of('.');
    if (dot != std::string::npos && dot > 0) base.erase(dot);
    model.settings.formCode = base;
    if (updateCurrReportProps) updateCurrReportProps(model.settings);
    return true;
}
