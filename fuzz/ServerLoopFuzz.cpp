// The repository server's connection loop on arbitrary bytes from a client: the input is
// what arrives on one connection (frames or garbage); a reader drains the replies. The
// loop must end when the bytes do, every reply it writes must be a well-formed frame, and
// whatever it stored must be what some whole upload on the connection sent: a record
// equal to the pieces of one upload joined, a picture equal to one picture of one upload.
#include <sys/socket.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "Repository.h"
#include "Server.h"
#include "wire/Framing.h"

namespace {

using Key = std::vector<std::string>;  // entity, form, file or layout text

struct Sent {
    std::set<std::string> entities;
    std::set<Key> records;   // entity, name, layout
    std::set<Key> pictures;  // entity, form, file, bytes
};

bool Cut(std::string_view& s, std::string_view prefix) {
    if (s.substr(0, prefix.size()) != prefix) return false;
    s.remove_prefix(prefix.size());
    return true;
}

std::string Field(std::string_view& s) {
    size_t bar = s.find('|');
    std::string out(s.substr(0, bar));
    s.remove_prefix(bar == std::string_view::npos ? s.size() : bar + 1);
    return out;
}

// The records and pictures of one whole upload (or of one request sent alone).
void Collect(const std::string& entity, const std::vector<std::string>& texts, Sent& sent) {
    std::string record, picture, form, file;
    int nextPiece = 0;
    auto endPicture = [&] {
        if (nextPiece > 0) sent.pictures.insert({entity, form, file, picture});
        nextPiece = 0;
    };
    std::string staged;
    for (std::string_view t : texts) {
        if (Cut(t, "|SETL|")) {
            staged += t;
            continue;
        }
        if (Cut(t, "|SET|CUSTFORM|T|")) {
            std::string_view whole;
            record = std::string(t) + staged;
            whole = record;
            std::string name = Field(whole);
            Field(whole);
            sent.records.insert({entity, name, std::string(whole)});
            staged.clear();
            continue;
        }
        if (Cut(t, "|SET|CUSTFORM|I-0|")) {
            endPicture();
            std::string f = Field(t), n = Field(t);
            sent.pictures.insert({entity, f, n, std::string(t)});
            continue;
        }
        if (Cut(t, "|SET|CUSTFORM|I-")) {
            int n = std::atoi(std::string(t.substr(0, t.find('|'))).c_str());
            Field(t);
            std::string f = Field(t), name = Field(t);
            if (n != nextPiece || f != form || name != file) endPicture();
            if (n == 1 || (n == nextPiece && nextPiece > 0)) {
                if (n == 1) picture.clear();
                form = f;
                file = name;
                picture += t;
                nextPiece = n + 1;
            }
            continue;
        }
        endPicture();
    }
    endPicture();
}

// The requests the connection carried, as the server reads them, grouped into uploads.
Sent ReadSent(std::string_view in) {
    Sent sent;
    std::vector<std::string> upload;
    wire::Sequence current;
    std::string entity;
    while (in.size() >= 4) {
        std::uint32_t n = (std::uint32_t(std::uint8_t(in[0])) << 24) |
                          (std::uint32_t(std::uint8_t(in[1])) << 16) |
                          (std::uint32_t(std::uint8_t(in[2])) << 8) | std::uint8_t(in[3]);
        if (n > in.size() - 4) break;
        std::vector<std::string_view> f;
        wire::Sequence seq;
        bool ok = wire::DecodeFieldViews(in.substr(4, n), f) && (f.size() == 3 || f.size() == 4) &&
                  (f[0] == wire::kChannelString || f[0] == wire::kChannelArray) &&
                  (f.size() == 3 || wire::DecodeSequence(f[3], seq));
        in.remove_prefix(4 + n);
        if (!ok) continue;  // answered FAIL; not a request
        sent.entities.insert(std::string(f[1]));
        bool follows = f.size() == 4 && current.id != 0 && seq.id == current.id &&
                       seq.count == current.count && seq.index == current.index + 1 &&
                       f[1] == entity;
        if (f.size() == 4 && seq.index == 1) {
            upload.clear();
            current = seq;
            entity = f[1];
            follows = true;
        }
        if (!follows) {
            current = {};
            upload.clear();
            if (f.size() == 3) Collect(std::string(f[1]), {std::string(f[2])}, sent);
            continue;
        }
        current.index = seq.index;
        upload.emplace_back(f[2]);
        if (seq.index == seq.count) {
            Collect(entity, upload, sent);
            current = {};
            upload.clear();
        }
    }
    return sent;
}

// Everything stored must be something sent whole.
void CheckStored(repo::Repository& repository, const Sent& sent) {
    for (const auto& entity : sent.entities) {
        std::vector<repo::FormRecord> forms;
        std::string error;
        if (repository.ListForms(entity, forms, error) != repo::Status::Ok) std::abort();
        for (const auto& listed : forms) {
            repo::FormRecord form;
            if (repository.FindForm(entity, listed.name, form, error) == repo::Status::Ok &&
                !sent.records.count({entity, form.name, form.layout}))
                std::abort();
            for (const auto& image : listed.images) {
                std::string bytes;
                if (repository.FindImage(entity, listed.name, "", image.file, bytes, error) ==
                        repo::Status::Ok &&
                    !sent.pictures.count({entity, listed.name, image.file, bytes}))
                    std::abort();
            }
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 65536) return 0;  // more would not fit in the socket's buffer unread
    std::string error;
    auto repository = repo::Repository::Open(":memory:", error);
    if (!repository) return 0;
    int sv[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, sv) != 0) return 0;
    if (::write(sv[0], data, size) != ssize_t(size)) std::abort();
    ::shutdown(sv[0], SHUT_WR);
    std::thread reader([&] {
        std::string reply;
        std::vector<std::string> fields;
        while (wire::ReadFrame(sv[0], reply, 5000) == wire::IoResult::Ok) {
            if (!wire::DecodeFields(reply, fields) || fields.empty() ||
                (fields[0] != wire::kStatusOk && fields[0] != wire::kStatusFail))
                std::abort();
        }
    });
    {
        repo::Server server(*repository, 1000, 0);
        server.ServeSocket(sv[1]);
    }
    ::shutdown(sv[1], SHUT_RDWR);
    reader.join();
    ::close(sv[0]);
    ::close(sv[1]);
    CheckStored(*repository, ReadSent(std::string_view(reinterpret_cast<const char*>(data), size)));
    return 0;
}
