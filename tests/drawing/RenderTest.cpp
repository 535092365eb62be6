// The page drawing that screen, print and export share: golden pictures (with a tolerance,
// as fonts differ between machines) and exact checks of what does not depend on fonts.
#include <unistd.h>

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPicture>
#include <QPrinter>
#include <QTemporaryDir>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <sstream>

#include "TestMetafiles.h"
#include "canvas/CanvasEditor.h"
#include "canvas/CanvasModel.h"
#include "drawing/CanvasPainter.h"
#include "drawing/CaptionGlyphs.h"
#include "drawing/Metafile.h"
#include "drawing/PageAreaPainter.h"
#include "drawing/PageExport.h"
#include "drawing/PagePrint.h"
#include "layout/LayoutTestSupport.h"
#include "shell/qt/QtText.h"
#include "shell/qt/QtUserInterface.h"

namespace {

constexpr double kGoldenDpi = 48;

struct Drawn {
    QtTextMetrics metrics;
    FormModel model;
    std::unique_ptr<CanvasModel> canvas;
    RecordingUserInterface ui;
    PictureCache pictures;

    explicit Drawn(const std::string& layout, const std::string& images = {}) {
        canvas = std::make_unique<CanvasModel>(model, metrics, images);
        LayoutReader reader(model, *canvas, metrics, ui);
        EXPECT_TRUE(reader.BuildForm(layout)) << layout.substr(0, 60);
    }
    QImage Page(int page, double dpi = kGoldenDpi) {
        return RenderPage(*canvas, model, pictures, page, dpi);
    }
};

QImage Filled(QSize size, const QColor& colour) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

// Share of pixels whose colour differs by more than a small amount in any channel.
double DifferentShare(const QImage& a, const QImage& b) {
    if (a.size() != b.size()) return 1;
    QImage x = a.convertToFormat(QImage::Format_RGB32);
    QImage y = b.convertToFormat(QImage::Format_RGB32);
    long long differing = 0;
    for (int row = 0; row < x.height(); ++row) {
        auto* p = reinterpret_cast<const QRgb*>(x.constScanLine(row));
        auto* q = reinterpret_cast<const QRgb*>(y.constScanLine(row));
        for (int col = 0; col < x.width(); ++col) {
            int d = std::max({std::abs(qRed(p[col]) - qRed(q[col])),
                              std::abs(qGreen(p[col]) - qGreen(q[col])),
                              std::abs(qBlue(p[col]) - qBlue(q[col]))});
            if (d > 48) ++differing;
        }
    }
    return double(differing) / double(x.width() * x.height());
}

// FD_UPDATE_GOLDEN=1 writes the pictures instead of comparing with them.
void ExpectMatchesGolden(const QImage& image, const std::string& name) {
    ASSERT_FALSE(image.isNull());
    const char* dir = std::getenv("FD_TEST_DATA");
    const std::string path = std::string(dir ? dir : "tests/data") + "/golden/" + name;
    if (std::getenv("FD_UPDATE_GOLDEN")) {
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        ASSERT_TRUE(image.save(QString::fromStdString(path)));
        return;
    }
    QImage golden(QString::fromStdString(path));
    ASSERT_FALSE(golden.isNull()) << "missing " << path;
    double share = DifferentShare(image, golden);
    EXPECT_LT(share, 0.02) << name << ": " << share * 100 << "% of the pixels differ";
}

QColor At(const QImage& image, double xInches, double yInches, double dpi = kGoldenDpi) {
    return image.pixelColor(int(xInches * dpi), int(yInches * dpi));
}

bool IsRed(const QColor& c) {
    return c.red() > 180 && c.green() < 90 && c.blue() < 90;
}

// True when some pixel within two pixels of the point passes the test.
template <class Test>
bool Near(const QImage& image, double xInches, double yInches, Test test) {
    int x = int(xInches * kGoldenDpi), y = int(yInches * kGoldenDpi);
    for (int dy = -2; dy <= 2; ++dy)
        for (int dx = -2; dx <= 2; ++dx)
            if (image.valid(x + dx, y + dy) && test(image.pixelColor(x + dx, y + dy))) return true;
    return false;
}

}  // namespace

TEST(Render, PagesLookAsTheyDidWhenTheGoldenPicturesWereMade) {
    const std::tuple<const char*, int, const char*> pages[] = {{"full", 0, "full-page1.png"},
                                                               {"full", 1, "full-page2.png"},
                                                               {"minimal", 0, "minimal.png"},
                                                               {"dataentry", 0, "dataentry.png"}};
    for (auto [layout, page, golden] : pages) {
        Drawn d(TestDataFile("layouts/" + std::string(layout) + ".ldt"));
        ExpectMatchesGolden(d.Page(page), golden);
    }
}

// A crowded page drawn in two bands on two threads, or in parts, is pixel for pixel the
// page drawn at once: the cut leaves no seam.
TEST(Render, ACrowdedPageDrawnInBandsIsThePageDrawnAtOnce) {
    std::string layout = "<HEADER>\r\nPage:\t8.5\t11\r\n</HEADER>\r\n<PAGE>\r\n";
    for (int i = 0; i < 2400; ++i)
        layout += "Label " + std::to_string(i) + "\t" + std::to_string((i * 37 % 700) / 100.0) +
                  "\t" + std::to_string((i * 53 % 1050) / 100.0) +
                  "\tArial\t8\tN\tN\tL\t1.2\tN\t\t\t\r\n";
    Drawn d(layout + "</PAGE>\r\n");
    CanvasPainter painter(*d.canvas, d.model, d.pictures);
    const double ppi = 96.3;
    const QSize size(int(8.5 * ppi) + 1, int(11 * ppi) + 1);
    // The whole page, an area of ragged edges, and two parts apart (drawn each by itself).
    for (const QRegion& area : {QRegion(QRect(QPoint(0, 0), size)),
                                QRegion(QRect(13, 7, 700, 1001)) - QRegion(200, 333, 90, 91),
                                QRegion(40, 50, 150, 21) + QRegion(501, 60, 153, 22)}) {
        QImage banded = Filled(size, Qt::red), once = Filled(size, Qt::red);
        PaintPageArea(painter, banded, 1, ppi, area, Qt::gray, 0);
        QPainter p(&once);
        p.setClipRegion(area);
        p.fillRect(area.boundingRect(), Qt::gray);
        CanvasPainter::BeginPage(p, ppi);
        painter.PaintPage(p, 0);
        p.end();
        EXPECT_TRUE(banded == once) << area.boundingRect().height();
    }
}

// On screen a label under a twin of its place is not drawn; a page drawn without it is the
// same picture to the pixel (even at edges that fall between pixels). A label the top one
// leaves an edge or a border of stays.
TEST(Render, OnlyTheTopOfLabelsStackedOnOnePlaceIsDrawn) {
    struct Row {
        const char* underPlace;
        bool underBordered, topBordered, hidden;
    } rows[] = {{"1.013\t1.017", false, false, true},
                {"1.013\t1.017", false, true, true},
                {"1.013\t1.017", true, true, true},
                {"1.013\t1.017", true, false, false},
                {"1.003\t1.017", false, false, false}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.underPlace + std::string(row.underBordered ? " bordered" : ""));
        const std::string top = ItemLine("Top", "1.013\t1.017\tArial\t8\tN\tN\tL\t1.2\tN\t\t\t");
        auto draw = [&](bool withUnder) {
            std::string under =
                ItemLine("Under, much longer",
                         std::string(row.underPlace) + "\tArial\t8\tN\tN\tL\t1.2\tN\t\t\t");
            Drawn d(MakeLayout(
                "", "<PAGE>\r\n" + (withUnder ? under + "\r\n" : "") + top + "\r\n</PAGE>\r\n"));
            d.canvas->Label(1).bordered = withUnder ? row.underBordered : row.topBordered;
            if (withUnder) d.canvas->Label(2).bordered = row.topBordered;
            return d.Page(0, 96.3);
        };
        EXPECT_EQ(draw(true) == draw(false), row.hidden);
    }
}

// Kerning, clipping and alignment included; what the table cannot draw as shaping does is left.
TEST(Render, CaptionsFromTheGlyphTableAreTheShapedCaptions) {
    const struct {
        const char* caption;
        const char* family;
        LabelAlignment alignment;
        double width, height;  // points
        bool fromTable;
    } rows[] = {
        {"AVATAR Te To Yo Wa", "Arial", LabelAlignment::Left, 200, 12, true},
        {"AVATAR Te To Yo Wa", "Arial", LabelAlignment::Right, 200, 12, true},
        {"AVATAR centred   ", "Arial", LabelAlignment::Centre, 200, 12, true},
        {"A caption much too long for its label", "Arial", LabelAlignment::Left, 40, 12, true},
        {"Cut from the left side", "Arial", LabelAlignment::Right, 40, 12, true},
        {"Typography cut below", "Arial", LabelAlignment::Left, 200, 9, true},
        {"Caf\xE9 na\xEFve \x80"
         "5 office",
         "Times New Roman", LabelAlignment::Left, 200, 12, true},
        {"Two\r\nlines", "Arial", LabelAlignment::Left, 200, 12, false},
        {"soft\xADhyphen", "Arial", LabelAlignment::Left, 200, 12, false},
        {"undefined \x81", "Arial", LabelAlignment::Left, 200, 12, false},
        // Kerned from tables the raw font does not read.
        {"AVATAR Te To Yo Wa", "DejaVu Sans", LabelAlignment::Left, 200, 12, false},
    };
    auto fontOf = [](const char* family) {
        QFont font(family);
        font.setPointSizeF(units::FontSizeOnPointScale(9, 96));
        font.setHintingPreference(QFont::PreferNoHinting);
        return font;
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.caption);
        const QFont font = fontOf(row.family);
        QImage table = Filled({300, 60}, Qt::white), shaped = Filled({300, 60}, Qt::white);
        const QRectF r(5, 3, row.width, row.height);
        QPainter p(&table), q(&shaped);
        for (QPainter* each : {&p, &q}) {
            CanvasPainter::BeginPage(*each, 192);
            each->setFont(font);
        }
        EXPECT_EQ(CaptionGlyphs(p.font(), &table).Draw(p, r, row.caption, row.alignment),
                  row.fromTable);
        const int align = row.alignment == LabelAlignment::Right    ? Qt::AlignRight
                          : row.alignment == LabelAlignment::Centre ? Qt::AlignHCenter
                                                                    : Qt::AlignLeft;
        q.drawText(r, Qt::AlignTop | align, toUnicode(row.caption));
        p.end();
        q.end();
        if (row.fromTable) {
            EXPECT_LT(DifferentShare(table, shaped), 0.002);
        }
    }
    // A printer or a PDF file keeps the text it is given, so it always gets it by shaping.
    QPicture picture;
    QPainter p(&picture);
    p.setFont(fontOf("Arial"));
    EXPECT_FALSE(CaptionGlyphs(p.font(), &picture).Draw(p, {0, 0, 100, 20}, "Text", {}));
}

TEST(Render, ShapesAndPlaceholdersAreWhereTheLayoutPutsThem) {
    Drawn d(TestDataFile("layouts/full.ldt"));
    QImage page = d.Page(0);
    ASSERT_EQ(page.size(), QSize(int(8.5 * kGoldenDpi), int(11 * kGoldenDpi)));
    // The red box from 0.5 to 8 inches, two pixels wide.
    auto reddish = [](const QColor& c) { return c.red() > 200 && c.green() < 160; };
    EXPECT_TRUE(Near(page, 0.5, 5.5, reddish) && Near(page, 8.0, 5.5, reddish));
    EXPECT_FALSE(Near(page, 0.3, 5.5, reddish));
    EXPECT_EQ(At(page, 4, 5.5), QColor(Qt::white));
    // logo.bmp is not there: a grey placeholder holds its place.
    EXPECT_EQ(At(page, 2.0, 1.05), QColor(240, 240, 240));
    // The barcode area is striped dark and light.
    int dark = 0, light = 0;
    for (double x = 5.2; x < 6.8; x += 1 / kGoldenDpi)
        (At(page, x, 0.75).lightness() < 80 ? dark : light)++;
    EXPECT_GT(std::min(dark, light), 10);
    // The signature box lives on page 2 only.
    QImage second = d.Page(1);
    auto inked = [](const QColor& c) { return c.lightness() < 128; };
    EXPECT_TRUE(Near(second, 4.0, 9.3, inked));  // cross-hatched signature pad
    EXPECT_FALSE(Near(page, 4.0, 9.3, inked));
}

TEST(Render, BackgroundAndImagesComeFromTheImagesFolder) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QImage red = Filled({96, 96}, QColor(255, 0, 0));
    red.setDotsPerMeterX(3780);
    red.setDotsPerMeterY(3780);
    ASSERT_TRUE(red.save(dir.filePath("back.png")));
    ASSERT_TRUE(Filled({10, 10}, QColor(0, 0, 255)).save(dir.filePath("logo.bmp")));
    Drawn d(TestDataFile("layouts/full.ldt"), dir.path().toStdString());
    QImage page = d.Page(0);
    // 96 pixels at 96 per inch: the background covers the first inch only, on the page and
    // alone (for line detection); the second page has none.
    EXPECT_TRUE(IsRed(At(page, 0.2, 0.2)) && !IsRed(At(page, 1.5, 0.2)));
    QImage back = RenderBackground(*d.canvas, d.model, d.pictures, 0, 96);
    EXPECT_TRUE(IsRed(back.pixelColor(48, 48)) && back.pixelColor(200, 48) == QColor(Qt::white));
    EXPECT_TRUE(RenderBackground(*d.canvas, d.model, d.pictures, 1, 96).isNull());
    // The image is stretched to its 2 x 0.5 inch frame.
    EXPECT_TRUE(At(page, 2.9, 1.45).blue() > 200 && At(page, 2.9, 1.45).red() < 60);
}

TEST(Render, DamagedPageSizesAndPagesDrawNothingAndNeverCrash) {
    Drawn huge(
        "<HEADER>\r\nPage:\t100000\t100000\r\n</HEADER>\r\n<PAGE>\r\nA\t1\t1\tArial\t8\tN\tN\tL"
        "\t1\tN\t\t\t\r\n</PAGE>");
    EXPECT_TRUE(huge.Page(0).isNull());
    QTemporaryDir dir;
    std::string out = dir.filePath("huge.png").toStdString();
    ExportResult r = ExportPagePng(*huge.canvas, huge.model, huge.pictures, 0, 96, out);
    EXPECT_FALSE(r.ok || r.error.empty());
    EXPECT_FALSE(std::filesystem::exists(out));

    Drawn zero("<HEADER>\r\nPage:\t0\t-3\r\n</HEADER>\r\n<PAGE>\r\n</PAGE>");
    EXPECT_TRUE(zero.Page(0).isNull());
    EXPECT_FALSE(ExportPagesPdf(*zero.canvas, zero.model, zero.pictures, {0},
                                dir.filePath("zero.pdf").toStdString())
                     .ok);

    // Items far outside the page and a page index beyond the form draw an empty page.
    Drawn far(
        "<HEADER>\r\nPage:\t2\t2\r\nBox:\t-90000\t90000\t5\t5\t1\t1\t1\tN\t0\r\n</HEADER>"
        "\r\n<PAGE>\r\nFar\t99999\t-99999\tArial\t8\tN\tN\tL\t1\tN\t\t\t\r\n</PAGE>");
    EXPECT_EQ(far.Page(0).pixelColor(48, 48), QColor(Qt::white));
    EXPECT_FALSE(far.Page(57).isNull());
}

TEST(Render, CompanionLabelsTakeTheirKindsColoursPlacedAndOnceTheSelectionIsCleared) {
    Drawn d(
        "<HEADER>\r\nPage:\t8.5\t11\r\nHotspot:\t1\t1\t1\t1\t1\tP\r\n"
        "Hotspot:\t1\t2.5\t1\t1\t1\tD\r\nHotspot:\t1\t4\t1\t1\t1\tS\r\n"
        "Hotspot:\t1\t5.5\t1\t1\t1\td\r\nSignature_Box:\t4\t1\t2\t1\t1\tN\r\n"
        "Box:\t4\t4\t2\t2\t1\t1\t1\tN\t0\r\n</HEADER>\r\n<PAGE>\r\n</PAGE>");
    // The colour most of a label's pixels have: its background, whatever its text.
    auto background = [&](const QImage& page, int label) {
        const LabelControl& l = *d.canvas->LabelAt(label);
        std::map<QRgb, int> count;
        for (int y = int(l.top * kGoldenDpi); y < int((l.top + l.height) * kGoldenDpi); ++y)
            for (int x = int(l.left * kGoldenDpi); x < int((l.left + l.width) * kGoldenDpi); ++x)
                ++count[page.pixel(x, y) & 0xFFFFFF];
        auto most = std::max_element(count.begin(), count.end(),
                                     [](auto& a, auto& b) { return a.second < b.second; });
        return most == count.end() ? 0u : most->first;
    };
    auto rgb = [](std::uint32_t bgr) { return ColorFromBgr(bgr).rgb() & 0xFFFFFF; };
    const auto& hotspots = d.canvas->Hotspots();
    std::vector<int> labels{d.canvas->SignatureBoxes()[0].label, d.canvas->Boxes()[0].label};
    for (int i = 3; i >= 0; --i) labels.insert(labels.begin(), hotspots[size_t(i)].label);
    // Placed: by kind as written ("d" is not "D").
    std::vector<std::uint32_t> placed{0xC0C0FF, 0xBFBE9A, 0x49D5E8, 0xF6ACDF, 0xFFC0C0, 0xC0C0C0};
    // Cleared: "D" keeps its colour, every other hotspot takes that of "P".
    std::vector<std::uint32_t> cleared{0xC0C0FF, 0xBFBE9A, 0xC0C0FF, 0xC0C0FF, 0xFFC0C0, 0xC0C0C0};
    QImage before = d.Page(0);
    CanvasEditor editor(*d.canvas, d.model, d.metrics);
    editor.UnselectAll();
    QImage after = d.Page(0);
    for (size_t i = 0; i < labels.size(); ++i) {
        EXPECT_EQ(background(before, labels[i]), rgb(placed[i])) << i;
        EXPECT_EQ(background(after, labels[i]), rgb(cleared[i])) << i;
    }
}

namespace {

std::string WithBackground(const std::string& name) {
    return "<HEADER>\r\nPage:\t8.5\t11\r\nBackground_Image:\t" + name +
           "\t1\t1\r\n</HEADER>\r\n<PAGE>\r\n</PAGE>";
}

// Rows where a walk down a pixel column meets ink after background, as the grid
// dialog's line detection walks (red + green + blue below 650 is ink).
std::vector<int> InkRows(const QImage& image, double xInches, double dpi) {
    std::vector<int> rows;
    bool ink = false;
    for (int y = 0; y < image.height(); ++y) {
        QColor c = image.pixelColor(int(xInches * dpi), y);
        bool now = c.red() + c.green() + c.blue() < 650;
        if (now && !ink) rows.push_back(y);
        ink = now;
    }
    return rows;
}

void ExpectRulesAt(const std::vector<int>& rows, const std::vector<double>& inches, double dpi) {
    ASSERT_EQ(rows.size(), inches.size());
    for (size_t i = 0; i < rows.size(); ++i) EXPECT_NEAR(rows[i], inches[i] * dpi, 3) << i;
}

using MetafileMaker = std::string (*)(const std::vector<double>&, const std::string&);
const std::pair<const char*, MetafileMaker> kMetafiles[] = {{"form.wmf", testmeta::RuledWmf},
                                                            {"form.emf", testmeta::RuledEmf}};

}  // namespace

TEST(Render, MetafileBackgroundsFillThePageAndAreReadAgainWhenChanged) {
    for (auto [name, make] : kMetafiles) {
        SCOPED_TRACE(name);
        QTemporaryDir dir;
        std::string path = dir.filePath(name).toStdString();
        WriteTestFile(path, make({2, 3, 4, 5}, "PATIENT"));
        Drawn d(WithBackground(name), dir.path().toStdString());
        QImage page = d.Page(0);
        ExpectRulesAt(InkRows(page, 4, kGoldenDpi), {2, 3, 4, 5}, kGoldenDpi);
        EXPECT_EQ(At(page, 4, 8), QColor(Qt::white));  // no placeholder
        int inked = 0;                                 // the caption under (1, 1) inch
        for (double x = 1; x < 2.5; x += 1 / kGoldenDpi)
            for (double y = 0.7; y < 1.5; y += 1 / kGoldenDpi)
                inked += At(page, x, y).lightness() < 128;
        EXPECT_GT(inked, 10);
        // The background alone, for line detection, at another resolution.
        QImage back = RenderBackground(*d.canvas, d.model, d.pictures, 0, 96);
        ExpectRulesAt(InkRows(back, 4, 96), {2, 3, 4, 5}, 96);
        WriteTestFile(path, make({2, 2.5}, "PATIENT NAME"));
        ExpectRulesAt(InkRows(RenderBackground(*d.canvas, d.model, d.pictures, 0, 96), 4, 96),
                      {2, 2.5}, 96);
    }
}

TEST(Render, DamagedMetafilesShowThePlaceholderAndNeverCrash) {
    for (auto [name, make] : kMetafiles) {
        std::string good = make({2, 3}, "X");
        bool wmf = std::string(name).ends_with("wmf");
        size_t firstRecord = wmf ? 40 : 88, sizeAt = wmf ? 40 : 92;
        auto patched = [&](size_t at, std::uint32_t value) {
            std::string b = good;
            for (int i = 0; i < 4; ++i) b[at + i] = char(value >> (8 * i));
            return b;
        };
        // Records that chain soundly but claim more points than they hold.
        testmeta::Bytes lie;
        wmf ? lie.Wmf(0x0324, {32767, 5, 5}) : lie.Emf(87, {0, 0, 10, 10, 0x7FFFFFFF, 5});
        size_t eof = wmf ? 6 : 20;
        const std::pair<const char*, std::string> damaged[] = {
            {"lying record",
             good.substr(0, good.size() - eof) + lie.b + good.substr(good.size() - eof)},
            {"empty", ""},
            {"header cut", good.substr(0, 30)},
            {"first record cut", good.substr(0, firstRecord + 5)},
            {"half", good.substr(0, good.size() / 2)},
            {"end-of-file record cut", good.substr(0, good.size() - 2)},
            {"record longer than the file", patched(sizeAt, 0x7FFFFFF0)},
            {"record of size zero", patched(sizeAt, 0)},
            // an unknown version; a description far beyond the header
            {"header out of range", wmf ? patched(26, 0x0200) : patched(60, 0x10000000)},
            {"not a metafile", "GIF89a not really"},
        };
        for (const auto& [what, bytes] : damaged) {
            SCOPED_TRACE(std::string(name) + ": " + what);
            EXPECT_TRUE(MetafileToSvg(bytes).empty());
            QTemporaryDir dir;
            WriteTestFile(dir.filePath(name).toStdString(), bytes);
            Drawn d(WithBackground(name), dir.path().toStdString());
            EXPECT_EQ(At(d.Page(0), 4, 8), QColor(240, 240, 240));
            EXPECT_TRUE(RenderBackground(*d.canvas, d.model, d.pictures, 0, 96).isNull());
        }
    }
}

TEST(Render, AConverterThatCrashesHangsOrFloodsCostsOnlyThePicture) {
    const std::pair<const char*, std::function<std::string()>> converters[] = {
        {"crashes", []() -> std::string { std::abort(); }},
        {"hangs",
         []() -> std::string {
             for (;;) pause();
         }},
        {"floods", [] { return std::string(size_t(65) << 20, '<'); }},
        {"fails", [] { return std::string(); }},
    };
    for (const auto& [what, convert] : converters)
        EXPECT_EQ(RunConverterIsolated(convert, 500), "") << what;
    EXPECT_EQ(RunConverterIsolated([] { return std::string(100000, 'x'); }, 5000),
              std::string(100000, 'x'));
}

#include <zbar.h>

namespace {
// What a scanner reads from the picture ("" when nothing).
std::string Scan(const QImage& image) {
    QImage grey = image.convertToFormat(QImage::Format_Grayscale8);
    std::vector<unsigned char> pixels;
    for (int y = 0; y < grey.height(); ++y)
        pixels.insert(pixels.end(), grey.constScanLine(y), grey.constScanLine(y) + grey.width());
    zbar::ImageScanner scanner;
    zbar::Image frame(unsigned(grey.width()), unsigned(grey.height()), "Y800", pixels.data(),
                      pixels.size());
    scanner.scan(frame);
    for (auto s = frame.symbol_begin(); s != frame.symbol_end(); ++s) return s->get_data();
    return {};
}
}  // namespace

TEST(Render, BarcodesScanAsTheirTextAsTheSampleValueOrNotAtAll) {
    // Code 39 has no lower case: a text it cannot hold gets a marked placeholder, as
    // bars for any other value would scan as data the text does not say.
    const struct {
        const char* text;
        const char* scanned;
    } cases[] = {{"ABC-123", "ABC-123"},    {"PT 0042", "PT 0042"}, {"Hello", ""},
                 {"lower case", ""},        {"A\xE9", ""},          {"^PT_ACCOUNT", "1234567890"},
                 {"~PT_NAME", "1234567890"}};
    for (const auto& c : cases) {
        Drawn d(MakeLayout("", ""));
        d.canvas->AddBarcode({1, 1, 3, 0.8}, 0, c.text);
        EXPECT_EQ(Scan(d.Page(0, 150)), c.scanned) << c.text;
    }
}

namespace {
std::string PrintLayout(const std::string& header = "") {
    return MakeLayout(
        "Number_Of_Pages:\t3\r\n" + header,
        "<PAGE>\r\n" + ItemLine("Patient name", "1\t1\tArial\t12\tY\tN\tL\t3\tN\t\t\t") + "\r\n" +
            ItemLine("Date of birth", "7\t3\tArial\t10\tN\tN\tR\t2\tN\t\t\t") +
            "\r\n</PAGE>\r\n<PAGE>\r\n</PAGE>\r\n<PAGE>\r\n" + ItemLine("Third") +
            "\r\n</PAGE>\r\n");
}

// Where the dark pixels (text) of a part of a picture lie.
QRect DarkBounds(const QImage& image, const QRect& part) {
    QRect bounds;
    for (int y = part.top(); y <= part.bottom(); ++y)
        for (int x = part.left(); x <= part.right(); ++x)
            if (image.pixelColor(x, y).lightness() < 100) bounds |= QRect(x, y, 1, 1);
    return bounds;
}

// What a viewer finds in a PDF: for each page of its page tree, the text it shows (fonts
// sizes and glyphs in order), a font the page's resources do not name marked "?". Objects are
// found through the last cross-reference table and those it points back to.
std::vector<std::string> PdfPageTexts(const std::string& path) {
    std::string bytes = Slurp(path);
    std::map<long, size_t> at;  // the newest table wins
    for (size_t xref = std::strtoul(bytes.c_str() + bytes.rfind("startxref") + 9, nullptr, 10);
         xref > 0 && xref < bytes.size();) {
        char *s = bytes.data() + xref + 5, *end = nullptr;
        for (long first = std::strtol(s, &end, 10); end != s; first = std::strtol(s, &end, 10)) {
            const long count = std::strtol(end, &s, 10);
            for (long i = 0; i < count; ++i, s += 20)
                if (s[18] == 'n') at.emplace(first + i, std::strtoul(s + 1, nullptr, 10));
            ++s;
        }
        const size_t prev = bytes.find("/Prev", size_t(s - bytes.data()));
        xref = prev < bytes.find("startxref", size_t(s - bytes.data()))
                   ? std::strtoul(bytes.c_str() + prev + 5, nullptr, 10)
                   : 0;
    }
    auto object = [&](long n) {
        const size_t from = at.count(n) ? at[n] : bytes.size();
        return bytes.substr(from, bytes.find("endobj", from) - from);
    };
    auto refs = [](const std::string& text, const std::string& key) {  // "n 0 R" or a list
        std::vector<long> found;
        std::istringstream in(text.substr(std::min(text.find(key), text.size())));
        std::string word;
        long n = 0, generation = 0;
        in >> word >> std::ws;
        const bool list = in.peek() == '[' && in.get();
        while (in >> n >> generation >> word && (found.push_back(n), list)) {
        }
        return found.empty() ? std::vector<long>{0} : found;
    };
    std::vector<std::string> pages;
    const std::string tree =
        object(refs(object(refs(bytes.substr(bytes.rfind("/Root")), "/Root")[0]), "/Pages")[0]);
    for (long page : refs(tree, "/Kids")) {
        const std::string dict = object(page), resources = object(refs(dict, "/Resources")[0]);
        std::string text;
        for (long stream : refs(dict, "/Contents")) {
            const std::string body = object(stream);
            const size_t data = body.find("stream\n") + 7;
            const QByteArray packed =
                QByteArray::fromStdString(body.substr(data, body.rfind("endstream") - data));
            const QByteArray commands = body.find("/FlateDecode") == std::string::npos
                                            ? packed
                                            : qUncompress(QByteArray("\0\x10\0\0", 4) + packed);
            for (const QByteArray& line : commands.split('\n')) {
                const bool font = line.contains(" Tf ");
                if (font &&
                    resources.find(line.split(' ')[0].toStdString() + ' ') == std::string::npos)
                    text += "? ";
                // Font names are object numbers, which differ between two writings.
                if (font || line.endsWith(" Tj"))
                    text += line.mid(font ? line.indexOf(' ') : 0).toStdString() + '\n';
            }
        }
        pages.push_back(text);
    }
    return pages;
}
}  // namespace

TEST(Print, SheetPutsTheTextWhereTheScreenDrawsIt) {
    Drawn d(PrintLayout());
    d.model.settings.horizontalShift = d.model.settings.verticalShift = 0;
    QImage screen = d.Page(0, 96);
    QImage sheet = Filled(screen.size(), Qt::white);
    {
        QPainter p(&sheet);
        PaintPrintSheet(p, 96, CanvasPainter(*d.canvas, d.model, d.pictures), d.model, 0);
    }
    // Each label's text within a pixel of where the screen has it.
    for (QRect part : {QRect(0, 0, 816, 192), QRect(0, 192, 816, 192)}) {
        QRect s = DarkBounds(screen, part), p = DarkBounds(sheet, part);
        ASSERT_FALSE(s.isEmpty());
        for (int delta : {s.left() - p.left(), s.top() - p.top(), s.right() - p.right(),
                          s.bottom() - p.bottom()})
            EXPECT_LE(std::abs(delta), 1) << part.top();
    }
    // No label background reaches the paper.
    EXPECT_EQ(sheet.pixelColor(int(1.5 * 96), int(1.02 * 96)), QColor(Qt::white));
    EXPECT_NE(screen.pixelColor(int(1.5 * 96), int(1.02 * 96)), QColor(Qt::white));
}

TEST(Print, WideCaptionsLoseCharactersFromTheSideAwayFromTheirAlignment) {
    QFont font("Arial");
    font.setPointSize(10);
    QFontMetricsF m(font);
    const QString text = "ABCDEFGHIJ";
    double four = m.horizontalAdvance("ABCD") + 0.01;
    struct Case {
        double width;
        LabelAlignment alignment;
        QString expected;
    } cases[] = {{four, LabelAlignment::Left, "ABCD"},
                 {four, LabelAlignment::Centre, "ABCD"},
                 {four, LabelAlignment::Right, "GHIJ"},
                 {1000, LabelAlignment::Right, text},
                 {0, LabelAlignment::Left, ""}};
    for (const auto& c : cases)
        EXPECT_EQ(FitCaption(text, m, c.width, c.alignment), c.expected) << c.width;

    // A caption a hair narrower than its label prints whole at 1200 dots per inch.
    const double dpi = 1200;
    const QString caption = "^DOS_FROM Text(From";
    QImage sheet(int(2.5 * dpi), int(1.5 * dpi), QImage::Format_RGB32);
    sheet.setDotsPerMeterX(int(std::lround(dpi / 0.0254)));
    sheet.setDotsPerMeterY(sheet.dotsPerMeterX());
    QFont arial("Arial", 8);
    const double fits = QFontMetricsF(arial, &sheet).horizontalAdvance(caption) / dpi + 0.01;
    Drawn d(MakeLayout("", "<PAGE>\r\n" + ItemLine(caption.toStdString()) + "\r\n</PAGE>"));
    d.model.settings.horizontalShift = d.model.settings.verticalShift = 0;
    LabelControl& label = d.canvas->Label(d.canvas->LabelOrder().back());
    auto print = [&](double left, double width, LabelAlignment alignment) {
        label.left = left, label.width = width, label.alignment = alignment;
        sheet.fill(Qt::white);
        QPainter p(&sheet);
        PaintPrintSheet(p, dpi, CanvasPainter(*d.canvas, d.model, d.pictures), d.model, 0);
        return sheet.copy();
    };
    EXPECT_TRUE(print(1, fits, LabelAlignment::Left) == print(1, 2 * fits, LabelAlignment::Left));
    EXPECT_TRUE(print(1, fits, LabelAlignment::Right) ==
                print(1 - fits, 2 * fits, LabelAlignment::Right));
}

// Render (every page), Export PDF (the pages with something on them) and a preview alike.
TEST(Print, PdfsLayEveryPageOnOneSheetAndAreWrittenWhole) {
    auto pdf = [](const std::string& path) {  // the first sheet (points) and the page count
        const std::string bytes = Slurp(path);
        double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
        if (size_t box = bytes.find("/MediaBox ["); box != std::string::npos)
            std::sscanf(bytes.c_str() + box + 11, "%lf %lf %lf %lf", &x0, &y0, &x1, &y1);
        return std::pair(QSizeF(x1 - x0, y1 - y0), PdfPageTexts(path).size());
    };
    const std::tuple<const char*, const char*, QSizeF> sheets[] = {
        {"8.5\t11", "1", {612, 792}}, {"11\t8.5", "2", {792, 612}}, {"5.5\t3.25", "1", {396, 234}}};
    QTemporaryDir dir;
    const std::string rendered = dir.filePath("r.pdf").toStdString(),
                      exported = dir.filePath("e.pdf").toStdString(),
                      parted = dir.filePath("p.pdf").toStdString();
    for (const auto& [size, orientation, sheet] : sheets) {
        Drawn d(PrintLayout(std::string("Page:\t") + size + "\r\nOrientation:\t" + orientation +
                            "\r\n"));
        QPrinter preview(QPrinter::HighResolution);
        preview.setOutputFormat(QPrinter::PdfFormat);
        SetUpPrinter(preview, *d.canvas, d.model);
        EXPECT_EQ(preview.pageLayout().fullRectPoints().size(), sheet) << size;
        ASSERT_TRUE(ExportPagesPdf(*d.canvas, d.model, d.pictures, {0, 1, 2}, rendered).ok);
        ASSERT_TRUE(PrintToPdf(*d.canvas, d.model, d.pictures, exported).ok);
        EXPECT_EQ(pdf(rendered), std::pair(sheet, size_t(3))) << size;
        EXPECT_EQ(pdf(exported), std::pair(sheet, size_t(2))) << size;
        // A page written in parts of one label each reads as the page written at once.
        ASSERT_TRUE(ExportPagesPdf(*d.canvas, d.model, d.pictures, {0, 1, 2}, parted, 1).ok);
        const auto texts = PdfPageTexts(rendered);
        EXPECT_EQ(PdfPageTexts(parted), texts) << size;
        ASSERT_EQ(texts.size(), 3u);
        EXPECT_NE(texts[0].find(" Tf ", texts[0].find(" Tf ") + 1), std::string::npos) << texts[0];
    }
    EXPECT_FALSE(std::filesystem::exists(exported + ".part"));
    // Nothing is written where it cannot be, nor for a box alone (its name is no label).
    Drawn box(MakeLayout("Box:\t1\t1\t2\t2\t1\t1\t1\tN\t0\r\n", "<PAGE>\r\n</PAGE>"));
    const std::string nowhere = dir.filePath("no/such/x.pdf").toStdString();
    EXPECT_FALSE(ExportPagesPdf(*box.canvas, box.model, box.pictures, {0}, nowhere).ok);
    EXPECT_FALSE(std::filesystem::exists(nowhere));
    EXPECT_EQ(PrintToPdf(*box.canvas, box.model, box.pictures, exported).error,
              "the form has nothing to print");
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath("empty.pdf"));
    EXPECT_FALSE(PrintPage(printer, *box.canvas, box.model, box.pictures, 0));
    EXPECT_FALSE(std::filesystem::exists(dir.filePath("empty.pdf").toStdString()));
}
