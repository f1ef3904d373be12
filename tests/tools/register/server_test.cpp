#include <gtest/gtest.h>

#include <mutex>
#include <vector>

#include "common/cp1251.h"
#include "common/errors.h"
#include "raw_client.h"
#include "register/register_server.h"

namespace tavrelo {
namespace {

using namespace std::chrono_literals;
using testing::FetchDocument;
using testing::Frame;
using testing::RawClient;

const std::string kFixture = std::string(TAVRELO_TEST_DATA_DIR) + "/tools/register-tape.xml";

// A register on an ephemeral loopback port, serving the fixture in the background.
class Register {
  public:
    explicit Register(RegisterOptions options = {}) {
        options.log = [this](std::string_view line) {
            const std::lock_guard lock(mutex_);
            log_.emplace_back(line);
        };
        server_ = std::make_unique<RegisterServer>(Tape::FromFile(kFixture), std::move(options));
        server_->Listen("127.0.0.1", 0);
        server_->Start();
    }
    std::uint16_t port() const { return server_->port(); }
    RegisterServer& server() { return *server_; }
    std::vector<std::string> log() {
        const std::lock_guard lock(mutex_);
        return log_;
    }

  private:
    std::mutex mutex_;
    std::vector<std::string> log_;
    std::unique_ptr<RegisterServer> server_;
};

std::string Payload(const std::string& reply) {
    return reply.size() < 5 ? std::string() : reply.substr(4, reply.size() - 5);
}

TEST(RegisterServer, HandshakeComparesTheFirstNineBytes) {
    struct Case {
        std::optional<std::string> configured;
        std::string sent;
        std::string expected;
    };
    const Case cases[] = {
        {std::nullopt, "anything", "Ready"},
        {std::nullopt, "", "Ready"},
        {"12345", "12345", "Ready"},
        {"12345", "1234", "Denied"},
        {"12345", "123456", "Denied"},
        {"ABCDEFGHIJKL", "ABCDEFGHI", "Ready"},  // only nine bytes go over the wire
        {"ABCDEFGHI", "ABCDEFGHIXYZ", "Ready"},
        {Utf8ToCp1251("Каса1"), Utf8ToCp1251("Каса1"), "Ready"},
        {Utf8ToCp1251("Каса1"), "Kaca1", "Denied"},
    };
    for (const Case& c : cases) {
        RegisterOptions options;
        options.id = c.configured;
        Register reg(std::move(options));
        RawClient client(reg.port());
        EXPECT_EQ(client.Handshake(c.sent), c.expected) << c.sent;
        if (c.expected == "Denied") {
            // A denied client is let go.
            EXPECT_TRUE(client.ReadOnce().empty());
            EXPECT_TRUE(client.closed());
        } else {
            EXPECT_EQ(Payload(client.Exchange("F;01;01;14;00;00;31;12;14;23;59;")), "8;11;");
        }
    }
}

TEST(RegisterServer, TakesIdentificationInPiecesOrTogetherWithARequest) {
    RegisterOptions options;
    options.id = "12345";
    options.handshake_timeout = 200ms;
    Register reg(std::move(options));
    {
        RawClient silent(reg.port());  // says nothing: let go after the time-out
        EXPECT_TRUE(silent.ReadOnce().empty());
        EXPECT_TRUE(silent.closed());
    }
    {
        RawClient slow(reg.port());
        slow.Send("123");
        EXPECT_FALSE(slow.Readable(50ms));
        slow.Send(std::string("45\0\0\0\0", 6));
        EXPECT_EQ(slow.ReadOnce(), "Ready");
    }
    {
        RawClient eager(reg.port());
        eager.Send(std::string("12345\0\0\0\0", 9) + Frame("F;01;01;14;00;00;31;12;14;23;59;"));
        EXPECT_EQ(eager.ReadUpTo(5 + 10), "Ready" + BuildReply(kDataStatus, "8;11;"));
    }
}

TEST(RegisterServer, ServesBlocksRangesAndClientsInSequence) {
    Register reg;
    for (int round = 0; round < 3; ++round) {
        RawClient client(reg.port());
        ASSERT_EQ(client.Handshake("id"), "Ready");
        const auto exchange = [&](const std::string& body) { return client.Exchange(body); };
        const auto receipt = FetchDocument(exchange, 1, 8);
        EXPECT_EQ(receipt.payloads, std::vector<std::size_t>{400});
        EXPECT_EQ(receipt.end_block, 3);
        EXPECT_EQ(receipt.text, reg.server().tape().FindByDi(8)->text);
        EXPECT_FALSE(receipt.zero_byte);
        const auto z = FetchDocument(exchange, 0, 53);
        EXPECT_EQ(z.text, reg.server().tape().FindByDi(11)->text);
        EXPECT_EQ(FetchDocument(exchange, 1, 99).end_block, 0);
        EXPECT_EQ(Payload(client.Exchange("F;01;05;14;00;00;05;05;14;09;35;")), "10;11;");
        EXPECT_EQ(client.Exchange("nonsense"), BuildErrorReply());
        client.Send("junk\x05");  // no start byte: nothing to answer
        EXPECT_FALSE(client.Readable(100ms));
        EXPECT_EQ(client.Exchange("B;1;8;x;"), BuildErrorReply());
    }
    const auto log = reg.log();
    EXPECT_GE(log.size(), 3u * 8);
    EXPECT_NE(log.front().find("accepted"), std::string::npos);
}

TEST(RegisterServer, HonoursThePayloadLimitAndEndMark) {
    RegisterOptions options;
    options.max_payload = 150;
    options.end_mark = EndMark::kDSemicolon;
    Register reg(std::move(options));
    RawClient client(reg.port());
    ASSERT_EQ(client.Handshake(""), "Ready");
    const auto fetched =
        FetchDocument([&](const std::string& body) { return client.Exchange(body); }, 1, 8);
    EXPECT_EQ(fetched.payloads, (std::vector<std::size_t>{150, 150, 100}));
    EXPECT_EQ(fetched.end_block, 3);
    EXPECT_EQ(client.Exchange("B;1;8;3;"), BuildEndReply(EndMark::kDSemicolon));
}

TEST(RegisterServer, RejectsOptionsOutOfBounds) {
    const auto make = [](auto change) {
        RegisterOptions options;
        change(options);
        return [options] { RegisterServer server(Tape{}, options); };
    };
    EXPECT_THROW(make([](RegisterOptions& o) { o.max_payload = 149; })(), RangeError);
    EXPECT_THROW(make([](RegisterOptions& o) { o.max_payload = 1496; })(), RangeError);
    EXPECT_THROW(make([](RegisterOptions& o) { o.faults.reply_delay = -1ms; })(), RangeError);
    EXPECT_THROW(make([](RegisterOptions& o) { o.faults.split_pause = 200s; })(), RangeError);
    EXPECT_THROW(make([](RegisterOptions& o) { o.faults.oversized_size = 1500; })(), RangeError);
    EXPECT_THROW(
        make([](RegisterOptions& o) { o.faults.handshake_reply = std::string(501, 'x'); })(),
        RangeError);
    EXPECT_THROW(make([](RegisterOptions& o) { o.faults.close_at_request = -1; })(), RangeError);
    EXPECT_NO_THROW(make([](RegisterOptions& o) { o.max_payload = 150; })());
}

// Each fault names request 2; requests 1 and 3 are answered as usual.
TEST(RegisterServer, InjectsEachFaultOnTheRequestItNames) {
    const std::string ordinary = BuildReply(kDataStatus, "8;11;");
    const std::string range = "F;01;01;14;00;00;31;12;14;23;59;";
    {
        RegisterOptions options;
        options.faults.no_reply_requests = {2};
        Register reg(std::move(options));
        RawClient client(reg.port());
        ASSERT_EQ(client.Handshake(""), "Ready");
        EXPECT_EQ(client.Exchange(range), ordinary);
        client.Send(Frame(range));
        EXPECT_FALSE(client.Readable(300ms));
        EXPECT_EQ(client.Exchange(range), ordinary);  // the client's retry is answered
    }
    {
        RegisterOptions options;
        options.faults.close_at_request = 2;
        Register reg(std::move(options));
        RawClient client(reg.port());
        ASSERT_EQ(client.Handshake(""), "Ready");
        EXPECT_EQ(client.Exchange(range), ordinary);
        EXPECT_EQ(client.Exchange(range), "");
        EXPECT_TRUE(client.closed());
        RawClient next(reg.port());  // and the register goes on with the next client
        ASSERT_EQ(next.Handshake(""), "Ready");
        EXPECT_EQ(next.Exchange(range), ordinary);
    }
    {
        RegisterOptions options;
        options.faults.short_request = 2;
        Register reg(std::move(options));
        RawClient client(reg.port());
        ASSERT_EQ(client.Handshake(""), "Ready");
        EXPECT_EQ(client.Exchange(range), ordinary);
        const std::string reply = client.Exchange(range);
        EXPECT_EQ(reply, std::string("\x01\x83\x05", 3));
        EXPECT_LT(reply.size(), 4u);
        EXPECT_EQ(client.Exchange(range), ordinary);
    }
    {
        RegisterOptions options;
        options.faults.oversized_request = 2;
        Register reg(std::move(options));
        RawClient client(reg.port());
        ASSERT_EQ(client.Handshake(""), "Ready");
        EXPECT_EQ(client.Exchange(range), ordinary);
        client.Send(Frame("B;1;8;0;"));
        const std::string reply = client.ReadUpTo(1600);
        ASSERT_EQ(reply.size(), 1600u);
        EXPECT_EQ(reply.substr(0, 404),
                  BuildReply(kDataStatus, reg.server().tape().FindByDi(8)->text).substr(0, 404));
        EXPECT_EQ(reply.back(), kReplyTrailer);
        EXPECT_EQ(reply.find('\0'), std::string::npos);
        EXPECT_FALSE(client.Readable(100ms));
        EXPECT_EQ(client.Exchange(range), ordinary);
    }
    {
        RegisterOptions options;
        options.faults.split_request = 2;
        options.faults.split_pause = 500ms;
        Register reg(std::move(options));
        RawClient client(reg.port());
        ASSERT_EQ(client.Handshake(""), "Ready");
        EXPECT_EQ(client.Exchange(range), ordinary);
        client.Send(Frame("B;1;8;0;"));
        const std::string whole = BuildReply(kDataStatus, reg.server().tape().FindByDi(8)->text);
        const std::string first = client.ReadOnce();
        EXPECT_EQ(first, whole.substr(0, whole.size() / 2));
        EXPECT_EQ(first + client.ReadOnce(), whole);
        EXPECT_EQ(client.Exchange(range), ordinary);
    }
    {
        RegisterOptions options;
        options.faults.reply_delay = 600ms;
        Register reg(std::move(options));
        RawClient client(reg.port());
        ASSERT_EQ(client.Handshake(""), "Ready");
        client.Send(Frame(range));
        EXPECT_FALSE(client.Readable(50ms));
        EXPECT_EQ(client.ReadOnce(5s), ordinary);
    }
    {
        RegisterOptions options;
        options.faults.handshake_reply = std::string("Ready\r\n");
        Register reg(std::move(options));
        RawClient client(reg.port());
        EXPECT_EQ(client.Handshake(""), "Ready\r\n");
    }
}

TEST(RegisterServer, StopsPromptlyWhateverItIsDoing) {
    {
        Register idle;  // waiting for a connection
        idle.server().Stop();
        idle.server().Stop();  // twice is fine
    }
    {
        Register reg;  // in the middle of a handshake
        RawClient client(reg.port());
        client.Send("12");
        ASSERT_FALSE(client.Readable(50ms));
        reg.server().Stop();
        EXPECT_TRUE(client.ReadOnce().empty());
        EXPECT_TRUE(client.closed());
    }
    {
        RegisterOptions options;
        options.faults.reply_delay = 100s;  // in the middle of a long delay
        Register reg(std::move(options));
        RawClient client(reg.port());
        ASSERT_EQ(client.Handshake(""), "Ready");
        client.Send(Frame("B;1;8;0;"));
        ASSERT_FALSE(client.Readable(50ms));
        const auto before = std::chrono::steady_clock::now();
        reg.server().Stop();
        EXPECT_LT(std::chrono::steady_clock::now() - before, 5s);
    }
    {
        // Serving in the foreground, stopped from another thread.
        RegisterServer server(Tape::FromFile(kFixture), {});
        server.Listen("127.0.0.1", 0);
        std::thread stopper([&] {
            RawClient client(server.port());
            EXPECT_EQ(client.Handshake(""), "Ready");
            server.Stop();
        });
        server.Serve();
        stopper.join();
    }
}

TEST(RegisterServer, ReportsWhatItCannotListenOn) {
    RegisterServer first(Tape{}, {});
    first.Listen("127.0.0.1", 0);
    RegisterServer second(Tape{}, {});
    EXPECT_THROW(second.Listen("127.0.0.1", first.port()), Error);
    EXPECT_THROW(second.Listen("127.0.0.1.5", 0), Error);
    EXPECT_THROW(second.Serve(), Error);  // not listening
}

}  // namespace
}  // namespace tavrelo
