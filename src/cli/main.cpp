#include "cli/ReportOptions.h"

#include <QCoreApplication>

#include <iostream>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    ReportOptions options;
    if (auto status = ParseReportOptions(argc, argv, options, std::cout, std::cerr))
        return *status;
    return 0;
}
