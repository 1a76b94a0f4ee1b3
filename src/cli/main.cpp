#include "cli/ReportOptions.h"
#include "cli/ReportRun.h"

#include <QCoreApplication>

#include <exception>
#include <iostream>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    ReportOptions options;
    if (auto status = ParseReportOptions(argc, argv, options, std::cout, std::cerr))
        return *status;
    try {
        return RunReport(options, std::cout, std::cerr);
    } catch (const std::exception& e) {
        std::cerr << "grantwise-report: " << e.what() << "\n";
        return 2;
    }
}
