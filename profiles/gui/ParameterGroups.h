#pragma once
// The "Video Options" and "Audio Options" groups with the ten parameter boxes, bound to a
// TParameterBoxes model. In the main window every change goes through the model's
// handlers, which store it at once; in the settings window the boxes only edit the model
// and leaving an editable box runs the window's check.
#include <QComboBox>
#include <QGroupBox>
#include <QStyledItemDelegate>
#include <functional>

#include "profiles/ParameterBoxes.h"

namespace vexlo::gui {

// Items of the parameter boxes: the highlighted one light blue in a frame, others white.
class TComboItemDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

class TParameterGroups : public QObject {
    Q_OBJECT
public:
    enum class TMode { StoreAtOnce, EditOnly };
    TParameterGroups(TParameterBoxes& model, TMode mode, QWidget* parent);

    QGroupBox* grpbxVideo;
    QGroupBox* grpbxAudio;
    QComboBox *cmbVideoSize, *cmbVideoEncoder, *cmbVideoBitRate, *cmbFrameRate, *cmbZoom;
    QComboBox *cmbSamplerate, *cmbAudioEncoder, *cmbChannel, *cmbAudioBitRate, *cmbVolume;

    // Shows the model in the boxes.
    void Show();
    // The model's box behind a widget.
    TComboModel& ModelOf(QComboBox* box);

    // EditOnly: called when an editable box is left; false keeps the focus in the box.
    std::function<bool(QComboBox*)> OnLeave;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Picked(QComboBox* box, int index);
    void TextEdited(QComboBox* box, const QString& text);
    void Left(QComboBox* box);
    bool KeyAllowed(QComboBox* box, QChar key);
    static void ShowBox(QComboBox* box, const TComboModel& model);

    TParameterBoxes& model_;
    TMode mode_;
    std::vector<std::pair<QComboBox*, TComboModel*>> boxes_;
    bool leaving_ = false;
};

}  // namespace vexlo::gui
