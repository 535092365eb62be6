// Feeds arbitrary request texts to the request handler over a fresh in-memory repository.
// The input is a sequence of requests separated by LF. A first line "DEMO" seeds the demo
// data; a request that begins with "@" goes to another entity (the "@" is dropped), and
// one that begins with "#" and three bytes id, index, count carries that sequence field,
// so pieces, sequences, entities and stages mix in every way.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "DemoData.h"
#include "Repository.h"
#include "RequestHandler.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string error;
    auto repository = repo::Repository::Open(":memory:", error);
    if (!repository) return 0;
    repo::RequestHandler handler(*repository);
    repo::Session session;
    std::string_view input(reinterpret_cast<const char*>(data), size);
    if (input.starts_with("DEMO\n")) {
        repo::SeedDemoData(*repository, error);
        input.remove_prefix(5);
    }
    while (!input.empty()) {
        std::size_t lf = input.find('\n');
        std::string_view request = input.substr(0, lf);
        input.remove_prefix(lf == std::string_view::npos ? input.size() : lf + 1);
        std::string entity = "1";
        if (request.starts_with("@")) {
            request.remove_prefix(1);
            entity = "2";
        }
        wire::Sequence sequence;
        bool sequenced = request.size() >= 4 && request[0] == '#';
        if (sequenced) {
            sequence = {std::uint8_t(request[1]), std::uint8_t(request[2]),
                        std::uint8_t(request[3])};
            request.remove_prefix(4);
        }
        repo::Reply reply =
            handler.Handle(session, entity, request, sequenced ? &sequence : nullptr);
        // Every request is answered with at least one element.
        if (reply.empty()) __builtin_trap();
    }
    handler.EndSession(session);
    return 0;
}
