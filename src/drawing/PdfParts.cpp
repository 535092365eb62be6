#include "drawing/PdfParts.h"

#include <QByteArray>
#include <QIODevice>
#include <QList>
#include <algorithm>
#include <cstdlib>

namespace {

// The number after key in text ("/Root 3 0 R" gives 3); -1 when it is not there.
long long NumberAfter(const QByteArray& text, const QByteArray& key, qsizetype from = 0) {
    qsizetype at = text.indexOf(key, from);
    if (at < 0) return -1;
    at += key.size();
    while (at < text.size() && (text[at] == ' ' || text[at] == '\n' || text[at] == '\r')) ++at;
    qsizetype end = at;
    while (end < text.size() && text[end] >= '0' && text[end] <= '9') ++end;
    if (end == at || end - at > 12) return -1;
    return text.mid(at, end - at).toLongLong();
}

class PdfFile {
  public:
    explicit PdfFile(QIODevice& file) : file_(file) {}

    // Reads the cross-reference table the trailer points to, and the trailer itself.
    bool Open() {
        const qint64 size = file_.size();
        if (!file_.seek(std::max<qint64>(0, size - 1024))) return false;
        const QByteArray tail = file_.read(1024);
        const qsizetype start = tail.lastIndexOf("startxref");
        if (start < 0) return false;
        xref_ = NumberAfter(tail, "startxref", start);
        if (xref_ <= 0 || xref_ >= size || !file_.seek(xref_)) return false;
        const QByteArray head = file_.read(64);
        if (!head.startsWith("xref\n0 ")) return false;
        const long long count = NumberAfter(head, "xref\n0");
        const qsizetype rows = head.indexOf('\n', 5) + 1;
        if (count <= 0 || count > 100000000 || rows <= 0) return false;
        if (!file_.seek(xref_ + rows)) return false;
        const QByteArray table = file_.read(count * 20 + 4096);
        if (table.size() < count * 20) return false;
        offsets_.resize(count);
        next_ = count;
        for (long long i = 0; i < count; ++i)
            offsets_[i] = std::strtoll(table.constData() + i * 20, nullptr, 10);
        const QByteArray trailer = table.mid(count * 20);
        root_ = NumberAfter(trailer, "/Root");
        info_ = NumberAfter(trailer, "/Info");
        return root_ > 0 && info_ > 0;
    }

    // The body of object n (between "n 0 obj" and "endobj"); empty when it cannot be read.
    QByteArray Object(long long n) {
        if (n <= 0 || n >= offsets_.size() || !file_.seek(offsets_[n])) return {};
        QByteArray text;
        qsizetype end = -1;
        while (end < 0 && text.size() < (1 << 20) && !file_.atEnd()) {
            text += file_.read(4096);
            end = text.indexOf("endobj");
        }
        const qsizetype begin = text.indexOf("obj") + 3;
        if (end < begin || begin < 3) return {};
        return text.mid(begin, end - begin);
    }

    // Appends object n (a new one when n is 0); its number.
    long long Append(QByteArray body, long long n = 0) {
        if (n == 0) n = next_++;
        added_.push_back({n, file_.size()});
        body = QByteArray::number(n) + " 0 obj\n" + body + "\nendobj\n";
        file_.seek(file_.size());
        ok_ = ok_ && file_.write(body) == body.size();
        return n;
    }

    // Ends the update: the table of the objects appended, pointing back at the old one.
    bool Close() {
        std::sort(added_.begin(), added_.end());
        QByteArray table = "xref\n0 1\n0000000000 65535 f \n";
        for (size_t i = 0; i < added_.size();) {
            size_t run = i + 1;
            while (run < added_.size() && added_[run].first == added_[run - 1].first + 1) ++run;
            table += QByteArray::number(added_[i].first) + ' ' + QByteArray::number(run - i) + '\n';
            for (; i < run; ++i)
                table +=
                    QByteArray::number(added_[i].second).rightJustified(10, '0') + " 00000 n \n";
        }
        const long long size = next_;
        const qint64 at = file_.size();
        table += "trailer\n<<\n/Size " + QByteArray::number(size) + "\n/Info " +
                 QByteArray::number(info_) + " 0 R\n/Root " + QByteArray::number(root_) +
                 " 0 R\n/Prev " + QByteArray::number(xref_) + "\n>>\nstartxref\n" +
                 QByteArray::number(at) + "\n%%EOF\n";
        file_.seek(at);
        return ok_ && file_.write(table) == table.size();
    }

    long long Root() const { return root_; }

  private:
    QIODevice& file_;
    QList<qint64> offsets_;
    std::vector<std::pair<long long, qint64>> added_;
    long long xref_ = 0, root_ = 0, info_ = 0, next_ = 0;
    bool ok_ = true;
};

// The resources of every part as one dictionary: Qt names each font, picture, pattern and
// graphics state after its object, so the same name is the same thing in every part.
QByteArray JoinResources(const QList<QByteArray>& parts) {
    QList<QByteArray> sections;
    QList<QList<QByteArray>> entries;
    for (const QByteArray& part : parts) {
        qsizetype section = -1;
        for (const QByteArray& raw : part.split('\n')) {
            const QByteArray line = raw.trimmed();
            if (line.endsWith("<<") && line.startsWith('/')) {
                section = sections.indexOf(line);
                if (section < 0) {
                    sections.append(line);
                    entries.append(QList<QByteArray>());
                    section = sections.size() - 1;
                }
            } else if (line == ">>") {
                section = -1;
            } else if (section >= 0 && !line.isEmpty() && !entries[section].contains(line)) {
                entries[section].append(line);
            }
        }
    }
    QByteArray out = "<<\n";
    for (qsizetype i = 0; i < sections.size(); ++i)
        out += sections[i] + '\n' + entries[i].join('\n') + (entries[i].isEmpty() ? "" : "\n") +
               ">>\n";
    return out + ">>";
}

QByteArray Ref(long long n) {
    return QByteArray::number(n) + " 0 R";
}

QByteArray Stream(const QByteArray& commands) {
    return "<<\n/Length " + QByteArray::number(commands.size()) + "\n>>\nstream\n" + commands +
           "\nendstream";
}

}  // namespace

bool JoinPdfParts(QIODevice& file, const std::vector<int>& parts, std::string& error) {
    error = "the PDF writer's output was not understood";
    PdfFile pdf(file);
    if (!pdf.Open()) return false;
    const long long tree = NumberAfter(pdf.Object(pdf.Root()), "/Pages");
    const QByteArray kids = pdf.Object(tree);
    const qsizetype open = kids.indexOf('['), close = kids.indexOf(']');
    if (open < 0 || close < open) return false;
    QList<long long> pages;  // "5 0 R 9 0 R ..."
    const QList<QByteArray> words = kids.mid(open + 1, close - open - 1).simplified().split(' ');
    for (qsizetype i = 0; i + 2 < words.size(); i += 3) pages.append(words[i].toLongLong());
    qsizetype written = 0;
    for (int n : parts) written += n;
    if (written != pages.size() ||
        std::any_of(parts.begin(), parts.end(), [](int n) { return n < 1; }))
        return false;
    // Each part begins at the page's corner with its own graphics state: saved before it
    // and restored after, the parts do not add up their scales.
    const long long save = pdf.Append(Stream("q\n")), between = pdf.Append(Stream("Q\nq\n")),
                    restore = pdf.Append(Stream("Q\n"));
    QByteArray kept;
    qsizetype next = 0;
    for (int n : parts) {
        const long long page = pages[next];
        QByteArray first = pdf.Object(page);
        if (n > 1) {
            QByteArray contents = "[" + Ref(save);
            QList<QByteArray> resources;
            for (int i = 0; i < n; ++i) {
                const QByteArray body = i == 0 ? first : pdf.Object(pages[next + i]);
                const long long stream = NumberAfter(body, "/Contents"),
                                dict = NumberAfter(body, "/Resources");
                if (stream <= 0 || dict <= 0) return false;
                contents += ' ' + Ref(stream) + ' ' + Ref(i + 1 < n ? between : restore);
                resources.append(pdf.Object(dict));
            }
            const long long dict = pdf.Append(JoinResources(resources));
            const qsizetype from = first.indexOf("/Contents"), to = first.indexOf("/Annots");
            if (from < 0 || to < from) return false;
            first.replace(from, to - from,
                          "/Contents " + contents + "]\n/Resources " + Ref(dict) + '\n');
            pdf.Append(first.trimmed(), page);
        }
        kept += Ref(page) + '\n';
        next += n;
    }
    pdf.Append("<<\n/Type /Pages\n/Kids \n[\n" + kept + "]\n/Count " +
                   QByteArray::number(parts.size()) + "\n/ProcSet [/PDF /Text /ImageB /ImageC]\n>>",
               tree);
    if (!pdf.Close()) {
        error = "the PDF could not be written";
        return false;
    }
    error.clear();
    return true;
}
