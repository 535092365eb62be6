#pragma once
// A few forms with pictures and static lists, a catalogue, code lists and saved records,
// so that a designer has something to open against a fresh repository.
#include <string>
#include <vector>

#include "Repository.h"

namespace repo {

// The entities the demo forms are stored under: the empty one and "1".
std::vector<std::string> DemoEntities();

// Fills the repository; false with a reason when a store fails.
bool SeedDemoData(Repository& repository, std::string& error);

// A small uncompressed 24-bit BMP picture (width x height pixels, two colours in stripes).
std::string MakeDemoBitmap(int width, int height, unsigned colourA, unsigned colourB);

}  // namespace repo
