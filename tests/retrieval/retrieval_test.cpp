#include "retrieval/retrieval.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <deque>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "common/atomic_file.h"
#include "common/cp1251.h"
#include "common/errors.h"
#include "platform/net/posix_stream_socket.h"
#include "retrieval/retrieval_messages.h"
#include "scripted_peer.h"

namespace tavrelo {
namespace {

namespace fs = std::filesystem;
using testing::BlockReply;
using ::testing::ElementsAre;
using testing::EndReply;
using testing::ScriptedPeer;
using Steps = std::vector<ScriptedPeer::Step>;

const std::string kDeclaration = R"(<?xml version="1.0" encoding="windows-1251"?>)";
const std::string kRoot = R"(<RQ V="1">)";

Steps Answer(std::string reply) { return {ScriptedPeer::Send(std::move(reply))}; }
const Steps kNoAnswer{};

// The register's answers by request body ("B;1;5;0;"): each request takes the next answer of its
// body; a body without answers left gets the end mark "D;".
using Script = std::map<std::string, std::deque<Steps>>;

struct RecordingObserver : RetrievalObserver {
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    void RetrievalStarted() override { ++started; }
    void DocumentStarting(int number) override { documents.push_back(number); }
    void ProgressChanged(const std::string& text) override { progress.push_back(text); }
    std::vector<std::string> messages;
    std::vector<std::string> progress;
    std::vector<int> documents;
    int started = 0;
};

struct RecordingLossHandler : ConnectionLossHandler {
    void OnConnectionLost(const std::string& message, const std::string&) override {
        messages.push_back(message);
    }
    std::vector<std::string> messages;
};

class RetrievalTest : public ::testing::Test {
  protected:
    RetrievalTest() {
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        exchange_.set_connection_loss_handler(&losses_);
    }
    ~RetrievalTest() override { fs::remove_all(folder_); }

    void Serve(Script script) {
        auto answers = std::make_shared<Script>(std::move(script));
        peer_ = std::make_unique<ScriptedPeer>([answers](const std::string& frame) {
            auto& queue = (*answers)[frame.substr(4, frame.size() - 5)];
            if (queue.empty()) return Answer(EndReply("D;"));
            Steps steps = queue.front();
            queue.pop_front();
            return steps;
        });
        socket_.Connect("127.0.0.1", peer_->port());
    }

    // The bodies of all requests the register received.
    std::vector<std::string> Requests() {
        socket_.Close();
        std::vector<std::string> bodies;
        for (const std::string& frame : peer_->Finish()) {
            bodies.push_back(frame.substr(4, frame.size() - 5));
        }
        return bodies;
    }

    fs::path TempXml() const { return folder_ / "temp.xml"; }

    static fs::path TestFolder() {
        return fs::temp_directory_path() /
               ("tavrelo_retrieval_" + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
    }

    fs::path folder_ = TestFolder();
    std::unique_ptr<ScriptedPeer> peer_;
    PosixStreamSocket socket_;
    Exchange exchange_{socket_, {2000, 40, 3}};
    RecordingObserver observer_;
    RecordingLossHandler losses_;
    Retrieval retrieval_{exchange_, observer_, folder_ / "temp.xml"};
};

TEST_F(RetrievalTest, JoinsTheBlocksOfADocumentAndWritesTempXml) {
    const std::string a(150, 'a'), b(150, 'b'), c(40, 'c');
    Serve({{"B;1;5;0;", {Answer(BlockReply(a))}},
           {"B;1;5;1;", {Answer(BlockReply(b))}},
           {"B;1;5;2;", {Answer(BlockReply(c))}}});
    EXPECT_TRUE(retrieval_.RetrieveByNumbers(5, 5, 1));
    EXPECT_THAT(Requests(), ElementsAre("B;1;5;0;", "B;1;5;1;", "B;1;5;2;", "B;1;5;3;"));
    EXPECT_THAT(retrieval_.lines(), ElementsAre(kDeclaration, kRoot, a + b + c, "</RQ>"));
    EXPECT_EQ(ReadFile(TempXml()),
              kDeclaration + "\r\n" + kRoot + "\r\n" + a + b + c + "\r\n" + "</RQ>\r\n");
    EXPECT_EQ(observer_.started, 1);
    EXPECT_TRUE(retrieval_.complete());
    EXPECT_THAT(observer_.progress, ElementsAre("0.00%     5"));
    EXPECT_TRUE(observer_.messages.empty());
}

TEST_F(RetrievalTest, ALongPayloadAdvancesByTheBlocksItCovers) {
    const std::string text(400, 'x');
    Serve({{"B;1;1;0;", {Answer(BlockReply(text))}}, {"B;1;1;3;", {Answer(BlockReply("\n"))}}});
    EXPECT_TRUE(retrieval_.RetrieveByNumbers(1, 1, 1));
    EXPECT_THAT(Requests(), ElementsAre("B;1;1;0;", "B;1;1;3;", "B;1;1;4;"));
    // A line break inside the text stays inside the one line.
    EXPECT_EQ(retrieval_.lines().at(2), text + "\n");
}

TEST_F(RetrievalTest, EachEndMarkEndsTheDocument) {
    for (const std::string mark : {"D;", "E;", "0", "\"", "C"}) {
        Serve({{"B;1;1;0;", {Answer(BlockReply("<DAT/>"))}},
               {"B;1;1;1;", {Answer(EndReply(mark))}},
               {"B;1;2;0;", {Answer(EndReply(mark))}}});
        EXPECT_TRUE(retrieval_.RetrieveByNumbers(1, 2, 1));
        EXPECT_THAT(Requests(), ElementsAre("B;1;1;0;", "B;1;1;1;", "B;1;2;0;")) << mark;
        // Document 2 ended at once and leaves no line.
        EXPECT_THAT(retrieval_.lines(), ElementsAre(kDeclaration, kRoot, "<DAT/>", "</RQ>"));
    }
}

TEST_F(RetrievalTest, AMissingDocumentLeavesNoLine) {
    Serve({{"B;0;1;0;", {Answer(BlockReply("<one/>"))}},
           {"B;0;3;0;", {Answer(BlockReply("<three/>"))}}});
    EXPECT_EQ(retrieval_.CheckNumbersAndRetrieve("1", "3", 0), RetrievalStep::kRan);
    EXPECT_THAT(retrieval_.lines(),
                ElementsAre(kDeclaration, kRoot, "<one/>", "<three/>", "</RQ>"));
    EXPECT_THAT(Requests(),
                ElementsAre("B;0;1;0;", "B;0;1;1;", "B;0;2;0;", "B;0;3;0;", "B;0;3;1;"));
    EXPECT_THAT(observer_.progress, ElementsAre("0.00%     1", "33.33%     2", "66.67%     3"));
    EXPECT_THAT(observer_.documents, ElementsAre(1, 2, 3));
}

TEST_F(RetrievalTest, TheSecondFailedExchangeEndsTheRetrieval) {
    WriteFileAtomically(TempXml(), "previous");
    Serve({{"B;1;1;0;", {kNoAnswer, Answer(BlockReply("<one/>"))}},
           {"B;1;2;0;", {kNoAnswer, Answer(BlockReply("<two/>"))}}});
    EXPECT_FALSE(retrieval_.RetrieveByNumbers(1, 3, 1));
    EXPECT_THAT(Requests(), ElementsAre("B;1;1;0;", "B;1;1;0;", "B;1;1;1;", "B;1;2;0;"));
    EXPECT_THAT(observer_.messages, ElementsAre(RegisterErrorMessage()));
    EXPECT_EQ(observer_.messages[0],
              Utf8ToCp1251("Ошибка! ЕККА вернул код ошибки! Повторите попытку позже.             "
                           "\n В случае повторной ошибки, обратитесь в сервис."));
    // No closing line, no line of the broken document, and temp.xml untouched.
    EXPECT_THAT(retrieval_.lines(), ElementsAre(kDeclaration, kRoot, "<one/>"));
    EXPECT_EQ(ReadFile(TempXml()), "previous");
    EXPECT_FALSE(retrieval_.complete());
    EXPECT_THAT(observer_.progress, ElementsAre("0.00%     1"));
}

TEST_F(RetrievalTest, ALostConnectionCountsAsAFailedExchange) {
    Serve({{"B;1;1;0;", {Answer(BlockReply("<part/>"))}}, {"B;1;1;1;", {{ScriptedPeer::Reset()}}}});
    EXPECT_FALSE(retrieval_.RetrieveByNumbers(1, 1, 1));
    // The reset and then the write on the broken connection: two losses, two failures.
    EXPECT_EQ(losses_.messages.size(), 2u);
    EXPECT_THAT(observer_.messages, ElementsAre(RegisterErrorMessage()));
    EXPECT_THAT(retrieval_.lines(), ElementsAre(kDeclaration, kRoot));
    EXPECT_FALSE(fs::exists(TempXml()));
}

TEST_F(RetrievalTest, RepeatedEmptyRepliesCountAsFailures) {
    const std::string empty = BlockReply("");
    ASSERT_EQ(empty.size(), 5u);
    Serve({{"B;1;1;0;", {Answer(empty), Answer(empty), Answer(empty), Answer(BlockReply("<a/>"))}},
           {"B;1;2;0;", std::deque<Steps>(10, Answer(empty))}});
    EXPECT_FALSE(retrieval_.RetrieveByNumbers(1, 2, 1));
    const std::vector<std::string> requests = Requests();
    // Document 1: three empty replies (one failure), then the payload and the end mark;
    // document 2: three empty replies, the second failure.
    ASSERT_EQ(requests.size(), 8u);
    EXPECT_EQ(requests[3], "B;1;1;0;");
    EXPECT_EQ(requests[4], "B;1;1;1;");
    EXPECT_EQ(requests[7], "B;1;2;0;");
    EXPECT_THAT(observer_.messages, ElementsAre(RegisterErrorMessage()));
    EXPECT_THAT(retrieval_.lines(), ElementsAre(kDeclaration, kRoot, "<a/>"));
}

TEST_F(RetrievalTest, AFourByteReplyAdvancesOneBlockAndAShorterOneIsAnError) {
    Serve({{"B;1;1;0;", {Answer("\x01\x85\x80!")}},
           {"B;1;1;1;", {Answer(BlockReply("<a/>"))}},
           {"B;1;2;0;", {Answer("\x01\x85\x80")}}});
    EXPECT_THROW(retrieval_.RetrieveByNumbers(1, 2, 1), RangeError);
    EXPECT_THAT(Requests(), ElementsAre("B;1;1;0;", "B;1;1;1;", "B;1;1;2;", "B;1;2;0;"));
}

TEST_F(RetrievalTest, ChecksTheNumbersBeforeAnyRequest) {
    Serve({});
    struct Case {
        const char* first;
        const char* last;
        std::string message;
    };
    const Case cases[] = {
        {"0", "5", Utf8ToCp1251("Началный номер должен быть >0!")},
        {"-3", "5", FirstNumberMessage()},
        {"5", "4", Utf8ToCp1251("Конечный номер должен быть не меньше начального!")},
    };
    for (const Case& c : cases) {
        observer_.messages.clear();
        EXPECT_EQ(retrieval_.CheckNumbersAndRetrieve(c.first, c.last, 1),
                  RetrievalStep::kCheckFailed);
        EXPECT_THAT(observer_.messages, ElementsAre(c.message));
    }
    EXPECT_THROW(retrieval_.CheckNumbersAndRetrieve("abc", "1", 1), ConversionError);
    EXPECT_THROW(retrieval_.CheckNumbersAndRetrieve("1", " 2", 1), ConversionError);
    EXPECT_EQ(observer_.started, 0);
    EXPECT_TRUE(Requests().empty());
}

TEST_F(RetrievalTest, OneDocumentShowsZeroPercent) {
    Serve({{"B;1;7;0;", {Answer(BlockReply("<seven/>"))}}});
    EXPECT_EQ(retrieval_.CheckNumbersAndRetrieve("7", "7", 3), RetrievalStep::kRan);
    EXPECT_THAT(Requests(), ElementsAre("B;1;7;0;", "B;1;7;1;"));
    EXPECT_THAT(observer_.progress, ElementsAre("0.00%     7"));
}

TEST_F(RetrievalTest, RetrievesTheNumberRangeOfTheDates) {
    Serve({{"F;01;02;17;00;00;15;03;17;09;05;", {Answer(BlockReply("2;3;9;"))}},
           {"B;1;2;0;", {Answer(BlockReply("<two/>"))}},
           {"B;1;3;0;", {Answer(BlockReply("<three/>"))}}});
    rq model;
    EXPECT_EQ(retrieval_.RetrieveByDates("01.02.17", "15.03.17", "00:00", "09:05", model),
              RetrievalStep::kRan);
    EXPECT_THAT(Requests(), ElementsAre("F;01;02;17;00;00;15;03;17;09;05;", "B;1;2;0;", "B;1;2;1;",
                                        "B;1;3;0;", "B;1;3;1;"));
    EXPECT_EQ(model.check_no_min(), 2);
    EXPECT_EQ(model.check_no_max(), 3);
    EXPECT_THAT(retrieval_.lines(),
                ElementsAre(kDeclaration, kRoot, "<two/>", "<three/>", "</RQ>"));
}

TEST_F(RetrievalTest, NoNumberRangeFetchesNothing) {
    Serve({{"F;01;02;17;00;00;15;03;17;09;05;", {kNoAnswer, kNoAnswer}}});
    rq model;
    model.set_check_no_min(4);
    model.set_check_no_max(9);
    EXPECT_EQ(retrieval_.RetrieveByDates("01.02.17", "15.03.17", "00:00", "09:05", model),
              RetrievalStep::kNoNumberRange);
    EXPECT_THAT(observer_.messages, ElementsAre(NoNumberRangeMessage()));
    EXPECT_EQ(retrieval_.ReturnNumbers("01.02.17", "15.03.17", "00:00", "09:05", model),
              std::nullopt);
    EXPECT_EQ(observer_.messages.size(), 2u);
    EXPECT_EQ(model.check_no_min(), 4);
    EXPECT_EQ(model.check_no_max(), 9);
    EXPECT_EQ(observer_.started, 0);
    EXPECT_TRUE(retrieval_.lines().empty());
    EXPECT_EQ(Requests().size(), 2u);
}

TEST_F(RetrievalTest, ALostConnectionDuringTheRangeQueryIsReportedOnce) {
    Serve({{"F;01;02;17;00;00;15;03;17;09;05;", {{ScriptedPeer::Reset()}}}});
    rq model;
    EXPECT_EQ(retrieval_.ReturnNumbers("01.02.17", "15.03.17", "00:00", "09:05", model),
              std::nullopt);
    EXPECT_EQ(losses_.messages.size(), 1u);
    EXPECT_TRUE(observer_.messages.empty());
}

TEST_F(RetrievalTest, ChecksTheDatesButNotTheTimes) {
    Serve({{"F;05;03;17;10;00;05;03;17;09;00;", {Answer(BlockReply("30;12;"))}}});
    rq model;
    EXPECT_EQ(retrieval_.RetrieveByDates("31.12.99", "01.01.00", "00:00", "00:00", model),
              RetrievalStep::kCheckFailed);
    EXPECT_THAT(observer_.messages,
                ElementsAre(Utf8ToCp1251("Конечная дата должна быть не меньше начальной!")));
    // Same day, end time before start time: sent as entered. A first number above the last one
    // fetches no document.
    EXPECT_EQ(retrieval_.RetrieveByDates("05.03.17", "05.03.17", "10:00", "09:00", model),
              RetrievalStep::kRan);
    EXPECT_THAT(retrieval_.lines(), ElementsAre(kDeclaration, kRoot, "</RQ>"));
    EXPECT_THAT(Requests(), ElementsAre("F;05;03;17;10;00;05;03;17;09;00;"));
    EXPECT_THROW(retrieval_.RetrieveByDates("  .  .  ", "01.01.00", "00:00", "00:00", model),
                 ConversionError);
}

TEST_F(RetrievalTest, ReturnNumbersStoresTheRange) {
    Serve({{"F;01;02;17;00;00;15;03;17;09;05;", {Answer(BlockReply("12;30;"))}}});
    rq model;
    const auto range = retrieval_.ReturnNumbers("01.02.17", "15.03.17", "00:00", "09:05", model);
    ASSERT_TRUE(range.has_value());
    EXPECT_EQ(range->first, 12);
    EXPECT_EQ(range->last, 30);
    EXPECT_EQ(model.check_no_min(), 12);
    EXPECT_EQ(model.check_no_max(), 30);
    EXPECT_TRUE(observer_.messages.empty());
}

}  // namespace
}  // namespace tavrelo
