#include "app/WinMain.h"

#include "app/WinDirectory.h"
#include "app/gui/MainBatch.h"

#include <QActionGroup>
#include <QCloseEvent>
#include <QCursor>
#include <QFileDialog>
#include <QFrame>
#include <QMenuBar>
#include <QMouseEvent>

#include "app/GlobalUnit.h"
#include "app/Settings.h"
#include "app/gui/Application.h"
#include "app/gui/Icons.h"
#include "app/gui/Skins.h"
#include "batch/DestinationName.h"
#include "batch/JobRecord.h"
#include "batch/gui/FilesList.h"
#include "engine/FFmpegLoader.h"
#include "platform/Paths.h"
#include "platform/Prompts.h"
#include "platform/Shell.h"
#include "probe/AVProbe.h"
#include "profiles/FormatFile.h"
#include "profiles/WinSettings.h"
#include "profiles/gui/ParameterGroups.h"
#include "profiles/gui/PickerList.h"

namespace vexlo::gui {

namespace {

constexpr int kWindowWidth = 786;
constexpr int kWindowHeight = 522;
constexpr int kPickerCapFilled = 362;
constexpr int kPickerCapOpened = 386;

const char* const kOpenFilters[][2] = {
    {"All Supported Video Formats", "*.AVI;*.AVM;*.ASF;*.WMV;*.AVS;*.FLV;*.MKV;*.MOV;*.3GP;*.3G2;*.M4V;*.MP4;*.MPG;*.MPEG;*.DAT;*.OGM;*.VOB;*.RM;*.RMVB;*.TS;*.TP;*.IFO;*.NSV;*.SWF;"},
    {"All Supported Audio Formats", "*.MP3;*.AAC;*.WAV;*.WMA;*.OGG;*.CDA;*.FLAC;*.M4A;*.MID;*.MKA;*.MP2;*.MPA;*.MPC;*.APE;*.OFR;*.OGG;*.RA;*.WV;*.TTA;*.AC3;*.DTS;"},
    {"AVI files (*.avi)", "*.avi"},
    {"MPEG4 files (*.mp4)", "*.mp4"},
    {"MPEG files (*.mpg,*.mpeg)", "*.mpg;*.mpeg"},
    {"3GP files (*.3gp,*.3g2)", "*.3gp;*.3g2"},
    {"Itunes Video files (*.m4v)", "*.m4v"},
    {"Windows Media files (*.wmv,*.asf)", "*.wmv;*.asf"},
    {"Real Media files (*.rm,*.rmvb)", "*.rm;*.rmvb"},
    {"Video CD files (*.dat)", "*.dat"},
    {"Quick Time files (*.mov)", "*.mov"},
    {"Flash Video files (*.flv)", "*.flv"},
    {"Matroska Video files (*.mkv)", "*.mkv"},
    {"MJPEG Video files (*.mjpg,*.mjpeg)", "*.mjpg;*.mjpeg"},
    {"Animated GIF files (*.gif)", "*.gif"},
    {"H.264/MPEG4 AVC Video files (*.mts,*.m2ts)", "*.mts;*.m2ts"},
    {"DVD video object files (*.vob)", "*.vob"},
    {"MPEG-1 Video files (*.mpv)", "*.mpv"},
    {"Video Transport Stream files (*.ts)", "*.ts"},
    {"TP Video files (*.tp)", "*.tp"},
    {"Maceomeida Flash files (*.swf)", "*.swf"},
    {"MP3 Audio files (*.mp3)", "*.mp3"},
    {"Advanced Audio Coding files (*.aac)", "*.aac"},
    {"Monkey's Audio files (*.ape)", "*.ape"},
    {"Ogg Vorbis Audio files (*.ogg)", "*.ogg"},
    {"Windows Media Audio files (*.wma)", "*.wma"},
    {"MusePack Audio files (*.mpc)", "*.mpc"},
    {"MPEG Audio files (*.mpa)", "*.mpa"},
    {"MPEG-4 Audio files (*.m4a)", "*.m4a"},
    {"Matroska Audio files (*.mka)", "*.mka"},
    {"DTS Audio files (*.dts)", "*.dts"},
    {"Audio Codec 3 files (*.ac3)", "*.ac3"},
    {"Speex Audio files (*.spx)", "*.spx"},
    {"Real Audio files (*.ra,*.ram)", "*.ra;*.ram"},
    {"MPEG Layer II Compressed Audio files (*.mp2)", "*.mp2"},
    {"All files (*.*)", "*"},
};

// The filters in the dialog's own form: "description (patterns)".
QStringList OpenFilterList() {
    QStringList filters;
    for (const auto& f : kOpenFilters) {
        QStringList patterns = QString(f[1]).split(';', Qt::SkipEmptyParts);
        patterns.removeDuplicates();
        filters << QString("%1 (%2)").arg(f[0], patterns.join(' '));
    }
    return filters;
}

QStringList RunOpenFilesDialog(QWidget* parent) {
    QFileDialog dialog(parent);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilters(OpenFilterList());
    dialog.setSizeGripEnabled(true);
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles() : QStringList();
}

// A control with its form name at its place.
template <class W>
W* Place(W* widget, const char* name, const QRect& at) {
    widget->setObjectName(name);
    widget->setGeometry(at);
    return widget;
}

QToolButton* ToolbarButton(const char* name, const char* caption, TIcon icon, QWidget* parent) {
    auto* b = new QToolButton(parent);
    b->setObjectName(name);
    b->setText(caption);
    b->setIcon(MakeIcon(icon));
    b->setIconSize(QSize(28, 28));
    b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    b->setAutoRaise(true);
    return b;
}

QToolButton* PreviewButton(const char* name, const char* hint, TIcon icon, QWidget* parent) {
    auto* b = new QToolButton(parent);
    b->setObjectName(name);
    b->setToolTip(hint);
    b->setIcon(MakeIcon(icon));
    b->setIconSize(QSize(16, 16));
    return b;
}

}  // namespace

TfrmMain::TfrmMain(QWidget* parent) : QMainWindow(parent) {
    setObjectName("frmMain");
    // Creation: the global object, the application title, the stored skin, the error
    // reporter, then the player's libraries.
    TGlobalObject& g = GlobalObject();
    TApplication::SetTitle(g.Title());
    ApplySkin(0);
    ApplySkin(settings::ReadInteger("skinIndex"));
    TApplication::InstallErrorReporter();

    auto* central = new QWidget(this);
    central->setObjectName("pnlMain");
    setCentralWidget(central);
    BuildControls(central);
    BuildMenus();

    setFixedSize(kWindowWidth, kWindowHeight);
    setWindowTitle(QString::fromStdString(g.Title() + g.VersionText()));

    CCAVC = std::make_unique<TFFmpegVCL>();
    TFFmpegLoader& loader = TFFmpegLoader::Instance();
    if (!loader.Loaded(kPlayerLibraries)) {
        loader.SetLibraryFolder(ProgramFolder() + "LibAV");
        if (!loader.Load(kPlayerLibraries)) AppendLog(loader.LastError());
    }
    OpenFilesDialog = [this] { return RunOpenFilesDialog(this); };
    BrowseFolderDialog = [this](const QString& current) {
        return QString::fromStdString(TfmDirectory::Choose(this, current.toStdString()));
    };
    Batch = std::make_unique<TMainBatch>(*this);
}

TfrmMain::~TfrmMain() = default;

void TfrmMain::BuildControls(QWidget* c) {
    // Toolbar.
    struct Tool {
        QToolButton** button;
        const char* name;
        const char* caption;
        TIcon icon;
    } tools[] = {{&btnAdd, "btnAdd", "&Add", TIcon::Add},
                 {&btnRemove, "btnRemove", "&Remove", TIcon::Remove},
                 {&btnClear, "btnClear", "&Clear", TIcon::Clear},
                 {&BtnEdit, "BtnEdit", "&Edit", TIcon::Edit},
                 {&btnStart, "btnStart", "&Start", TIcon::Start},
                 {&btnSettings, "btnSettings", "&Settings", TIcon::Settings},
                 {&btnExit, "btnExit", "&Exit", TIcon::Exit}};
    int x = 6;
    for (const auto& t : tools) {
        *t.button = ToolbarButton(t.name, t.caption, t.icon, c);
        (*t.button)->setGeometry(x, 3, 66, 54);
        x += 70;
        if (t.button == &btnStart) x += 10;  // Settings and Exit stand apart
    }
    auto* rule = new QFrame(c);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    rule->setGeometry(0, 59, kWindowWidth, 2);

    // Job list.
    lvFiles = new TlvFiles(c);
    lvFiles->setGeometry(6, 64, 520, 242);

    // Preview.
    pan1 = new QFrame(c);
    pan1->setObjectName("pan1");
    static_cast<QFrame*>(pan1)->setFrameShape(QFrame::Box);
    pan1->setAutoFillBackground(true);
    QPalette black = pan1->palette();
    black.setColor(QPalette::Window, Qt::black);
    black.setColor(QPalette::WindowText, QColor(0x40, 0x40, 0x40));
    pan1->setPalette(black);
    pan1->setGeometry(534, 64, 246, 170);
    trcPreview = Place(new QSlider(Qt::Horizontal, c), "trcPreview", {534, 237, 246, 18});
    lblTime = Place(new QLabel("00:00:00", c), "lblTime", {534, 258, 70, 22});
    lblPTS = Place(new QLabel("00:00:00", c), "lblPTS", {710, 258, 70, 22});
    lblPTS->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    imgbtnPlay = PreviewButton("imgbtnPlay", "play", TIcon::Play, c);
    imgbtnPAuse = PreviewButton("imgbtnPAuse", "pause", TIcon::Pause, c);
    imgbtnStop = PreviewButton("imgbtnStop", "stop", TIcon::Stop, c);
    imgbtnSnap = PreviewButton("imgbtnSnap", "capture image", TIcon::Snapshot, c);
    int bx = 610;
    for (QToolButton* b : {imgbtnPlay, imgbtnPAuse, imgbtnStop, imgbtnSnap}) {
        b->setGeometry(bx, 258, 24, 22);
        bx += 24;
    }
    auto* lblVolume = new QLabel("Volume:", c);
    lblVolume->setGeometry(534, 284, 50, 20);
    trcVolume = Place(new QSlider(Qt::Horizontal, c), "trcVolume", {586, 285, 126, 18});
    trcVolume->installEventFilter(this);
    ckMute = Place(new QCheckBox("Mute", c), "ckMute", {722, 284, 58, 20});
    mmoLog = new QPlainTextEdit(c);
    mmoLog->setObjectName("mmoLog");
    mmoLog->setReadOnly(true);
    mmoLog->hide();

    // Output profile.
    Boxes = new TParameterGroups(ParameterBoxes, TParameterGroups::TMode::StoreAtOnce, c);
    Boxes->grpbxVideo->setGeometry(6, 310, 384, 112);
    Boxes->grpbxAudio->setGeometry(396, 310, 384, 112);
    auto* lblFormat = new QLabel("Output Format:", c);
    lblFormat->setGeometry(6, 430, 96, 22);
    auto [formatBox, dropButton] = MakeFormatBox(c, QRect(104, 430, 530, 22), this);
    edt1 = formatBox;
    imgbtn1 = dropButton;
    btnDefault = Place(new QPushButton("Default", c), "btnDefault", {640, 430, 140, 22});
    lst1 = new TPickerList(FormatPicker, c);
    lst1->setObjectName("lst1");
    lst1->hide();

    // Output folder.
    auto* lblFolder = new QLabel("Output Folder:", c);
    lblFolder->setGeometry(6, 460, 96, 22);
    edDirectory = Place(new QLineEdit(c), "edDirectory", {104, 460, 530, 22});
    btnBrows = Place(new QPushButton("Brows", c), "btnBrows", {640, 460, 68, 22});
    btnOpen = Place(new QPushButton("Open", c), "btnOpen", {712, 460, 68, 22});

    btnRemove->setEnabled(false);
    btnClear->setEnabled(false);
    btnStart->setEnabled(false);
    new TPickerCloser(lst1, {edt1, imgbtn1}, this);

    connect(btnAdd, &QToolButton::clicked, this, &TfrmMain::btnAddClick);
    connect(btnRemove, &QToolButton::clicked, this, &TfrmMain::btnRemoveClick);
    connect(btnClear, &QToolButton::clicked, this, &TfrmMain::btnClearClick);
    connect(BtnEdit, &QToolButton::clicked, this, &TfrmMain::BtnEditClick);
    connect(btnSettings, &QToolButton::clicked, this, &TfrmMain::btnSettingsClick);
    connect(btnExit, &QToolButton::clicked, this, &TfrmMain::close);
    connect(imgbtnPlay, &QToolButton::clicked, this, &TfrmMain::imgbtnPlayClick);
    connect(imgbtnStop, &QToolButton::clicked, this, &TfrmMain::imgbtnStopClick);
    connect(ckMute, &QCheckBox::clicked, this, [](bool on) { settings::WriteInteger("mute", on ? 1 : 0); });
    connect(edDirectory, &QLineEdit::textEdited, this,
            [](const QString& t) { settings::WriteString("OutPutDir", t.toStdString()); });
    connect(btnBrows, &QPushButton::clicked, this, &TfrmMain::btnBrowsClick);
    connect(btnOpen, &QPushButton::clicked, this, &TfrmMain::btnOpenClick);
    connect(edt1, &QLineEdit::textChanged, this, &TfrmMain::edt1Change);
    connect(imgbtn1, &QToolButton::clicked, this, [this] { TogglePicker(); });
    connect(btnDefault, &QPushButton::clicked, this, [this] {
        ParameterBoxes.btnDefaultClick();
        Boxes->Show();
    });
    connect(lst1, &TPickerList::Clicked, this, [this] { PlacePicker(kPickerCapOpened); });
    connect(lst1, &TPickerList::Picked, this, [this](const QString& code, const QString& name) {
        CurrentFormatName = name.toStdString();
        CurrentFormatCode = code.toStdString();
        lst1->hide();
        edt1->setText(name);
    });
    connect(lvFiles, &TlvFiles::PopupRequested, this, [this](const QPoint& at) {
        UpdatePopupMenu();
        suiPopupMenu1->popup(at);
    });
    connect(lvFiles, &QTreeWidget::itemDoubleClicked, this, [this] {
        if (ListHasSelection()) imgbtnPlayClick();
    });
}

void TfrmMain::BuildMenus() {
    suiMainMenu1 = menuBar();
    suiMainMenu1->setObjectName("suiMainMenu1");
    auto item = [this](QMenu* menu, QAction*& action, const char* name, const char* caption,
                       void (TfrmMain::*handler)() = nullptr) {
        action = menu->addAction(caption);
        action->setObjectName(name);
        if (handler) connect(action, &QAction::triggered, this, handler);
    };
    mnuFile = suiMainMenu1->addMenu("&File");
    item(mnuFile, Add1, "Add1", "&Add", &TfrmMain::btnAddClick);
    item(mnuFile, Remove1, "Remove1", "&Remove", &TfrmMain::btnRemoveClick);
    item(mnuFile, Clear1, "Clear1", "&Clear", &TfrmMain::btnClearClick);
    item(mnuFile, Start1, "Start1", "&Start");
    mnuFile->addSeparator();
    item(mnuFile, Settings1, "Settings1", "Se&ttings", &TfrmMain::btnSettingsClick);
    item(mnuFile, Exit1, "Exit1", "&Exit");
    connect(Exit1, &QAction::triggered, this, &TfrmMain::close);

    mnuEdit = suiMainMenu1->addMenu("&Edit");
    item(mnuEdit, Crop1, "Crop1", "&Crop");
    item(mnuEdit, Trim1, "Trim1", "&Trim");
    item(mnuEdit, VideoEffect1, "VideoEffect1", "&Video Effect && Water Mark");
    mnuEdit->addSeparator();
    item(mnuEdit, CheckAll1, "CheckAll1", "&Check All", &TfrmMain::CheckAll1Click);
    item(mnuEdit, UncheckAll1, "UncheckAll1", "&Uncheck All", &TfrmMain::UncheckAll1Click);
    item(mnuEdit, ReverseCheck1, "ReverseCheck1", "&Reverse Check", &TfrmMain::ReverseCheck1Click);
    mnuEdit->addSeparator();
    item(mnuEdit, Check1, "Check1", "C&heck", &TfrmMain::Check1Click);
    item(mnuEdit, Uncheck1, "Uncheck1", "U&ncheck", &TfrmMain::Uncheck1Click);
    connect(mnuEdit, &QMenu::aboutToShow, this, &TfrmMain::UpdateEditMenu);

    mnuTools = suiMainMenu1->addMenu("&Tools");
    item(mnuTools, Preference1, "Preference1", "&Preference");
    mnuSkin = mnuTools->addMenu("&Skin");
    mnuSkin->setObjectName("Skin1");
    for (int i = 0; i < kSkinCount; ++i) {
        SkinItems[i] = mnuSkin->addAction(Skin(i).Caption);
        SkinItems[i]->setObjectName(Skin(i).MenuName);
        SkinItems[i]->setCheckable(true);
        connect(SkinItems[i], &QAction::triggered, this, [this, i] { SkinClick(i); });
    }
    connect(mnuSkin, &QMenu::aboutToShow, this, &TfrmMain::UpdateSkinMenu);

    mnuHelp = suiMainMenu1->addMenu("&Help");
    item(mnuHelp, Help1, "Help1", "&Help");
    mnuHelp->addSeparator();
    item(mnuHelp, WebSite1, "WebSite1", "&Web Site");
    item(mnuHelp, Support1, "Support1", "&Support and Contact");
    item(mnuHelp, About1, "About1", "&About");
    connect(Help1, &QAction::triggered, this, [this] { OpenUrl(GlobalObject().HelpUrl()); });
    connect(WebSite1, &QAction::triggered, this, [this] { OpenUrl(GlobalObject().HomePageUrl()); });
    connect(Support1, &QAction::triggered, this, [this] { OpenUrl(kMakerSiteUrl); });

    suiPopupMenu1 = new QMenu(this);
    suiPopupMenu1->setObjectName("suiPopupMenu1");
    item(suiPopupMenu1, pmCrop, "pmCrop", "&Crop");
    item(suiPopupMenu1, pmTrim, "pmTrim", "&Trim");
    item(suiPopupMenu1, pmVideoEffect, "pmVideoEffect", "&Video Effect && Water Mark");
    suiPopupMenu1->addSeparator();
    item(suiPopupMenu1, pmAdd, "pmAdd", "Add", &TfrmMain::btnAddClick);
    item(suiPopupMenu1, pmRemove, "pmRemove", "Remove", &TfrmMain::btnRemoveClick);
    item(suiPopupMenu1, pmClear, "pmClear", "Clear", &TfrmMain::btnClearClick);
    item(suiPopupMenu1, pmStart, "pmStart", "Start");
    suiPopupMenu1->addSeparator();
    item(suiPopupMenu1, pmVideoInfo, "pmVideoInfo", "Video Infomation");
}

void TfrmMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void TfrmMain::FormShow() {
    setFixedSize(kWindowWidth, kWindowHeight);
    SetStoppedArrangement();
    PlayOnAdd = false;
    if (!PreviewBitmap) PreviewBitmap = std::make_unique<TBitmap>();

    CurrentFormatCode = settings::ReadString("FormatCode");
    CurrentFormatName = settings::ReadString("FormatName");

    edDirectory->setText(QString::fromStdString(settings::ReadString("OutPutDir")));
    QPalette folder = edDirectory->palette();
    folder.setColor(QPalette::Base, palette().color(QPalette::Midlight));
    edDirectory->setPalette(folder);

    trcVolume->setRange(0, 128);
    trcVolume->setValue(settings::ReadVolume());
    ckMute->setChecked(settings::ReadInteger("mute") == 1);

    lvFiles->BuildColumns();
    TGlobalObject& g = GlobalObject();
    setWindowTitle(QString::fromStdString(g.Title() + g.VersionText()));
    FillFormatList();
    Batch->ScheduleUpdateCheck();
}

void TfrmMain::SetStoppedArrangement() {
    imgbtnPlay->setEnabled(true);
    imgbtnPAuse->setEnabled(false);
    imgbtnStop->setEnabled(false);
    imgbtnSnap->setEnabled(false);
    PlayerStopped = true;
    PlayerPaused = false;
    trcPreview->setValue(0);
    trcPreview->setEnabled(false);
    lblTime->setText("00:00:00");
    lblPTS->setText("00:00:00");
    pan1->update();
}

void TfrmMain::FillFormatList() {
    std::string name = FormatPicker.FillFormatList();
    lst1->Refresh();
    PlacePicker(kPickerCapFilled);
    QString text = QString::fromStdString(name);
    if (edt1->text() == text) edt1Change();  // the box's change event fires only on a change
    else edt1->setText(text);
}

void TfrmMain::edt1Change() {
    ParameterBoxes.CurrentFormatCode = CurrentFormatCode;
    ParameterBoxes.edt1Change();
    Boxes->Show();
}

void TfrmMain::PlacePicker(int cap) {
    int height = PickerHeight(FormatPicker.RowCount(), cap);
    QRect box = edt1->geometry();
    int top = std::max(0, box.top() - height);
    lst1->setGeometry(box.left(), top, box.width(), box.top() - top);
    lst1->Refresh();
}

void TfrmMain::TogglePicker(bool resize) {
    if (lst1->isVisible()) {
        lst1->hide();
        return;
    }
    FormatPicker.SelectByName(SettingsIni().ReadString(settings::kSection, "FormatName",
                                                                  kDefaultPickerFormatName));
    if (resize) PlacePicker(kPickerCapOpened);
    lst1->Open();
}

bool TfrmMain::eventFilter(QObject* watched, QEvent* event) {
    if (watched == edt1 && event->type() == QEvent::MouseButtonPress) {
        TogglePicker();
        if (lst1->isVisible() && FormatPicker.ItemIndex >= 0)
            QCursor::setPos(lst1->viewport()->mapToGlobal(lst1->RowRect(FormatPicker.ItemIndex).center()));
        return true;
    }
    if (watched == edt1 && event->type() == QEvent::MouseButtonDblClick) {
        if (!lst1->isVisible()) TogglePicker(false);
        return true;
    }
    if (watched == trcVolume && event->type() == QEvent::MouseButtonRelease)
        settings::WriteInteger("volume", trcVolume->value());
    return QMainWindow::eventFilter(watched, event);
}

void TfrmMain::closeEvent(QCloseEvent* event) {
    if (!ClosingForUpdate &&
        CurrentPrompts().Show("Warning", "Do you really want to exit?", PromptButtons::YesNo,
                              PromptIcon::Question) != PromptResult::Yes) {
        event->ignore();
        return;
    }
    FormatPicker.SaveCollapsedState();
    CCAVC->SetOnCustomHook(nullptr);
    CCAVC->SetOnProgress(nullptr);
    CCAVC->SetOnTerminate(nullptr);
    CCAVC->StopTasks(true);
    Batch->Controller.ClearTaskRows();
    lvFiles->ClearRows();
    PreviewBitmap.reset();
    event->accept();
}

// ---- job list ----

bool TfrmMain::ProbeForAdd(const std::string& path, int64_t& duration) {
    // Probing is the only reason the task exists.
    int task = CCAVC->AddTask(path);
    if (task < 0) return false;
    TAVProbe* probe = CCAVC->InputProbe(task, 0);
    duration = probe ? probe->GetFileStreamInfo().Duration : -1;
    CCAVC->RemoveTask(task);
    CCAVC->ClearTasks();
    return true;
}

void TfrmMain::btnAddClick() {
    if (!CCAVC->LoadLibraries(ProgramFolder() + "LibAV")) return;
    QStringList files = OpenFilesDialog ? OpenFilesDialog() : QStringList();
    if (files.isEmpty()) return;
    CCAVC->ClearTasks();
    std::string code = settings::ReadString("FormatCode");
    std::string ext = ReadFileExt(code);
    std::string zoom = ReadZoomMode(code);
    for (const QString& file : files) {
        std::string path = file.toStdString();
        if (DirectoryExists(path) || lvFiles->Contains(file)) continue;
        std::string destination = MakeDestinationName(path, "_ipod." + ext);
        int64_t duration = 0;
        if (!ProbeForAdd(path, duration)) continue;
        btnStart->setEnabled(true);
        lvFiles->AppendRow(std::make_unique<TlvFilesRecord>(NewJobRecord(path, zoom)),
                           duration, QString::fromStdString(ExtractFileName(destination)));
        btnClear->setEnabled(true);
        btnRemove->setEnabled(true);
        lvFiles->SelectRow(0);
        lvFiles->setFocus();
        lvFiles->viewport()->update();
    }
    if (PlayOnAdd) {
        PlayOnAdd = false;
        if (lvFiles->Count() > 0) PlaySelectedRow();
    }
}

void TfrmMain::btnRemoveClick() {
    if (!lvFiles->RemoveSelected()) return;
    lvFiles->setFocus();
    if (lvFiles->Count() == 0) imgbtnStopClick();
}

void TfrmMain::btnClearClick() {
    if (lvFiles->Count() == 0) return;
    CCAVC->ClearTasks();
    lvFiles->ClearRows();
    imgbtnStopClick();
}

void TfrmMain::CheckAll1Click() { lvFiles->SetAllChecked(true); }
void TfrmMain::UncheckAll1Click() { lvFiles->SetAllChecked(false); }
void TfrmMain::ReverseCheck1Click() { lvFiles->ReverseCheck(); }
void TfrmMain::Check1Click() { lvFiles->SetSelectedChecked(true); }
void TfrmMain::Uncheck1Click() { lvFiles->SetSelectedChecked(false); }

bool TfrmMain::ListHasSelection() const { return lvFiles->Count() > 0 && lvFiles->Selected() >= 0; }

void TfrmMain::UpdateEditMenu() {
    VideoEffect1->setVisible(true);
    bool on = ListHasSelection();
    for (QAction* a : {Crop1, Trim1, VideoEffect1, CheckAll1, UncheckAll1, ReverseCheck1, Check1, Uncheck1})
        a->setEnabled(on);
}

void TfrmMain::UpdatePopupMenu() {
    pmVideoEffect->setVisible(true);
    bool on = ListHasSelection();
    for (QAction* a : {pmCrop, pmTrim, pmVideoEffect, pmVideoInfo, pmRemove, pmClear, pmStart})
        a->setEnabled(on);
    pmAdd->setEnabled(true);
}

void TfrmMain::BtnEditClick() {
    UpdatePopupMenu();
    suiPopupMenu1->popup(BtnEdit->mapToGlobal(QPoint(0, BtnEdit->height())));
}

// ---- skins ----

void TfrmMain::UpdateSkinMenu() {
    int stored = settings::ReadInteger("skinIndex");
    for (int i = 0; i < kSkinCount; ++i) SkinItems[i]->setChecked(i == stored);
}

void TfrmMain::SkinClick(int index) {
    UpdateSkinMenu();
    if (settings::ReadInteger("skinIndex") == index) return;
    hide();
    ApplySkin(index);
    for (int i = 0; i < kSkinCount; ++i) SkinItems[i]->setChecked(i == index);
    show();
    settings::WriteInteger("skinIndex", index);
}

// ---- profile ----

void TfrmMain::btnSettingsClick() {
    FormatPicker.SaveCollapsedState();
    if (!frmSettings_) frmSettings_ = new TfrmSettings(this);
    if (frmSettings_->exec() == QDialog::Accepted) TakeOverStoredProfile();
}

void TfrmMain::TakeOverStoredProfile() {
    CurrentFormatCode = settings::ReadString("FormatCode");
    CurrentFormatName = settings::ReadString("FormatName");
    FillFormatList();
    edt1Change();
}

// ---- output folder ----

void TfrmMain::btnBrowsClick() {
    QString chosen = BrowseFolderDialog ? BrowseFolderDialog(edDirectory->text()) : QString();
    if (chosen.isEmpty() || chosen == edDirectory->text()) return;
    settings::WriteString("OutPutDir", chosen.toStdString());
    edDirectory->setText(chosen);
}

void TfrmMain::btnOpenClick() {
    if (edDirectory->text().size() > 2) CurrentShell().Open(settings::ReadString("OutPutDir"));
}

void TfrmMain::OpenUrl(const std::string& url) { CurrentShell().Open(url); }

// ---- preview ----

void TfrmMain::imgbtnPlayClick() {
    if (lvFiles->Count() == 0) {
        PlayOnAdd = true;
        btnAddClick();
        return;
    }
    if (lvFiles->Selected() < 0) {
        lvFiles->SelectRow(0);
        lvFiles->setFocus();
    }
    PlaySelectedRow();
}

void TfrmMain::PlaySelectedRow() {
    // The preview player is not part of this program yet: the controls keep their
    // stopped arrangement.
    SetStoppedArrangement();
}

void TfrmMain::imgbtnStopClick() {
    if (PlayerStopped) return;
    SetStoppedArrangement();
}

void TfrmMain::AppendLog(const std::string& line) { mmoLog->appendPlainText(QString::fromStdString(line)); }

}  // namespace vexlo::gui
