#include "app/convert/ConvertTool.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quillex-convert"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QUILLEX_VERSION));
    QTextStream out(stdout);
    QTextStream err(stderr);
    quillex::ConvertTool tool(out, err);
    return tool.run(QCoreApplication::arguments());
}
