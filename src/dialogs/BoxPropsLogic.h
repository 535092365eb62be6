#pragma once
// The box properties dialog `frmBoxProps` without its window: one box's fields and
// the group buttons that carry them to every other selected box.
#include <vector>

#include "dialogs/ItemPropsLogic.h"

class BoxPropsLogic : public ItemPropsLogic {
  public:
    using ItemPropsLogic::ItemPropsLogic;

    static const std::vector<std::string>& BorderWidths();  // "1" .. "12"
    static const std::vector<std::string>& BorderStyles();
    static constexpr const char* kStyleNote = "NOTE: Style only applies to Widths = 1";
    // "Apply to group" buttons, by index.
    enum Group {
        GroupLeft,
        GroupTop,
        GroupRight,
        GroupCenter,
        GroupHeight,
        GroupWidth,
        GroupBorder,
        GroupPreview,
        GroupColor,
        GroupDelete
    };

    void Bind(int box);
    long long borderColor = 0;
    int widthPosition = -1, stylePosition = -1;  // -1: nothing chosen
    bool hideInPreview = false;
    bool moreShown = false;
    const char* MoreCaption() const { return moreShown ? "Close  << " : "More  >> "; }

    bool Apply() override;
    void Delete() override;
    bool ApplyToGroup(int button);
    // "Paste" and "Even H" (0) / "Even V" (1).
    bool Paste();
    void EvenSpace(int direction);

  protected:
    Rect ItemRect() const override;
    void MoveItem(double dx, double dy) override;
    void MoveByStep(double dx, double dy) override;

  private:
    void StoreOptions(int box, int group);
};
