#include "platform/ProgramPath.h"

#include <gtest/gtest.h>

TEST(ProgramPath, ExeFileWithExtUsesTheProgramPath)
{
    SetProgramFilePath("/opt/gw/grantwise");
    EXPECT_EQ(ExeFileWithExt("ini"), "/opt/gw/grantwise.ini");
    SetProgramFilePath("");
    EXPECT_NE(ExeFileWithExt("txt").find("ProgramPath_test.txt"), std::string::npos);
}
