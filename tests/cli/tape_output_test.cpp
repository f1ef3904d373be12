#include "cli/tape_output.h"

#include <gtest/gtest.h>

#include "common/cp1251.h"

namespace tavrelo::cli {
namespace {

TEST(EncodeLines, DestinationDecidesEncodingAndLineEnd) {
    const std::vector<std::string> lines = {Utf8ToCp1251("  Сума   "), "", "x"};
    OutputOptions to_stdout;
    EXPECT_EQ(EncodeLines(lines, to_stdout), "  Сума   \n\nx\n");

    OutputOptions to_file;
    to_file.path = "out.txt";
    EXPECT_EQ(EncodeLines(lines, to_file), Utf8ToCp1251("  Сума   ") + "\r\n\r\nx\r\n");

    to_stdout.encoding = TextEncoding::kCp1251;
    EXPECT_EQ(EncodeLines(lines, to_stdout), Utf8ToCp1251("  Сума   ") + "\n\nx\n");
    to_file.encoding = TextEncoding::kUtf8;
    EXPECT_EQ(EncodeLines(lines, to_file), "  Сума   \r\n\r\nx\r\n");

    EXPECT_EQ(EncodeLines({}, to_file), "");
}

}  // namespace
}  // namespace tavrelo::cli
