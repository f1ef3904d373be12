#include "render/format_stamp.h"

#include <gtest/gtest.h>

namespace tavrelo {
namespace {

TEST(FormatStamp, FullAndShortStamps) {
    const struct {
        const char* stamp;
        bool with_time;
        const char* text;
    } cases[] = {
        {"20140430144200", true, "30.04.2014  14:42"},
        {"20140430144200", false, "30.04.2014  "},
        {"20140430", false, "30.04.2014  "},
        {"20140430", true, "30.04.2014  :"},
        {"2014043014", true, "30.04.2014  14:"},
        {"201404301", true, "30.04.2014  1:"},
        {"2014", false, "..2014  "},
        {"2014", true, "..2014  :"},
        {"20140", false, ".0.2014  "},
        {"201404", false, ".04.2014  "},
        {"2014043", false, "3.04.2014  "},
        {"", true, "..  :"},
        {"0", false, "..0  "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stamp);
        EXPECT_EQ(FormatStamp(c.stamp, c.with_time), c.text);
    }
}

}  // namespace
}  // namespace tavrelo
