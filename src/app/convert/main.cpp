#include "app/convert/ConvertTool.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <cstdio>
#include <memory>

int main(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.push_back(QString::fromLocal8Bit(argv[i]));
    // Pages (PDF, page images) are drawn with Qt's fonts and painting, which need a GUI
    // application; the converter shows no window, so without a display it runs on the offscreen
    // platform. Other conversions need no more than QtCore.
    std::unique_ptr<QCoreApplication> app;
    if (quillex::ConvertTool::drawsPages(arguments)) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") &&
            qEnvironmentVariableIsEmpty("DISPLAY") &&
            qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    QCoreApplication::setApplicationName(QStringLiteral("quillex-convert"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QUILLEX_VERSION));
    QTextStream out(stdout);
    QTextStream err(stderr);
    quillex::ConvertTool tool(out, err);
    return tool.run(QCoreApplication::arguments());
}
