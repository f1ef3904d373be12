// Retrieval against the register emulator: what the client assembles must be the tape itself.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/atomic_file.h"
#include "link/handshake.h"
#include "platform/net/posix_stream_socket.h"
#include "register/generator.h"
#include "register/register_server.h"
#include "retrieval/retrieval.h"
#include "retrieval/retrieval_messages.h"

namespace tavrelo {
namespace {

namespace fs = std::filesystem;

struct QuietObserver : RetrievalObserver, HandshakeObserver {
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    void RetrievalStarted() override {}
    void DocumentStarting(int) override {}
    void ProgressChanged(const std::string&) override {}
    void WaitStarted() override {}
    void CountdownChanged(const std::string&) override {}
    bool Aborted() override { return false; }
    void WaitFinished() override {}
    std::vector<std::string> messages;
};

// dd.mm.yy and hh:mm of a yyyymmddhhmmss stamp.
std::string DateOf(const std::string& ts) {
    return ts.substr(6, 2) + "." + ts.substr(4, 2) + "." + ts.substr(2, 2);
}
std::string TimeOf(const std::string& ts) { return ts.substr(8, 2) + ":" + ts.substr(10, 2); }

class RegisterRoundTripTest : public ::testing::Test {
  protected:
    static constexpr int kDocuments = 60;

    void StartRegister(RegisterOptions options) {
        options.id = "12345";
        server_ = std::make_unique<RegisterServer>(Tape::Parse(tape_text_), std::move(options));
        server_->Listen("127.0.0.1", 0);
        server_->Start();
        ASSERT_EQ(ConnectToRegister(socket_, "127.0.0.1", server_->port(), "12345", observer_,
                                    {2000, 20, 60, 4}),
                  ConnectOutcome::kConnected);
    }

    fs::path TempXml() const { return folder_ / "temp.xml"; }

    static fs::path TestFolder() {
        return fs::temp_directory_path() /
               ("tavrelo_round_trip_" + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
    }

    void SetUp() override { fs::create_directories(folder_); }
    void TearDown() override {
        socket_.Close();
        if (server_) server_->Stop();
        fs::remove_all(folder_);
    }

    const std::string tape_text_ = GenerateTape(kDocuments, 7);
    fs::path folder_ = TestFolder();
    std::unique_ptr<RegisterServer> server_;
    PosixStreamSocket socket_;
    Exchange exchange_{socket_, {2000, 200, 3}};
    QuietObserver observer_;
    Retrieval retrieval_{exchange_, observer_, folder_ / "temp.xml"};
};

TEST_F(RegisterRoundTripTest, FetchesTheWholeTapeByteForByte) {
    struct Case {
        EndMark end_mark;
        std::size_t max_payload;
    };
    for (const Case& c : {Case{EndMark::kStatusZero, 150}, Case{EndMark::kDSemicolon, 1495},
                          Case{EndMark::kStatusZero, 600}}) {
        RegisterOptions options;
        options.end_mark = c.end_mark;
        options.max_payload = c.max_payload;
        StartRegister(std::move(options));
        EXPECT_TRUE(retrieval_.RetrieveByNumbers(1, kDocuments, 1));
        EXPECT_EQ(ReadFile(TempXml()), tape_text_) << c.max_payload;
        EXPECT_TRUE(observer_.messages.empty());
        socket_.Close();
        server_->Stop();
    }
}

TEST_F(RegisterRoundTripTest, OneUnansweredRequestIsRepeatedTwoEndTheRetrieval) {
    RegisterOptions options;
    options.faults.no_reply_requests = {5};
    StartRegister(options);
    EXPECT_TRUE(retrieval_.RetrieveByNumbers(1, kDocuments, 1));
    EXPECT_EQ(ReadFile(TempXml()), tape_text_);
    socket_.Close();
    server_->Stop();

    fs::remove(TempXml());
    options.faults.no_reply_requests = {5, 40};
    StartRegister(options);
    EXPECT_FALSE(retrieval_.RetrieveByNumbers(1, kDocuments, 1));
    EXPECT_THAT(observer_.messages, ::testing::ElementsAre(RegisterErrorMessage()));
    EXPECT_FALSE(fs::exists(TempXml()));
}

TEST_F(RegisterRoundTripTest, FetchesTheDocumentsOfADateRange) {
    StartRegister({});
    const Tape tape = Tape::Parse(tape_text_);
    const std::string first_ts = tape.documents().front().ts;
    const std::string last_ts = tape.documents().back().ts;
    ASSERT_FALSE(first_ts.empty());
    rq model;
    const auto range =
        retrieval_.ReturnNumbers(DateOf(first_ts), DateOf(last_ts), "00:00", "23:59", model);
    ASSERT_TRUE(range.has_value());
    EXPECT_EQ(range->first, 1);
    EXPECT_EQ(range->last, kDocuments);
    EXPECT_EQ(retrieval_.RetrieveByDates(DateOf(first_ts), DateOf(last_ts), TimeOf(first_ts),
                                         "23:59", model),
              RetrievalStep::kRan);
    EXPECT_EQ(ReadFile(TempXml()), tape_text_);
    EXPECT_EQ(model.check_no_min(), 1);
    EXPECT_EQ(model.check_no_max(), kDocuments);
}

}  // namespace
}  // namespace tavrelo
