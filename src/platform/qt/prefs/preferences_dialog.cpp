// The preferences dialog ("/C") in Qt Widgets: frmConfig's window and controls.
// Implemented:
//  [X] A modal QDialog with no parent: caption "Velun Saver Preferences", fixed
//      size, a close box and no minimise or maximise button, the program's icon
//  [X] Client area and every control of the design placed in twips at the primary
//      screen's logical DPI; labels sized to their captions; frames are group
//      boxes holding their controls; the dialog font at 8 points, as designed
//  [X] Tab order as designed, focus on OK; OK is the default button, Enter presses
//      the button that has the focus; Esc presses nothing
//  [X] Events to frmConfig through RunHandler, one at a time: button clicks, the
//      user's slider moves, and every close to Form_Unload
//  [X] The warning through the system services' message box; both choosers modal
//      over the dialog
//  [ ] No help button, no context help
#include "platform/qt/prefs/preferences_dialog.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QPushButton>

#include <map>
#include <memory>
#include <vector>

#include "platform/qt/prefs/dialog_qt_controls.h"
#include "platform/qt/prefs/qt_choosers.h"
#include "prefs/dialog_layout.h"
#include "prefs/frm_config.h"
#include "saver/run_handler.h"

namespace velun::qt {

namespace {

constexpr int kDialogFontPoints = 8;
constexpr const char* kIconResource = ":/velun/velun.ico";

// A frame's line runs through the middle of its caption, as the design assumes:
// the controls inside sit at their places below the caption, not under a title
// drawn above the line.
QString FrameStyleSheet(int captionHeight) {
  return QStringLiteral(
             "QGroupBox { border: 2px groove palette(mid); border-radius: 0; margin-top: %1px; }"
             "QGroupBox::title { subcontrol-origin: margin; subcontrol-position: top left;"
             " left: 6px; padding: 0 2px; }")
      .arg(captionHeight / 2);
}

class PreferencesDialog : public QDialog {
 public:
  PreferencesDialog(Program& program, SystemServices& system, SettingsStore& store)
      : QDialog(nullptr,
                Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                    Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
        program_(program),
        system_(system),
        store_(store),
        dpi_(PrimaryScreenDpi()) {
    setWindowTitle(QString::fromUtf8(kDialogCaption));
    setWindowIcon(QIcon(QString::fromUtf8(kIconResource)));
    setModal(true);
    QFont dialogFont = font();
    dialogFont.setPointSize(kDialogFontPoints);
    setFont(dialogFont);
    setFixedSize(TwipsToPixels(kClientWidthTwips, dpi_), TwipsToPixels(kClientHeightTwips, dpi_));
    CreateControls();
    Wire();
  }

  // Raises the load's failure; returns when the dialog has closed.
  void Run() {
    windowServices_ = std::make_unique<DialogWindowQt>(this, dpi_);
    cmbVerseSelection_ = std::make_unique<ComboDropDownListQt>(Combo(kIdCmbVerseSelection));
    cmbAnimation_ = std::make_unique<ComboDropDownListQt>(Combo(kIdCmbAnimation));
    TxtTimeDelay_ =
        std::make_unique<LineEditTextBox>(qobject_cast<QLineEdit*>(controls_[kIdTxtTimeDelay]));
    SldrSpeed_ =
        std::make_unique<QSliderSlider>(qobject_cast<QSlider*>(controls_[kIdSldrSpeed]));
    CommonDialog1_ = std::make_unique<QtChoosers>(this);
    form_ = std::make_unique<frmConfig>(program_, store_, system_, *windowServices_,
                                        *cmbVerseSelection_, *cmbAnimation_, *TxtTimeDelay_,
                                        *SldrSpeed_, *CommonDialog1_, numberParser_);
    // The load runs inside Main's failure trap: a failure goes back there.
    inHandler_ = true;
    form_->Form_Load();
    inHandler_ = false;
    if (program_.ended) return;
    controls_[kIdOk]->setFocus(Qt::OtherFocusReason);
    exec();
    // The event loop left by another road (the application told to quit): the
    // dialog closes all the same, and every close saves and ends.
    if (!program_.ended) Deliver([this] { form_->Form_Unload(); });
  }

 protected:
  // The close box, the window menu's Close and Alt+F4.
  // A close asked for while a handler runs (a chooser or a message box open, and
  // SIGTERM closing every window) is carried out as soon as that handler returns.
  void closeEvent(QCloseEvent* event) override {
    if (inHandler_) closeRequested_ = true;
    Deliver([this] { form_->Form_Unload(); });
    if (program_.ended)
      event->accept();
    else
      event->ignore();
  }

  // Esc: no button is bound to it.
  void reject() override {}

 private:
  QComboBox* Combo(int id) { return qobject_cast<QComboBox*>(controls_[id]); }

  void CreateControls() {
    // Frames first, so that the controls inside them can be made their children.
    for (const ControlDesign& design : kDialogDesign) {
      if (design.kind == ControlKind::Frame) Create(design, this);
    }
    std::vector<QWidget*> tabOrder;
    for (const ControlDesign& design : kDialogDesign) {
      if (design.kind == ControlKind::Frame) continue;
      QWidget* parent =
          design.frame == 0 ? static_cast<QWidget*>(this) : controls_.at(design.frame);
      QWidget* control = Create(design, parent);
      if (control->focusPolicy() != Qt::NoFocus) tabOrder.push_back(control);
    }
    for (std::size_t i = 1; i < tabOrder.size(); ++i)
      QWidget::setTabOrder(tabOrder[i - 1], tabOrder[i]);
  }

  QWidget* Create(const ControlDesign& design, QWidget* parent) {
    const QString caption = QString::fromUtf8(design.caption);
    QWidget* control = nullptr;
    switch (design.kind) {
      case ControlKind::Frame:
        control = new QGroupBox(caption, parent);
        control->setStyleSheet(FrameStyleSheet(control->fontMetrics().height()));
        break;
      case ControlKind::Image: {
        auto* image = new QLabel(parent);
        const int side = TwipsToPixels(design.width, dpi_);
        image->setPixmap(QIcon(QString::fromUtf8(kIconResource)).pixmap(side, side));
        image->setAlignment(Qt::AlignCenter);
        control = image;
        break;
      }
      case ControlKind::Label:
        control = new QLabel(caption, parent);
        control->setFocusPolicy(Qt::NoFocus);
        break;
      case ControlKind::Button:
      case ControlKind::DefaultButton: {
        auto* button = new QPushButton(caption, parent);
        button->setAutoDefault(true);  // Enter presses the button that has the focus
        button->setDefault(design.kind == ControlKind::DefaultButton);
        control = button;
        break;
      }
      case ControlKind::TextBox:
        control = new QLineEdit(caption, parent);
        break;
      case ControlKind::DropDownList:
        control = new QComboBox(parent);  // not editable: pick only, entries unsorted
        break;
      case ControlKind::Slider:
        control = new TrackBarLikeSlider(parent);
        break;
    }
    control->setObjectName(QString::fromUtf8(design.name));
    const QPoint place(TwipsToPixels(design.left, dpi_), TwipsToPixels(design.top, dpi_));
    QSize size(TwipsToPixels(design.width, dpi_), TwipsToPixels(design.height, dpi_));
    if (design.kind == ControlKind::Label) size = control->sizeHint();
    // A list's height comes from its font.
    if (design.kind == ControlKind::DropDownList) size.setHeight(control->sizeHint().height());
    control->setGeometry(QRect(place, size));
    controls_[design.id] = control;
    return control;
  }

  void Wire() {
    auto button = [this](int id) { return qobject_cast<QPushButton*>(controls_[id]); };
    connect(button(kIdOk), &QPushButton::clicked, this,
            [this] { Deliver([this] { form_->CmdResponse_Click(0); }); });
    connect(button(kIdCancel), &QPushButton::clicked, this,
            [this] { Deliver([this] { form_->CmdResponse_Click(1); }); });
    connect(button(kIdCmdFonts), &QPushButton::clicked, this,
            [this] { Deliver([this] { form_->CmdFonts_Click(); }); });
    connect(button(kIdCmdColor), &QPushButton::clicked, this,
            [this] { Deliver([this] { form_->cmdColor_Click(); }); });
    // Values set by the program are blocked (QSliderSlider): only the user's moves come here.
    connect(qobject_cast<QSlider*>(controls_[kIdSldrSpeed]), &QSlider::valueChanged, this,
            [this] { Deliver([this] { form_->SldrSpeed_Change(); }); });
  }

  // One handler at a time: a message box or a chooser inside one runs its own
  // event loop. Once the program has ended the dialog closes.
  template <typename Handler>
  void Deliver(Handler&& handler) {
    if (form_ == nullptr || inHandler_) return;
    inHandler_ = true;
    RunHandler(program_, system_, std::forward<Handler>(handler));
    if (closeRequested_) RunHandler(program_, system_, [this] { form_->Form_Unload(); });
    inHandler_ = false;
    if (program_.ended) done(QDialog::Accepted);
  }

  Program& program_;
  SystemServices& system_;
  SettingsStore& store_;
  qreal dpi_;
  std::map<int, QWidget*> controls_;
  QLocaleNumberParser numberParser_;
  std::unique_ptr<DialogWindowQt> windowServices_;
  std::unique_ptr<ComboDropDownListQt> cmbVerseSelection_;
  std::unique_ptr<ComboDropDownListQt> cmbAnimation_;
  std::unique_ptr<LineEditTextBox> TxtTimeDelay_;
  std::unique_ptr<QSliderSlider> SldrSpeed_;
  std::unique_ptr<QtChoosers> CommonDialog1_;
  std::unique_ptr<frmConfig> form_;
  bool inHandler_ = false;
  bool closeRequested_ = false;
};

}  // namespace

void ShowPreferencesDialog(Program& program, SystemServices& system, SettingsStore& store) {
  PreferencesDialog dialog(program, system, store);
  dialog.Run();
}

}  // namespace velun::qt
