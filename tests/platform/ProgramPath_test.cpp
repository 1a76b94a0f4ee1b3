#include "platform/ProgramPath.h"
#include "support/TestServices.h"

#include <gtest/gtest.h>

TEST(ProgramPath, ExeFileWithExtUsesTheProgramPath)
{
    {
        TestServices services;
        services.context().programFilePath = "/opt/gw/grantwise";
        EXPECT_EQ(ExeFileWithExt("ini"), "/opt/gw/grantwise.ini");
    }
    // Without one in the context: the running program's.
    EXPECT_NE(ExeFileWithExt("txt").find("ProgramPath_test.txt"), std::string::npos);
}
