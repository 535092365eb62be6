#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <thread>

#include "wire/Framing.h"

TEST(FieldsEncoding, EveryByteValueSurvivesARoundTrip) {
    std::string all;
    for (int i = 0; i < 256; ++i) all += char(i);
    std::vector<std::string> in = {"A", "", all, "line1\r\nline2\r\n"};
    std::vector<std::string> out;
    ASSERT_TRUE(wire::DecodeFields(wire::EncodeFields(in), out));
    EXPECT_EQ(in, out);
    // Written field by field (one from two parts) after bytes already there.
    std::string written = "head";
    wire::FieldWriter w(written);
    w.Add("A");
    w.Add("", "");
    w.Add(all.substr(0, 100), all.substr(100));
    w.Add("line1\r\n", "line2\r\n");
    w.Finish();
    EXPECT_EQ(written, "head" + wire::EncodeFields(in));
    // Cut at a separator: empty pieces at both ends, a lone first byte of it, many pieces.
    std::string crlfs;
    for (int i = 0; i < 3000; ++i) crlfs += "\r\n";
    for (std::string text :
         std::vector<std::string>{"", "\r\n", "a\rb\r\n\r\nc\r", crlfs + "x\n"}) {
        std::string cut;
        wire::FieldWriter pieces(cut);
        pieces.AddPieces(text, "\r\n", "|OK||");
        pieces.Finish();
        std::vector<std::string> lines = {"|OK||"};
        for (size_t i = 0; i < text.size(); ++i)
            text.compare(i, 2, "\r\n") ? void(lines.back() += text[i])
                                       : (lines.emplace_back(), void(++i));
        EXPECT_EQ(cut, wire::EncodeFields(lines)) << text;
    }
    std::vector<std::string_view> views;
    ASSERT_TRUE(wire::DecodeFieldViews(std::string_view(written).substr(4), views));
    EXPECT_EQ(std::vector<std::string>(views.begin(), views.end()), in);
}

TEST(FieldsEncoding, MalformedPayloadsAndSequencesAreRefusedAndAGoodSequenceRoundTrips) {
    std::vector<std::string> out;
    std::string good = wire::EncodeFields({"abc", "de"});
    EXPECT_FALSE(wire::DecodeFields("", out));
    EXPECT_FALSE(wire::DecodeFields(good.substr(0, good.size() - 1), out));     // truncated
    EXPECT_FALSE(wire::DecodeFields(good + "x", out));                          // trailing bytes
    EXPECT_FALSE(wire::DecodeFields(std::string("\xFF\xFF\xFF\xFF", 4), out));  // huge count
    std::string hugeLen = std::string("\0\0\0\1\x7F\xFF\xFF\xFF", 8) + "ab";
    EXPECT_FALSE(wire::DecodeFields(hugeLen, out));

    // The sequence field: a round trip, and no id, part 0 or a part past the count refused.
    wire::Sequence in{0x0102030405060708ull, 3, 0xFFFFFFFFu}, seq;
    ASSERT_TRUE(wire::DecodeSequence(wire::EncodeSequence(in), seq));
    EXPECT_EQ(in, seq);
    for (wire::Sequence bad : {wire::Sequence{0, 1, 1}, {9, 0, 1}, {9, 2, 1}})
        EXPECT_FALSE(wire::DecodeSequence(wire::EncodeSequence(bad), seq));
    EXPECT_FALSE(wire::DecodeSequence(wire::EncodeSequence(in) + "x", seq));
}

TEST(Frames, AnnouncedLengthReservesOnlyWhatArrives) {
    int sv[2];
    ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM, 0, sv), 0);
    const std::string announced = std::string("\x04\0\0\0", 4) + "abc";  // 64 MB, 3 sent
    ASSERT_EQ(::write(sv[0], announced.data(), 7), 7);
    std::string got;
    EXPECT_EQ(wire::ReadFrame(sv[1], got, 200), wire::IoResult::Timeout);
    EXPECT_LT(got.capacity(), 1u << 20);
    ::close(sv[0]);
    ::close(sv[1]);

    // The same for frames gathered as they arrive, in whatever pieces.
    wire::FrameReader huge;
    huge.Feed(announced.data(), 7);
    EXPECT_EQ(huge.status(), wire::FrameReader::Status::Partial);
    EXPECT_LT(huge.Payload().capacity(), 1u << 20);
    const std::string two = std::string("\0\0\0\x02hi\0\0\0\0\x7F\xFF\xFF\xFF", 14);
    for (std::size_t step : {std::size_t(1), std::size_t(5), two.size()}) {
        wire::FrameReader reader;
        std::vector<std::string> frames;
        for (std::size_t at = 0; at < two.size(); at += step) {
            reader.Feed(two.data() + at, std::min(step, two.size() - at));
            while (reader.status() == wire::FrameReader::Status::Complete) {
                frames.push_back(reader.Payload());
                reader.Next(0);
            }
        }
        EXPECT_EQ(frames, (std::vector<std::string>{"hi", ""})) << step;
        EXPECT_EQ(reader.status(), wire::FrameReader::Status::TooLarge) << step;
    }
}

TEST(Frames, TravelWholeOverASocketAndTimeOutWhenNothingComes) {
    int sv[2];
    ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM, 0, sv), 0);
    std::string big(3 * 1024 * 1024, '\r');
    big[17] = '\0';
    std::thread writer([&] { EXPECT_EQ(wire::WriteFrame(sv[0], big, 5000), wire::IoResult::Ok); });
    std::string got;
    EXPECT_EQ(wire::ReadFrame(sv[1], got, 5000), wire::IoResult::Ok);
    writer.join();
    EXPECT_EQ(got, big);

    EXPECT_EQ(wire::ReadFrame(sv[1], got, 100), wire::IoResult::Timeout);
    // A length word above the cap is refused before any allocation.
    ASSERT_EQ(::write(sv[0], "\x7F\xFF\xFF\xFF", 4), 4);
    EXPECT_EQ(wire::ReadFrame(sv[1], got, 1000), wire::IoResult::TooLarge);
    ::close(sv[0]);
    EXPECT_EQ(wire::ReadFrame(sv[1], got, 1000), wire::IoResult::Closed);
    EXPECT_EQ(wire::WriteFrame(sv[1], "x", 1000), wire::IoResult::Closed);
    ::close(sv[1]);
}

TEST(Tcp, APeerThatResetsHasClosedAndAClosedPortFailsWithAReason) {
    std::string err;
    int port = 0;
    int l = wire::ListenTcp("127.0.0.1", 0, err, &port);
    ASSERT_GE(l, 0) << err;
    int client = wire::ConnectTcp("127.0.0.1", port, 1000, err);
    ASSERT_GE(client, 0) << err;
    int peer = ::accept(l, nullptr, nullptr);
    linger reset{1, 0};  // closing sends a reset instead of an orderly end
    ASSERT_EQ(::setsockopt(peer, SOL_SOCKET, SO_LINGER, &reset, sizeof reset), 0);
    ::close(peer);
    std::string got;
    EXPECT_EQ(wire::ReadFrame(client, got, 1000), wire::IoResult::Closed);
    wire::CloseSocket(client);
    wire::CloseSocket(l);  // nothing listens there any more
    int fd = wire::ConnectTcp("127.0.0.1", port, 1000, err);
    EXPECT_EQ(fd, -1);
    EXPECT_FALSE(err.empty());
    EXPECT_EQ(wire::ConnectTcp("127.0.0.1", 0, 1000, err), -1);
    // A listener whose queue is full drops the next connection's first packet: the
    // connection times out, and says so.
    l = wire::ListenTcp("127.0.0.1", 0, err, &port);
    ASSERT_GE(l, 0) << err;
    ASSERT_EQ(::listen(l, 0), 0);
    int queued = wire::ConnectTcp("127.0.0.1", port, 1000, err);
    ASSERT_GE(queued, 0) << err;
    EXPECT_EQ(wire::ConnectTcp("127.0.0.1", port, 200, err), -1);
    EXPECT_NE(err.find(": timed out"), std::string::npos) << err;
    wire::CloseSocket(queued);
    wire::CloseSocket(l);
}
