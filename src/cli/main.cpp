#include <CLI/CLI.hpp>
#include <QCoreApplication>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    CLI::App cli { "grantwise-report: report NetWare trustee assignments, owners and inherited rights masks" };
    cli.set_version_flag("--version", std::string("grantwise-report ") + GRANTWISE_VERSION);
    CLI11_PARSE(cli, argc, argv);
    return 0;
}
