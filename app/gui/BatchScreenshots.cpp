#include "app/gui/BatchScreenshots.h"

#include <QApplication>
#include <QDir>
#include <QTimer>

#include "app/WinAbout.h"
#include "app/WinDirectory.h"
#include "app/WinMain.h"
#include "app/WinPreference.h"
#include "app/gui/MainBatch.h"
#include "batch/WinProgress.h"
#include "batch/gui/FilesList.h"
#include "platform/Paths.h"
#include "probe/WinFileInfo.h"

namespace vexlo::gui {

namespace {

bool Save(QWidget* w, const QString& folder, const QString& name) {
    QApplication::processEvents();
    const bool ok = w->grab().save(QDir(folder).filePath(name + ".png"));
    if (!ok) qWarning("cannot write %s", qPrintable(name));
    return ok;
}

// Shows a modal window, lets `shoot` grab it once it is up, and closes it.
template <typename Shoot>
void WhileShown(QDialog* dialog, Shoot shoot) {
    QTimer::singleShot(50, dialog, [dialog, shoot] {
        shoot();
        dialog->reject();
    });
    dialog->exec();
}

}  // namespace

bool WriteBatchScreenshots(TfrmMain& main, const QString& folder) {
    bool ok = true;
    TMainBatch& batch = *main.Batch;

    // Mid-batch: once the live picture and the figures are there, take the picture and cancel.
    TfrmProgress* progress = batch.ProgressWindow();
    QTimer watch;
    int ticks = 0;
    bool shot = false;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (!progress->isVisible() || progress->lblProgress->text().isEmpty() || ++ticks < 8 || shot) return;
        shot = true;
        ok &= Save(progress, folder, "progress");
        progress->btnCancel->click();
    });
    watch.start(50);
    batch.btnStartClick();
    watch.stop();
    ok &= shot;

    TfrmPreference* preference = batch.PreferenceWindow();
    WhileShown(preference, [&] { ok &= Save(preference, folder, "preference"); });
    TfrmAbout* about = batch.AboutWindow();
    WhileShown(about, [&] { ok &= Save(about, folder, "about"); });

    TfmDirectory picker(&main);
    picker.SelectFolder(HomeFolder());
    picker.show();
    ok &= Save(&picker, folder, "folder-picker");
    picker.close();

    if (main.lvFiles->Count() > 0) {
        TfrmFileInfo* info = batch.FileInfoWindow();
        info->ShowFile(main.lvFiles->Row(0)->Record().SourceFile);
        WhileShown(info, [&] { ok &= Save(info, folder, "file-information"); });
    }
    return ok;
}

}  // namespace vexlo::gui
