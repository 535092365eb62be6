#pragma once
// Windows metafiles (WMF and EMF), which Qt cannot read, turned into SVG, which it can.
// The converters are C libraries that trust their input; a metafile is checked record
// by record first and converted in a child process, so a damaged file only fails.
#include <functional>
#include <string>
#include <string_view>

enum class MetafileKind { None, Wmf, Emf };

// What the bytes are, from their header (not from a file name).
MetafileKind SniffMetafile(std::string_view bytes);

// True when the records chain up soundly from the header to the end-of-file record.
bool MetafileStructureSound(MetafileKind kind, std::string_view bytes);

// The metafile as an SVG document; empty when it is not a sound metafile or the
// conversion fails.
std::string MetafileToSvg(std::string_view bytes);

// Runs a converter in a child process and returns what it produced: empty when it
// crashed, failed, wrote more than a picture needs or ran longer than the time limit.
std::string RunConverterIsolated(const std::function<std::string()>& convert,
                                 int timeLimitMs = 10000);
