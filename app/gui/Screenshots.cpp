#include "app/gui/Screenshots.h"

#include <QApplication>
#include <QDir>

#include "app/Settings.h"
#include "app/WinCover.h"
#include "app/WinMain.h"
#include "app/gui/BatchScreenshots.h"
#include "app/gui/Skins.h"
#include "batch/gui/FilesList.h"
#include "profiles/FormatPicker.h"
#include "profiles/WinSettings.h"
#include "profiles/gui/PickerList.h"

namespace vexlo::gui {

namespace {

bool Save(QWidget* w, const QString& folder, const QString& name) {
    QApplication::processEvents();
    bool ok = w->grab().save(QDir(folder).filePath(name + ".png"));
    if (!ok) qWarning("cannot write %s", qPrintable(name));
    return ok;
}

// Expands the named category of a picker.
void Expand(TFormatPicker& picker, const std::string& category) {
    for (int i = 0; i < picker.RowCount(); ++i)
        if (picker.Rows[static_cast<size_t>(i)].Info.IsCategory && picker.Rows[static_cast<size_t>(i)].Text == category)
            picker.Expand(i);
}

}  // namespace

int WriteScreenshots(const QString& folder, int skin, const QStringList& files) {
    QDir().mkpath(folder);
    bool ok = true;
    settings::WriteInteger("skinIndex", skin);

    TfrmCover cover;
    cover.ShowNow();
    ok &= Save(&cover, folder, "cover");
    cover.close();

    TfrmMain main;
    main.OpenFilesDialog = [&] { return files; };
    main.show();
    main.btnAddClick();
    if (main.lvFiles->Count() > 1) main.lvFiles->Row(1)->SetChecked(false);
    main.lvFiles->SelectRow(0);
    ok &= Save(&main, folder, "main");

    main.TogglePicker();
    Expand(main.FormatPicker, "Windows Mobile");
    main.FormatPicker.SelectByName("General Pocket PC Video (*.wmv)");
    main.PlacePicker(386);
    main.lst1->ScrollToSelected();
    ok &= Save(&main, folder, "main-picker");
    main.TogglePicker();

    for (int i = 0; i < kSkinCount; ++i) {
        main.SkinClick(i);
        ok &= Save(&main, folder, QString("main-skin%1-%2").arg(i).arg(QString(Skin(i).Caption).toLower().replace(' ', '-')));
    }
    main.SkinClick(skin);

    main.FormatPicker.SaveCollapsedState();
    auto* settingsWindow = new TfrmSettings(&main);
    settingsWindow->show();
    ok &= Save(settingsWindow, folder, "settings");
    settingsWindow->TogglePicker();
    Expand(settingsWindow->FormatPicker, "General Video formates");
    settingsWindow->PlacePicker();
    ok &= Save(settingsWindow, folder, "settings-picker");
    settingsWindow->close();

    ok &= WriteBatchScreenshots(main, folder);

    main.ClosingForUpdate = true;  // no exit question
    main.close();
    return ok ? 0 : 1;
}

}  // namespace vexlo::gui
