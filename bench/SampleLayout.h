#pragma once
// The large layout every benchmark reads: `labels` labels spread evenly over `pages` pages,
// a third each data fields, static texts and prompts, at scattered places. The page count is
// a parameter because a cost per page hides in a sample of few pages.
#include <string>

namespace bench {

inline std::string LargeLayout(int labels, int pages, bool withBox = false) {
    std::string out =
        "<HEADER>\r\nPage:\t8.5\t11\r\nNumber_Of_Pages:\t" + std::to_string(pages) + "\r\n";
    if (withBox) out += "Box:\t0.5\t0.5\t7.5\t10\t1\t1\t1\tN\t0\r\n";
    out += "</HEADER>\r\n";
    const int perPage = (labels + pages - 1) / pages;
    for (int p = 0, left = labels; p < pages; ++p) {
        out += "<PAGE>\r\n";
        for (int i = 0; i < perPage && left > 0; ++i, --left) {
            std::string n = std::to_string(i);
            std::string caption = i % 3 == 0   ? "~PATIENT.FIELD" + n + "@Long name"
                                  : i % 3 == 1 ? "Static text " + n
                                               : "^P" + n + "@Cap@TEXT@@False@" + n + "@@@";
            out += caption + "\t" + std::to_string(i % 7) + "." + std::to_string(i % 100) + "\t" +
                   std::to_string(i % 10) + "." + std::to_string((i * 7) % 100) +
                   "\tArial\t8\tN\tN\tL\t1.5\tN\t\t\t\r\n";
        }
        out += "</PAGE>\r\n";
    }
    return out;
}

// The same labels as LargeLayout(labels, 3) gives on one of its pages, repeated down taller
// pages, one copy under the other, so that every 11 inches of a page hold what a page of
// that form holds and no two labels of a page share a place (LargeLayout's places repeat
// every 700 labels). The page count stays within the form's 99.
inline std::string SpreadLayout(int labels, int densityOf = 1000) {
    const int band = (densityOf + 2) / 3, pages = 99;
    const int perPage = (labels + pages - 1) / pages;
    const int bands = (perPage + band - 1) / band;
    std::string out = "<HEADER>\r\nPage:\t8.5\t" + std::to_string(11 * bands) +
                      "\r\nNumber_Of_Pages:\t" + std::to_string(pages) +
                      "\r\nBox:\t0.5\t0.5\t7.5\t10\t1\t1\t1\tN\t0\r\n</HEADER>\r\n";
    for (int p = 0, left = labels; p < pages; ++p) {
        out += "<PAGE>\r\n";
        for (int k = 0; k < perPage && left > 0; ++k, --left) {
            const int i = k % band, below = 11 * (k / band);
            std::string n = std::to_string(k);
            std::string caption = i % 3 == 0   ? "~PATIENT.FIELD" + n + "@Long name"
                                  : i % 3 == 1 ? "Static text " + n
                                               : "^P" + n + "@Cap@TEXT@@False@" + n + "@@@";
            out += caption + "\t" + std::to_string(i % 7) + "." + std::to_string(i % 100) + "\t" +
                   std::to_string(below + i % 10) + "." + std::to_string((i * 7) % 100) +
                   "\tArial\t8\tN\tN\tL\t1.5\tN\t\t\t\r\n";
        }
        out += "</PAGE>\r\n";
    }
    return out;
}

}  // namespace bench
