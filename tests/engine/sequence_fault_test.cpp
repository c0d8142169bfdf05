#include "engine/files/sequence_fault.h"

#include "engine/record/io_error.h"
#include "engine/files/sequence_loading.h"
#include "test_support.h"

#include <gtest/gtest.h>

namespace tessivo {
namespace {

struct FaultCase {
    const char* name;
    std::string content;
    std::int64_t line;
    std::string token;
};

// Each file is also rejected by the reader, so the fault explains a real
// rejection; the line counts every convention of line break.
TEST(SequenceFault, NamesTheLineAndTokenTheReaderRejects)
{
    const FaultCase cases[] = {
        {"word on line 3", "1\n2\n3 x 4\n", 3, "x"},
        {"decimal comma after CRLF", "10\r\n-5\r\n1,5\r\n", 3, "1,5"},
        {"carriage returns alone", "1\r2\r\r3;4", 4, "3;4"},
        {"exponent without digits at the end", "7 8 9 1e", 1, "1e"},
        {"too large for long double", "1\n1e99999\n", 2, "1e99999"},
        {"empty", "", 0, ""},
        {"only white space", "\n \t\r\n", 0, ""},
        {"nothing before a Ctrl-Z", std::string("\x1a") + "abc", 0, ""},
    };
    test::TempDir dir;
    for (const FaultCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string file = dir.write("seq.txt", c.content);
        EXPECT_FALSE(scanSequenceFile(file).Proper);
        const SequenceFault fault = findSequenceFault(file);
        EXPECT_EQ(fault.line, c.line);
        EXPECT_EQ(fault.token, c.token);
        EXPECT_FALSE(fault.truncated);
    }
}

TEST(SequenceFault, CutsALongTokenAndFindsNoneInAProperFile)
{
    test::TempDir dir;
    const SequenceFault longOne = findSequenceFault(dir.write("long.txt", "1 2\n" + std::string(100, 'z')));
    EXPECT_EQ(longOne.line, 2);
    EXPECT_EQ(longOne.token, std::string(kMaxFaultToken, 'z'));
    EXPECT_TRUE(longOne.truncated);
    EXPECT_EQ(findSequenceFault(dir.write("good.txt", "1 2\n3\x1a"
                                                      "x"))
                  .line,
              0);
    EXPECT_THROW(findSequenceFault(dir.file("missing.txt")), IoError);
}

} // namespace
} // namespace tessivo
