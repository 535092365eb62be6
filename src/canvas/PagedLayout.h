#pragma once
// A layout file made ready to be saved a page at a time: each page after the first is
// written as soon as it is read and let go, so a large form sent from a script is never
// held whole beside its text. The first page stays until the end, as the form's prompts
// that are placed nowhere are written with it, and every page may add to them.
#include <string>
#include <unordered_set>
#include <vector>

#include "canvas/CanvasModel.h"
#include "layout/FormModel.h"
#include "layout/LayoutWriter.h"

class PagedLayout : public PreparedLayout {
  public:
    enum class Opened {
        Failed,     // not read; the reason was reported
        Ready,      // to be validated and written
        ReadWhole,  // a label takes its definition from another page: read the form whole
    };
    PagedLayout(UserInterface& ui, const TextMetrics& metrics);

    Opened Open(const std::string& path);
    // The settings, the form's lists, the pictures and shapes, and the first page.
    FormModel& Model() { return model_; }
    CanvasModel& Canvas() { return canvas_; }

    bool Validate(UserInterface& ui) override;
    // Once only: the pages written go into the text it gives.
    std::string Write(const std::string& listedStamp) override;

  private:
    bool PageRead(int page);

    UserInterface& ui_;
    const TextMetrics& metrics_;
    FormModel model_;
    CanvasModel canvas_;
    std::string laterPages_;  // the pages after the first, written
    int kept_ = 1;            // labels kept: the template, the first page's, shapes' companions
    bool paged_ = false, readWhole_ = false, written_ = false;
    // What the checks before a save find as the pages go by; a key may still be defined
    // on a later page, so they are settled once all are read.
    struct PromptLabel {
        std::string caption, key;
    };
    std::vector<PromptLabel> unmatchedPrompts_;
    std::vector<std::string> unmatchedFields_;
    std::unordered_set<std::string> liveKeys_;
};
