#pragma once
// Qt's PDF writer holds a page's drawing commands in memory, uncompressed, until the page
// ends: about a kilobyte per label. A page of very many labels is therefore written as
// several PDF pages of a bounded number of labels each, which Qt compresses and hands on
// as it goes, and joined afterwards into the page it is: the file gets an update (the PDF
// way of changing a written file by appending to it) in which the first part's page
// draws every part's commands in turn and the page tree lists only the joined pages.
#include <string>
#include <vector>

class QIODevice;

// file: a whole PDF as Qt's writer wrote it, readable and writable; parts: for each page
// of the document to be, how many of the written pages in a row make it (together, the
// written pages in order). False with a reason when the file is not what Qt writes.
bool JoinPdfParts(QIODevice& file, const std::vector<int>& parts, std::string& error);
