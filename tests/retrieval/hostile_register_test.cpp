// Registers that misbehave: each case ends by itself, with the usual outcome and message, and
// "temp.xml" holds either the previous file or the whole new one.
#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <filesystem>
#include <string>
#include <vector>

#include "common/atomic_file.h"
#include "link/exchange.h"
#include "link/handshake.h"
#include "retrieval/retrieval.h"
#include "retrieval/retrieval_messages.h"

namespace tavrelo {
namespace {

namespace fs = std::filesystem;

const std::string kHeader("\x01\x80\x80\x21", 4);
const std::string kEnd = kHeader + "D;\x05";

std::string Block(const std::string& payload) { return kHeader + payload + "\x05"; }

// Hands out a byte stream: each read takes at most what is left of the current chunk. With
// `endless` set, the last chunk is handed out again for every later read.
class StreamOfChunks : public StreamSocket {
  public:
    explicit StreamOfChunks(std::deque<std::string> chunks, bool endless = false)
        : chunks_(std::move(chunks)), endless_(endless) {}
    void Connect(const std::string&, std::uint16_t) override {}
    void Close() override {}
    bool IsActive() const override { return true; }
    void WriteAll(std::string_view, int) override { ++writes; }
    bool WaitReadable(int) override { return !chunks_.empty(); }
    std::size_t ReadSome(char* buffer, std::size_t max, int) override {
        std::string& chunk = chunks_.front();
        const std::size_t n = std::min(max, chunk.size());
        std::memcpy(buffer, chunk.data(), n);
        if (endless_ && chunks_.size() == 1) return n;
        chunk.erase(0, n);
        if (chunk.empty()) chunks_.pop_front();
        return n;
    }
    long writes = 0;

  private:
    std::deque<std::string> chunks_;
    bool endless_;
};

struct RecordingObserver : RetrievalObserver {
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    void RetrievalStarted() override {}
    void DocumentStarting(int) override {}
    void ProgressChanged(const std::string&) override {}
    std::vector<std::string> messages;
};

class HostileRegister : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::path(::testing::TempDir()) /
               ("hostile_" +
                std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        WriteFileAtomically(TempXml(), kPrevious);
    }
    void TearDown() override { fs::remove_all(dir_); }
    fs::path TempXml() const { return dir_ / "temp.xml"; }

    // Retrieves document 1 over `socket` with the shortest waits.
    bool Retrieve(StreamSocket& socket) {
        Exchange exchange(socket, {1, 1, 3});
        Retrieval retrieval(exchange, observer_, TempXml());
        const bool complete = retrieval.RetrieveByNumbers(1, 1, 1);
        lines_ = retrieval.lines();
        return complete;
    }

    static constexpr const char* kPrevious = "previous\r\n";
    fs::path dir_;
    RecordingObserver observer_;
    std::vector<std::string> lines_;
};

TEST_F(HostileRegister, ZeroBytesCutTheReplyAtTheFirstOne) {
    StreamOfChunks socket({Block(std::string("ab\0cd", 5)), kEnd});
    ASSERT_TRUE(Retrieve(socket));
    // The reply reads as "<header>ab": its payload drops the last byte as always.
    ASSERT_EQ(lines_.size(), 4u);
    EXPECT_EQ(lines_[2], "a");
    EXPECT_EQ(ReadFile(TempXml()), JoinLines(lines_, "\r\n"));
}

TEST_F(HostileRegister, GarbageBytesAreTakenAsPayloadAndLeftToTheParser) {
    std::string garbage;
    for (int i = 0; i < 200; ++i) garbage += static_cast<char>(1 + (i * 37) % 255);
    StreamOfChunks socket({garbage, kEnd});
    ASSERT_TRUE(Retrieve(socket));
    ASSERT_EQ(lines_.size(), 4u);
    EXPECT_EQ(lines_[2], garbage.substr(4, garbage.size() - 5));
    EXPECT_TRUE(observer_.messages.empty());
}

TEST_F(HostileRegister, ADocumentThatNeverEndsStopsAtTheBlockLimit) {
    StreamOfChunks socket({Block(std::string(150, 'x'))}, true);
    ASSERT_TRUE(Retrieve(socket));
    EXPECT_EQ(socket.writes, 32768);
    ASSERT_EQ(lines_.size(), 4u);
    EXPECT_EQ(lines_[2].size(), 32768u * 150u);
    EXPECT_EQ(ReadFile(TempXml()), JoinLines(lines_, "\r\n"));
}

TEST_F(HostileRegister, ARegisterThatNeverAnswersFailsTheRetrieval) {
    StreamOfChunks socket({});
    EXPECT_FALSE(Retrieve(socket));
    EXPECT_EQ(socket.writes, 2);
    EXPECT_EQ(observer_.messages, std::vector<std::string>{RegisterErrorMessage()});
    EXPECT_EQ(ReadFile(TempXml()), kPrevious);
}

struct QuietHandshake : HandshakeObserver {
    void WaitStarted() override {}
    void CountdownChanged(const std::string&) override { ++countdowns; }
    bool Aborted() override { return false; }
    void WaitFinished() override {}
    int countdowns = 0;
};

constexpr HandshakeTimings kShortHandshake{1, 1, 60, 4};

TEST(HostileRegisterHandshake, OnlyAReplyOfExactlyReadyInOneReadCounts) {
    struct Case {
        const char* name;
        std::deque<std::string> stream;
        bool ready;
    };
    const std::vector<Case> cases = {
        {"whole", {"Ready"}, true},
        {"trickled byte by byte", {"R", "e", "a", "d", "y"}, false},
        {"data before the reply", {"garbage", "Ready"}, false},
        {"data joined to the reply", {"xxReady"}, false},
        {"zero byte first", {std::string("\0Ready", 6)}, false},
    };
    for (const Case& c : cases) {
        StreamOfChunks socket(c.stream);
        QuietHandshake observer;
        EXPECT_EQ(IdentifyToRegister(socket, "id", observer, kShortHandshake), c.ready) << c.name;
        EXPECT_EQ(socket.writes, 1) << c.name;
    }
}

TEST(HostileRegisterHandshake, ARegisterThatNeverAnswersEndsAfterAllPasses) {
    StreamOfChunks socket({});
    QuietHandshake observer;
    EXPECT_FALSE(IdentifyToRegister(socket, "id", observer, kShortHandshake));
    EXPECT_GT(observer.countdowns, 0);
}

}  // namespace
}  // namespace tavrelo
