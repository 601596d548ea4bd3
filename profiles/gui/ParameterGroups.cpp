#include "profiles/gui/ParameterGroups.h"

#include <QApplication>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QTimer>

#include "app/gui/Skins.h"

namespace vexlo::gui {

void TComboItemDelegate::paint(QPainter* p, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const {
    const bool hot = option.state & (QStyle::State_Selected | QStyle::State_MouseOver);
    p->save();
    p->fillRect(option.rect, Qt::white);
    if (hot) DrawHighlight(*p, option.rect);
    QRect text = option.rect.adjusted(3, 0, -3, 0);
    p->setPen(Qt::black);
    p->setFont(option.font);
    p->drawText(text, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                option.fontMetrics.elidedText(index.data().toString(), Qt::ElideRight, text.width()));
    p->restore();
}

QSize TComboItemDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
    QSize s = QStyledItemDelegate::sizeHint(option, index);
    return {s.width() + 6, std::max(s.height(), option.fontMetrics.height() + 6)};
}

namespace {

QComboBox* MakeBox(const char* name, bool editable, QWidget* parent) {
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    box->setEditable(editable);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setItemDelegate(new TComboItemDelegate(box));
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    box->setMinimumContentsLength(5);
    if (editable) box->lineEdit()->setContextMenuPolicy(Qt::NoContextMenu);
    return box;
}

QGroupBox* MakeGroup(const char* name, const char* caption,
                     std::initializer_list<std::pair<const char*, QComboBox*>> rows, QWidget* parent) {
    auto* group = new QGroupBox(caption, parent);
    group->setObjectName(name);
    auto* grid = new QGridLayout(group);
    grid->setContentsMargins(6, 12, 6, 6);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(5);
    int i = 0;
    for (const auto& [label, box] : rows) {
        auto* l = new QLabel(label, group);
        l->setBuddy(box);
        l->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Preferred);  // captions never clipped
        box->setParent(group);
        grid->addWidget(l, i / 2, (i % 2) * 2);
        grid->addWidget(box, i / 2, (i % 2) * 2 + 1);
        ++i;
    }
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    return group;
}

}  // namespace

TParameterGroups::TParameterGroups(TParameterBoxes& model, TMode mode, QWidget* parent)
    : QObject(parent), model_(model), mode_(mode) {
    cmbVideoSize = MakeBox("cmbVideoSize", true, parent);
    cmbVideoEncoder = MakeBox("cmbVideoEncoder", false, parent);
    cmbVideoBitRate = MakeBox("cmbVideoBitRate", true, parent);
    cmbFrameRate = MakeBox("cmbFrameRate", false, parent);
    cmbZoom = MakeBox("cmbZoom", false, parent);
    cmbSamplerate = MakeBox("cmbSamplerate", true, parent);
    cmbAudioEncoder = MakeBox("cmbAudioEncoder", false, parent);
    cmbChannel = MakeBox("cmbChannel", false, parent);
    cmbAudioBitRate = MakeBox("cmbAudioBitRate", true, parent);
    cmbVolume = MakeBox("cmbVolume", false, parent);
    grpbxVideo = MakeGroup("grpbxVideo", "Video Options",
                           {{"Frame Size:", cmbVideoSize}, {"Encoder:", cmbVideoEncoder},
                            {"BitRate (Kbps):", cmbVideoBitRate}, {"FrameRate (Fps):", cmbFrameRate},
                            {"Zoom:", cmbZoom}},
                           parent);
    grpbxAudio = MakeGroup("grpbxAudio", "Audio Options",
                           {{"SampleRate (Hz):", cmbSamplerate}, {"Encoder:", cmbAudioEncoder},
                            {"Channel:", cmbChannel}, {"BitRate (Kbps):", cmbAudioBitRate},
                            {"Volume:", cmbVolume}},
                           parent);
    boxes_ = {{cmbVideoSize, &model.cmbVideoSize},       {cmbVideoEncoder, &model.cmbVideoEncoder},
              {cmbVideoBitRate, &model.cmbVideoBitRate}, {cmbFrameRate, &model.cmbFrameRate},
              {cmbZoom, &model.cmbZoom},                 {cmbSamplerate, &model.cmbSamplerate},
              {cmbAudioEncoder, &model.cmbAudioEncoder}, {cmbChannel, &model.cmbChannel},
              {cmbAudioBitRate, &model.cmbAudioBitRate}, {cmbVolume, &model.cmbVolume}};
    model.OnBeep = [] { QApplication::beep(); };
    for (auto& [box, m] : boxes_) {
        QComboBox* b = box;
        connect(b, &QComboBox::activated, this, [this, b](int i) { Picked(b, i); });
        if (b->isEditable()) {
            connect(b->lineEdit(), &QLineEdit::textEdited, this,
                    [this, b](const QString& t) { TextEdited(b, t); });
            b->lineEdit()->installEventFilter(this);
            b->installEventFilter(this);
        }
    }
    Show();
}

TComboModel& TParameterGroups::ModelOf(QComboBox* box) {
    for (auto& [b, m] : boxes_)
        if (b == box) return *m;
    throw std::logic_error("not a parameter box");
}

void TParameterGroups::ShowBox(QComboBox* box, const TComboModel& m) {
    QSignalBlocker block(box);
    QStringList items;
    for (const auto& s : m.Items) items << QString::fromStdString(s);
    QStringList current;
    for (int i = 0; i < box->count(); ++i) current << box->itemText(i);
    if (items != current) {
        box->clear();
        box->addItems(items);
    }
    box->setMaxVisibleItems(std::max(1, int(items.size())));
    if (box->currentIndex() != m.ItemIndex) box->setCurrentIndex(m.ItemIndex);
    if (box->isEditable()) {
        QString text = QString::fromStdString(m.Text);
        if (box->currentText() != text) box->setEditText(text);
    }
    box->setEnabled(m.Enabled);
}

void TParameterGroups::Show() {
    for (auto& [box, m] : boxes_) ShowBox(box, *m);
}

void TParameterGroups::Picked(QComboBox* box, int index) {
    TComboModel& m = ModelOf(box);
    if (mode_ == TMode::StoreAtOnce) model_.PickItem(m, index);
    else m.Select(index);
    Show();
}

void TParameterGroups::TextEdited(QComboBox* box, const QString& text) {
    TComboModel& m = ModelOf(box);
    m.SetText(text.toStdString());
    if (mode_ == TMode::StoreAtOnce) {
        if (box == cmbVideoBitRate) model_.cmbVideoBitRateChange();
        else if (box == cmbSamplerate) model_.cmbSamplerateChange();
        else if (box == cmbAudioBitRate) model_.cmbAudioBitRateChange();
    }
    Show();
}

void TParameterGroups::Left(QComboBox* box) {
    if (leaving_) return;
    leaving_ = true;
    ModelOf(box).SetText(box->currentText().toStdString());
    bool keep = false;
    if (mode_ == TMode::StoreAtOnce) {
        if (box == cmbVideoSize) model_.cmbVideoSizeExit();
    } else if (OnLeave) {
        keep = !OnLeave(box);
    }
    Show();
    if (keep) box->setFocus();
    leaving_ = false;
}

bool TParameterGroups::KeyAllowed(QComboBox* box, QChar key) {
    char c = key.unicode() < 128 ? char(key.unicode()) : '?';
    ModelOf(box).SetText(box->currentText().toStdString());
    return box == cmbVideoSize ? model_.cmbVideoSizeKeyPress(c) : model_.NumericKeyPress(c);
}

bool TParameterGroups::eventFilter(QObject* watched, QEvent* event) {
    QComboBox* box = nullptr;
    for (auto& [b, m] : boxes_)
        if (watched == b || watched == b->lineEdit()) box = b;
    if (!box) return false;
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        QString text = key->text();
        bool typed = key->key() == Qt::Key_Backspace ||
                     (text.size() == 1 && text[0].isPrint() && !(key->modifiers() & Qt::ControlModifier));
        if (typed && !KeyAllowed(box, key->key() == Qt::Key_Backspace ? QChar('\b') : text[0])) return true;
    } else if (event->type() == QEvent::FocusOut) {
        auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::PopupFocusReason && !box->hasFocus())
            QTimer::singleShot(0, this, [this, box] {
                if (!box->hasFocus()) Left(box);
            });
    }
    return false;
}

}  // namespace vexlo::gui
