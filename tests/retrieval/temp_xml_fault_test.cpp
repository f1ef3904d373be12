// A retrieval whose "temp.xml" cannot be written keeps the previous file whole.
#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <filesystem>
#include <string>

#include "../common/write_fault.h"
#include "common/atomic_file.h"
#include "common/errors.h"
#include "link/exchange.h"
#include "retrieval/retrieval.h"

namespace tavrelo {
namespace {

namespace fs = std::filesystem;

// Answers each request with the next reply of its queue.
class QueuedSocket : public StreamSocket {
  public:
    explicit QueuedSocket(std::deque<std::string> replies) : replies_(std::move(replies)) {}
    void Connect(const std::string&, std::uint16_t) override {}
    void Close() override {}
    bool IsActive() const override { return true; }
    void WriteAll(std::string_view, int) override {}
    bool WaitReadable(int) override { return !replies_.empty(); }
    std::size_t ReadSome(char* buffer, std::size_t max, int) override {
        const std::string reply = replies_.front();
        replies_.pop_front();
        const std::size_t n = std::min(max, reply.size());
        std::memcpy(buffer, reply.data(), n);
        return n;
    }

  private:
    std::deque<std::string> replies_;
};

struct NoObserver : RetrievalObserver {
    void ShowMessage(const std::string&) override {}
    void RetrievalStarted() override {}
    void DocumentStarting(int) override {}
    void ProgressChanged(const std::string&) override {}
};

TEST(TempXmlFault, AFailedWriteKeepsThePreviousTempXml) {
    const fs::path dir = fs::path(::testing::TempDir()) / "temp_xml_fault";
    fs::remove_all(dir);
    fs::create_directories(dir);
    const fs::path temp_xml = dir / "temp.xml";
    const std::string previous = "<RQ V=\"1\">\r\n</RQ>\r\n";
    WriteFileAtomically(temp_xml, previous);
    const std::string block = std::string("\x01\x80\x80\x21", 4) + std::string(1000, 'z') + "\x05";
    const std::string end = std::string("\x01\x85\x80\x21", 4) + "D;\x05";
    for (const bool at_rename : {false, true}) {
        QueuedSocket socket({block, end});
        Exchange exchange(socket, {1, 1, 1});
        NoObserver observer;
        Retrieval retrieval(exchange, observer, temp_xml);
        testing_support::WriteFault fault(100, at_rename);
        EXPECT_THROW(retrieval.RetrieveByNumbers(1, 1, 1), FileError);
        EXPECT_FALSE(retrieval.complete());
        EXPECT_EQ(ReadFile(temp_xml), previous);
    }
    fs::remove_all(dir);
}

}  // namespace
}  // namespace tavrelo
