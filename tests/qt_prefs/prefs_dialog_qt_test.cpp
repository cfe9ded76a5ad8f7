// The Qt preferences dialog, shown for real (Qt's offscreen platform) with the
// null platform's system services: the design's places at the screen's DPI, the
// controls' contract with frmConfig, the keys, the close routes and the choosers.
#include <gtest/gtest.h>

#include <QApplication>
#include <QColorDialog>
#include <QComboBox>
#include <QDialog>
#include <QFontDialog>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QTest>
#include <QTimer>

#include <functional>
#include <string>
#include <vector>

#include "fakes/fake_system.h"
#include "platform/qt/prefs/dialog_qt_controls.h"
#include "platform/qt/prefs/preferences_dialog.h"
#include "prefs/dialog_layout.h"
#include "startup/settings.h"

namespace velun {
namespace {

// Runs the action on the modal window of type T as soon as it is the active one.
// Each step waits on its own timer, so a step may open the next modal window.
template <typename T>
void When(std::function<void(T*)> action) {
  auto* timer = new QTimer;
  timer->setInterval(10);
  QObject::connect(timer, &QTimer::timeout, [timer, action] {
    auto* modal = qobject_cast<T*>(QApplication::activeModalWidget());
    if (modal == nullptr || !modal->isVisible()) return;
    timer->stop();
    timer->deleteLater();
    action(modal);
  });
  timer->start();
}

template <typename T>
T* Find(QWidget* dialog, const char* name) {
  T* control = dialog->findChild<T*>(QString::fromUtf8(name));
  if (control == nullptr) ADD_FAILURE() << "no control " << name;
  return control;
}

// One run of the dialog over a store in memory; a watchdog closes every window
// if a scenario leaves one open.
struct DialogRun {
  DialogRun() { program.settings.LineBreak = "\r\n"; }

  void Show() {
    LoadSettings(program.settings, store);
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [] {
      ADD_FAILURE() << "a window was left open";
      while (QWidget* modal = QApplication::activeModalWidget()) modal->close();
    });
    watchdog.start(20000);
    qt::ShowPreferencesDialog(program, system, store);
  }

  std::string Stored(const std::string& section, const std::string& key) const {
    const auto it = store.values.find({kApplicationName, section, key});
    return it == store.values.end() ? std::string("<missing>") : it->second;
  }

  Program program;
  MemorySettingsStore store;
  fakes::FakeSystem system;
};

QWidget* FocusOf(QDialog* dialog) {
  QWidget* focus = dialog->focusWidget();
  return focus != nullptr ? focus : QApplication::focusWidget();
}

std::string NameOf(QWidget* widget) {
  return widget == nullptr ? std::string("<none>") : widget->objectName().toStdString();
}

TEST(QtPreferencesDialog, DesignAtTheScreenDpiDefaultsKeysAndOk) {
  DialogRun run;
  bool looked = false;
  When<QDialog>([&](QDialog* d) {
    looked = true;
    const qreal dpi = QGuiApplication::primaryScreen()->logicalDotsPerInch();
    auto px = [dpi](int twips) { return static_cast<int>(twips * dpi / 1440 + 0.5); };
    EXPECT_EQ(d->windowTitle(), "Velun Saver Preferences");
    EXPECT_EQ(d->size(), QSize(px(5232), px(4344)));
    EXPECT_EQ(d->minimumSize(), d->maximumSize());  // not resizable
    EXPECT_FALSE(d->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(d->windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(d->windowIcon().isNull());
    EXPECT_TRUE(d->isModal());
    // The dialog is centred on the screen (no window manager: outer size = client size).
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_LE(std::abs(d->x() - (screen.width() - d->width()) / 2), 1);
    EXPECT_LE(std::abs(d->y() - (screen.height() - d->height()) / 2), 1);

    for (const ControlDesign& design : kDialogDesign) {
      SCOPED_TRACE(design.name);
      QWidget* c = Find<QWidget>(d, design.name);
      ASSERT_NE(c, nullptr);
      QWidget* frame = d;
      for (const ControlDesign& other : kDialogDesign)
        if (other.id == design.frame) frame = Find<QWidget>(d, other.name);
      EXPECT_EQ(c->parentWidget(), frame) << "not inside its frame";
      EXPECT_EQ(c->pos(), QPoint(px(design.left), px(design.top)));
      EXPECT_TRUE(c->isVisible());
      // Labels size themselves to their captions, lists take their height from the font.
      const QSize designed(px(design.width), px(design.height));
      if (design.kind == ControlKind::Label)
        EXPECT_EQ(c->size(), c->sizeHint());
      else if (design.kind == ControlKind::DropDownList)
        EXPECT_EQ(c->width(), designed.width());
      else
        EXPECT_EQ(c->size(), designed);
      const QVariant caption = c->property(design.kind == ControlKind::Frame ? "title" : "text");
      if (*design.caption != '\0' || design.kind == ControlKind::Frame)
        EXPECT_EQ(caption.toString().toStdString(), design.caption);
    }
    EXPECT_FALSE(Find<QLabel>(d, "Image1")->pixmap().isNull()) << "no icon";
    EXPECT_TRUE(Find<QPushButton>(d, "OK")->isDefault());
    EXPECT_FALSE(Find<QPushButton>(d, "CmdResponse1")->isDefault());
    // The delay label does not run into the box, nor "Seconds" out of the dialog.
    EXPECT_LE(Find<QWidget>(d, "lblTimeDelay")->geometry().right(),
              Find<QWidget>(d, "TxtTimeDelay")->x());
    EXPECT_LE(Find<QWidget>(d, "Label1")->geometry().right(), d->width());

    // The lists, pick only, with their codes as item data, showing the defaults.
    auto entries = [](QComboBox* list) {
      std::string got = list->isEditable() ? "editable " : "";
      for (int i = 0; i < list->count(); ++i)
        got += (list->itemText(i) + "=" + list->itemData(i).toString() + ";").toStdString();
      return got + " shows " + list->currentText().toStdString();
    };
    EXPECT_EQ(entries(Find<QComboBox>(d, "cmbVerseSelection")),
              "From Begining to End=1;Random Chapter=2;Random Verse=3; shows Random Verse");
    EXPECT_EQ(entries(Find<QComboBox>(d, "cmbAnimation")),
              "Slide From Top=1;Slide From Bottom=2;Slide From Left=3;Slide From Right=4;"
              "Pop on Screen=5;Random Animation=1000; shows Random Animation");
    auto* slider = Find<QSlider>(d, "SldrSpeed");
    EXPECT_EQ(slider->orientation(), Qt::Horizontal);
    EXPECT_EQ(std::vector<int>({slider->value(), slider->minimum(), slider->maximum(),
                                slider->singleStep(), slider->pageStep(), slider->tickInterval()}),
              std::vector<int>({600, 0, 1000, 100, 200, 100}));
    EXPECT_NE(slider->tickPosition(), QSlider::NoTicks);
    EXPECT_EQ(Find<QLineEdit>(d, "TxtTimeDelay")->text(), "10");

    // Tab order as designed, starting from OK, which has the focus.
    EXPECT_EQ(NameOf(FocusOf(d)), "OK");
    std::vector<std::string> order;
    QWidget* w = Find<QWidget>(d, "OK");
    do {
      if ((w->focusPolicy() & Qt::TabFocus) && w->isVisible() && w->window() == d)
        order.push_back(NameOf(w));
      w = w->nextInFocusChain();
    } while (w != Find<QWidget>(d, "OK") && order.size() < 20);
    EXPECT_EQ(order, (std::vector<std::string>{"OK", "CmdFonts", "cmdColor", "TxtTimeDelay",
                                               "cmbAnimation", "SldrSpeed", "CmdResponse1",
                                               "cmbVerseSelection"}));

    // Esc presses nothing; Enter in the delay box presses OK.
    QTest::keyClick(FocusOf(d), Qt::Key_Escape);
    EXPECT_TRUE(d->isVisible());
    EXPECT_TRUE(run.store.writes.empty());
    QTest::keyClick(Find<QLineEdit>(d, "TxtTimeDelay"), Qt::Key_Return);
  });
  run.Show();
  EXPECT_TRUE(looked);
  EXPECT_TRUE(run.program.ended);
  EXPECT_EQ(run.system.endCount, 1);
  EXPECT_TRUE(run.system.messageBoxes.empty());
  EXPECT_EQ(run.store.writes.size(), 11u);
  EXPECT_EQ(run.Stored("Verse Selection", "type"), "3");
  EXPECT_EQ(run.Stored("Animation", "type"), "1000");
  EXPECT_EQ(run.Stored("Animation", "Speed"), "600");
  EXPECT_EQ(run.Stored("Time", "Delay"), "10000");
}

TEST(QtPreferencesDialog, TheSliderTakesKeysAsATrackBarAndSnapsAsTheUserMovesIt) {
  DialogRun run;
  run.store.values[{kApplicationName, "Animation", "Speed"}] = "350";
  When<QDialog>([&](QDialog* d) {
    auto* slider = Find<QSlider>(d, "SldrSpeed");
    std::vector<int> values{slider->value()};  // a stored 350 rests on 300
    for (Qt::Key key : {Qt::Key_Right, Qt::Key_PageDown, Qt::Key_Left, Qt::Key_PageUp, Qt::Key_Up,
                        Qt::Key_End, Qt::Key_Right, Qt::Key_Home, Qt::Key_PageUp, Qt::Key_Down}) {
      QTest::keyClick(slider, key);
      values.push_back(slider->value());
    }
    EXPECT_EQ(values, (std::vector<int>{300, 400, 600, 500, 300, 200, 1000, 1000, 0, 0, 100}));
    // A drag reports each position; the slider snaps down to its step.
    for (int dragged : {650, 999}) slider->setValue(dragged);
    EXPECT_EQ(slider->value(), 900);
    QTest::keyClick(slider, Qt::Key_Return);  // Enter on the slider presses OK
  });
  run.Show();
  EXPECT_EQ(run.Stored("Animation", "Speed"), "900");
}

TEST(QtPreferencesDialog, TheCloseBoxReadsNoControlAndSaves) {
  DialogRun run;
  When<QDialog>([&](QDialog* d) {
    Find<QComboBox>(d, "cmbAnimation")->setCurrentIndex(4);
    Find<QLineEdit>(d, "TxtTimeDelay")->setText("20");
    d->close();
  });
  run.Show();
  EXPECT_EQ(run.system.endCount, 1);
  EXPECT_EQ(run.Stored("Animation", "type"), "1000");
  EXPECT_EQ(run.Stored("Time", "Delay"), "10000");
}

TEST(QtPreferencesDialog, TheNumericTestFollowsTheUsersLocale) {
  const qt::QLocaleNumberParser german(QLocale(QLocale::German, QLocale::Germany));
  const qt::QLocaleNumberParser english(QLocale(QLocale::English, QLocale::UnitedStates));
  EXPECT_EQ(german.Parse("7,5"), 7.5);
  EXPECT_EQ(german.Parse(" 12 "), 12.0);
  EXPECT_FALSE(german.Parse("12s"));
  EXPECT_EQ(english.Parse("7.9"), 7.9);
  EXPECT_FALSE(english.Parse("7,5"));
  EXPECT_FALSE(english.Parse(""));
  EXPECT_FALSE(english.Parse("1e400"));
}

TEST(QtPreferencesDialog, ChoosersOpenOnTheSettingsRefuseSizesBeyondTheLimitsAndOutliveCancel) {
  DialogRun run;
  run.store.values[{kApplicationName, "Fonts", "Font Italic"}] = "True";
  run.store.values[{kApplicationName, "Time", "Delay"}] = "15500";
  std::string refusal;
  QFont opened;
  QColor openedColour;
  When<QDialog>([&](QDialog* d) {
    // Cancel in each chooser changes nothing.
    When<QFontDialog>([&](QFontDialog* chooser) {
      opened = chooser->currentFont();
      chooser->reject();
    });
    Find<QPushButton>(d, "CmdFonts")->click();
    When<QColorDialog>([&](QColorDialog* chooser) {
      openedColour = chooser->currentColor();
      chooser->reject();
    });
    Find<QPushButton>(d, "cmdColor")->click();
    EXPECT_EQ(run.program.settings.FontSize, 30);
    EXPECT_EQ(run.program.settings.FontColor, 128);

    // 49 is refused with a message and the chooser stays open; 12 is taken.
    When<QFontDialog>([&](QFontDialog* chooser) {
      QFont font = chooser->currentFont();
      font.setPointSizeF(49);
      chooser->setCurrentFont(font);
      When<QMessageBox>([&](QMessageBox* message) {
        refusal = message->text().toStdString();
        message->accept();
      });
      chooser->accept();
      EXPECT_TRUE(chooser->isVisible()) << "49 closed the chooser";
      font.setPointSizeF(12);
      font.setUnderline(true);
      chooser->setCurrentFont(font);
      chooser->accept();
    });
    Find<QPushButton>(d, "CmdFonts")->click();
    When<QColorDialog>([&](QColorDialog* chooser) {
      chooser->setCurrentColor(QColor(0, 128, 255));
      chooser->accept();
    });
    Find<QPushButton>(d, "cmdColor")->click();
    Find<QPushButton>(d, "CmdResponse1")->click();
  });
  run.Show();
  EXPECT_EQ(opened.pointSizeF(), 30);
  EXPECT_TRUE(opened.italic());
  EXPECT_FALSE(opened.bold() || opened.underline() || opened.strikeOut());
  // The chooser opens on the face "Traditional Arabic" is drawn with.
  EXPECT_EQ(opened.family(), QFontInfo(QFont("Traditional Arabic")).family());
  EXPECT_EQ(openedColour, QColor(128, 0, 0));
  EXPECT_EQ(refusal, "Size must be between 8 and 48 points.");
  EXPECT_EQ(run.Stored("Fonts", "Font Size"), "12");
  EXPECT_EQ(run.Stored("Fonts", "Font Italic"), "True");
  EXPECT_EQ(run.Stored("Fonts", "Font Underline"), "True");
  EXPECT_EQ(run.Stored("Fonts", "Font Name"), opened.family().toStdString());
  EXPECT_EQ(run.Stored("Fonts", "Font Color"), std::to_string(0 | (128 << 8) | (255 << 16)));
  EXPECT_EQ(run.Stored("Time", "Delay"), "15500");  // Cancel
}

TEST(QtPreferencesDialog, ACloseAskedForWhileAChooserIsOpenSavesOnceTheChooserCloses) {
  // SIGTERM closes every window, the chooser first; the dialog then unloads.
  DialogRun run;
  bool openAfterClose = false;
  When<QDialog>([&](QDialog* d) {
    When<QColorDialog>([&](QColorDialog* chooser) {
      d->close();
      openAfterClose = d->isVisible() && !run.program.ended;
      chooser->setCurrentColor(QColor(0, 0, 255));
      chooser->accept();
    });
    Find<QPushButton>(d, "cmdColor")->click();
  });
  run.Show();
  EXPECT_TRUE(openAfterClose);
  EXPECT_TRUE(run.program.ended);
  EXPECT_EQ(run.system.endCount, 1);
  EXPECT_EQ(run.Stored("Fonts", "Font Color"), std::to_string(255 << 16));
}

}  // namespace
}  // namespace velun

// One application for all the tests, made before and ended after them.
int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  return RUN_ALL_TESTS();
}
