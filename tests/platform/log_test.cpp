#include <unistd.h>
#include "platform/log.h"

#include <gtest/gtest.h>

#include <string>

#include "../support/read_file.h"

TEST(Log, IndentationOpensAndClosesLevels)
{
    std::string path = testing::TempDir() + "log_test_" + std::to_string(getpid()) + ".txt";
    ASSERT_TRUE(kiln_log_open(path.c_str()));
    kiln_log_set_stdout(false);
    kiln_debug(">kiln_init\n");
    kiln_debug("platform: %s\n", "Linux");
    kiln_debug(">\n");
    kiln_debug("deeper\n");
    kiln_debug("<\n");
    kiln_debug("<ok\n");
    kiln_debug("<never below zero\n");
    kiln_debug("%s", std::string(600, 'x').c_str());
    kiln_log_close();
    kiln_log_set_stdout(true);
    EXPECT_EQ(read_file(path),
              ">kiln_init\n"
              "  platform: Linux\n"
              "  >\n"
              "    deeper\n"
              "  \n"
              "ok\n"
              "never below zero\n"
              "[debug string too long!]\n");
}
