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

}  // namespace bench
