// The desktop program: splash, main window, event loop.
//   vexlo                                   the program
//   vexlo --screenshots DIR [--skin N] FILE...   PNGs of every window (headless review)
#include <QTimer>
#include <cstdio>
#include <memory>

#include "app/GlobalUnit.h"
#include "app/WinCover.h"
#include "app/WinMain.h"
#include "app/gui/Application.h"
#include "app/gui/QtPrompts.h"
#include "app/gui/Screenshots.h"
#include "platform/Prompts.h"

using namespace vexlo;
using namespace vexlo::gui;

int main(int argc, char** argv) {
    TApplication app(argc, argv);
    QtPrompts prompts;
    ScopedPrompts usePrompts(prompts);

    QStringList args = QApplication::arguments();
    if (args.size() > 2 && args[1] == "--screenshots") {
        QString folder = args[2];
        int skin = 0;
        QStringList files;
        for (int i = 3; i < args.size(); ++i) {
            if (args[i] == "--skin" && i + 1 < args.size()) skin = args[++i].toInt();
            else files << args[i];
        }
        return WriteScreenshots(folder, skin, files);
    }

    auto cover = std::make_unique<TfrmCover>();
    cover->ShowNow();
    QApplication::processEvents();
    TApplication::SetTitle(kApplicationTitle);

    TfrmMain frmMain;
    cover->SetMainForm(&frmMain);
    frmMain.show();
    int result = QApplication::exec();
    cover.reset();
    return result;
}
