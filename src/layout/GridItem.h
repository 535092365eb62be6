#pragma once
// One cell of a data grid: which label forms it and where it sits in the grid.
#include <cstdint>
#include <string>

class GridItem {
  public:
    int16_t Row() const { return row_; }
    void SetRow(int16_t row) { row_ = row; }
    int16_t Column() const { return column_; }
    void SetColumn(int16_t column) { column_ = column; }
    const std::string& GridID() const { return gridId_; }
    void SetGridID(std::string id) { gridId_ = std::move(id); }
    int16_t LabelIndex() const { return labelIndex_; }
    void SetLabelIndex(int16_t index) { labelIndex_ = index; }

  private:
    int16_t row_ = 0, column_ = 0, labelIndex_ = 0;
    std::string gridId_;
};
