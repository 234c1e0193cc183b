// Tovra Quillex: the word processor's main window on the file named on the command line.

#include "TfrmTovraRichDialogForm.h"

#include "editor/RichEditModule.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tovra Quillex"));
    QApplication::setApplicationVersion(QStringLiteral(QUILLEX_VERSION));
    RichEditModule::Init();
    TfrmTovraRichDialogForm form;
    form.FormCreate(QApplication::arguments().mid(1));
    form.show();
    return app.exec();
}
