#include "drawing/Metafile.h"

#include <emf2svg.h>
#include <libwmf/api.h>
#include <libwmf/svg.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "shell/Units.h"

namespace {

constexpr std::uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr std::uint32_t kEmfSignature = 0x464D4520;  // " EMF"
constexpr std::uint32_t kEmrHeader = 1, kEmrEof = 14;
constexpr size_t kEmfHeaderSize = 88, kWmfHeaderSize = 18, kPlaceableSize = 22;
// A converter that writes more than this has met a file it cannot handle.
constexpr size_t kMaxSvgBytes = size_t(64) << 20;

std::uint32_t Le16(std::string_view b, size_t at) {
    return std::uint32_t(std::uint8_t(b[at])) | std::uint32_t(std::uint8_t(b[at + 1])) << 8;
}
std::uint32_t Le32(std::string_view b, size_t at) {
    return Le16(b, at) | Le16(b, at + 2) << 16;
}

// Where the records of a WMF start, or 0 when its headers are not sound.
size_t WmfRecordsStart(std::string_view b) {
    size_t at = b.size() >= 4 && Le32(b, 0) == kPlaceableKey ? kPlaceableSize : 0;
    if (b.size() < at + kWmfHeaderSize) return 0;
    std::uint32_t type = Le16(b, at), words = Le16(b, at + 2), version = Le16(b, at + 4);
    bool sound = (type == 1 || type == 2) && words == kWmfHeaderSize / 2 &&
                 (version == 0x0100 || version == 0x0300);
    return sound ? at + kWmfHeaderSize : 0;
}

bool WmfSound(std::string_view b) {
    size_t at = WmfRecordsStart(b);
    if (at == 0) return false;
    while (at + 6 <= b.size()) {
        size_t words = Le32(b, at);
        if (words < 3 || words > (b.size() - at) / 2) return false;
        if (Le16(b, at + 4) == 0) return true;  // the end-of-file record
        at += words * 2;
    }
    return false;
}

bool EmfSound(std::string_view b) {
    if (b.size() < kEmfHeaderSize || Le32(b, 0) != kEmrHeader || Le32(b, 4) < kEmfHeaderSize ||
        Le32(b, 40) != kEmfSignature)
        return false;
    // The description text (UTF-16) lies within the header record.
    std::uint64_t describedTo = Le32(b, 64) + 2 * std::uint64_t(Le32(b, 60));
    if (Le32(b, 60) > 0 && describedTo > Le32(b, 4)) return false;
    for (size_t at = 0; at + 8 <= b.size();) {
        std::uint32_t type = Le32(b, at), size = Le32(b, at + 4);
        if (size < 8 || size % 4 != 0 || size > b.size() - at) return false;
        if (at > 0 && type == kEmrHeader) return false;
        if (type == kEmrEof) return size >= 20;
        at += size;
    }
    return false;
}

std::string WmfToSvg(std::string& bytes) {
    wmfAPI* api = nullptr;
    wmfAPI_Options options{};
    options.function = wmf_svg_function;
    unsigned long flags =
        WMF_OPT_FUNCTION | WMF_OPT_IGNORE_NONFATAL | WMF_OPT_NO_ERROR | WMF_OPT_NO_DEBUG;
    if (wmf_api_create(&api, flags, &options) != wmf_E_None) return {};
    std::string svg;
    wmfD_Rect box{};
    if (wmf_mem_open(api, reinterpret_cast<unsigned char*>(bytes.data()), long(bytes.size())) ==
            wmf_E_None &&
        wmf_scan(api, 0, &box) == wmf_E_None) {
        wmf_svg_t* device = WMF_SVG_GetData(api);
        device->out = wmf_stream_create(api, nullptr);
        device->Description = const_cast<char*>("Form Designer");
        // The scan gives the extent of what is drawn; a placeable file names its whole
        // frame, so that the drawing keeps its place on the page (both in points).
        if (Le32(bytes, 0) == kPlaceableKey && Le16(bytes, 14) > 0) {
            double scale = units::kPointsPerInch / Le16(bytes, 14);
            auto at = [&](size_t i) { return float(std::int16_t(Le16(bytes, i)) * scale); };
            wmfD_Rect frame{{at(6), at(8)}, {at(10), at(12)}};
            if (frame.BR.x > frame.TL.x && frame.BR.y > frame.TL.y) box = frame;
        }
        device->bbox = box;
        unsigned width = 0, height = 0;
        wmf_display_size(api, &width, &height, units::kPointsPerInch, units::kPointsPerInch);
        device->width = width;
        device->height = height;
        if (device->out && width > 0 && height > 0 && wmf_play(api, 0, &box) == wmf_E_None) {
            char* text = nullptr;
            unsigned long length = 0;
            wmf_stream_destroy(api, device->out, &text, &length);
            if (text) svg.assign(text, length);
        }
    }
    wmf_api_destroy(api);
    return svg;
}

void PutLe32(std::string& b, size_t at, std::int32_t v) {
    for (int i = 0; i < 4; ++i) b[at + size_t(i)] = char(std::uint32_t(v) >> (8 * i));
}

std::string EmfToSvg(std::string& bytes) {
    // The header's bounds are the extent of what is drawn, in device pixels; the frame is
    // the whole picture, in hundredths of a millimetre. The converter sizes its drawing by
    // the bounds, so they are widened to the frame: the drawing keeps its place on the page.
    auto at = [&](size_t i) { return double(std::int32_t(Le32(bytes, i))); };
    double perMm[2] = {at(80) > 0 ? at(72) / at(80) : 0, at(84) > 0 ? at(76) / at(84) : 0};
    double widened[4];
    bool usable = at(32) > at(24) && at(36) > at(28);
    for (size_t i = 0; i < 4; ++i) {
        widened[i] = at(24 + 4 * i) * perMm[i % 2] / 100;
        usable = usable && perMm[i % 2] > 0 && std::fabs(widened[i]) < 1e9;
    }
    for (size_t i = 0; usable && i < 4; ++i)
        PutLe32(bytes, 8 + 4 * i, std::int32_t(std::lround(widened[i])));
    if (!(at(16) > at(8) && at(20) > at(12))) return {};  // nothing to scale a drawing by
    generatorOptions options{};
    options.emfplus = true;
    options.svgDelimiter = true;
    char* text = nullptr;
    size_t length = 0;
    int ok = emf2svg(bytes.data(), bytes.size(), &text, &length, &options);
    std::string svg = ok && text ? std::string(text, length) : std::string();
    std::free(text);
    return svg;
}

}  // namespace

MetafileKind SniffMetafile(std::string_view bytes) {
    if (bytes.size() >= kEmfHeaderSize && Le32(bytes, 0) == kEmrHeader &&
        Le32(bytes, 40) == kEmfSignature)
        return MetafileKind::Emf;
    return WmfRecordsStart(bytes) > 0 ? MetafileKind::Wmf : MetafileKind::None;
}

bool MetafileStructureSound(MetafileKind kind, std::string_view bytes) {
    return kind == MetafileKind::Wmf   ? WmfSound(bytes)
           : kind == MetafileKind::Emf ? EmfSound(bytes)
                                       : false;
}

std::string MetafileToSvg(std::string_view bytes) {
    MetafileKind kind = SniffMetafile(bytes);
    if (!MetafileStructureSound(kind, bytes)) return {};
    std::string copy(bytes);
    return RunConverterIsolated(
        [&] { return kind == MetafileKind::Wmf ? WmfToSvg(copy) : EmfToSvg(copy); });
}

std::string RunConverterIsolated(const std::function<std::string()>& convert, int timeLimitMs) {
    int fds[2];
    if (pipe(fds) != 0) return {};
    pid_t child = fork();
    if (child < 0) {
        close(fds[0]);
        close(fds[1]);
        return {};
    }
    if (child == 0) {
        close(fds[0]);
        rlimit noCore{0, 0};  // a converter that crashes leaves no core file behind
        setrlimit(RLIMIT_CORE, &noCore);
        std::string svg = convert();
        for (size_t done = 0; done < svg.size();) {
            ssize_t n = write(fds[1], svg.data() + done, svg.size() - done);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) _exit(1);
            done += size_t(n);
        }
        _exit(svg.empty() ? 1 : 0);
    }
    close(fds[1]);
    std::string svg;
    bool failed = false;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeLimitMs);
    for (;;) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                        deadline - std::chrono::steady_clock::now())
                        .count();
        pollfd p{fds[0], POLLIN, 0};
        int ready = left > 0 ? poll(&p, 1, int(left)) : 0;
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) {
            failed = true;
            break;
        }
        char chunk[65536];
        ssize_t n = read(fds[0], chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        svg.append(chunk, size_t(n));
        if (svg.size() > kMaxSvgBytes) {
            failed = true;
            break;
        }
    }
    close(fds[0]);
    if (failed) kill(child, SIGKILL);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (failed || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return {};
    return svg;
}
