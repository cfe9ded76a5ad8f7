#pragma once
// The null platform's preferences dialog: controls that keep their state in
// plain members, choosers that answer as a test scripts them, and a rig that
// wires them to frmConfig over a fresh settings record.
#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "fakes/fake_system.h"
#include "prefs/dialog_controls.h"
#include "prefs/frm_config.h"
#include "prefs/number_text.h"
#include "startup/checked.h"
#include "startup/failure.h"
#include "startup/program.h"
#include "startup/settings.h"

namespace velun::fakes {

class FakeDialogWindow : public DialogWindow {
 public:
  float ScreenWidth() const override { return screenWidth; }
  float ScreenHeight() const override { return screenHeight; }
  float Width() const override { return width; }
  float Height() const override { return height; }
  void Move(std::int32_t newLeft, std::int32_t newTop) override {
    left = newLeft;
    top = newTop;
    ++moveCount;
  }

  float screenWidth = 19200;  // 1280 x 1024 pixels at 15 twips a pixel
  float screenHeight = 15360;
  float width = 5322;  // 5232 x 4344 client area with a fixed border and a caption
  float height = 4794;
  std::int32_t left = 0;
  std::int32_t top = 0;
  int moveCount = 0;
};

// Like the platform's list: a position that does not exist is a failure.
class FakeDropDownList : public DropDownList {
 public:
  struct Entry {
    std::string text;
    std::int32_t data = 0;
  };

  void AddItem(const std::string& text) override { entries.push_back({text, 0}); }
  void SetItemData(std::int32_t position, std::int32_t data) override {
    At(entries, position).data = data;
  }
  void SetSelectedIndex(std::int32_t position) override {
    if (position != -1) At(entries, position);
    selected = position;
  }
  std::int32_t SelectedIndex() const override { return selected; }
  std::int32_t Count() const override { return static_cast<std::int32_t>(entries.size()); }
  std::int32_t SelectedItemData() const override {
    if (selected < 0 || selected >= Count()) RaiseSubscriptOutOfRange();
    return entries[static_cast<std::size_t>(selected)].data;
  }

  // The user picks the entry with this text.
  void Pick(const std::string& text) {
    for (std::size_t i = 0; i < entries.size(); ++i) {
      if (entries[i].text == text) selected = static_cast<std::int32_t>(i);
    }
  }
  std::string SelectedText() const {
    return selected < 0 ? std::string() : entries[static_cast<std::size_t>(selected)].text;
  }

  std::vector<Entry> entries;
  std::int32_t selected = -1;
};

class FakeTextBox : public TextBox {
 public:
  std::string Text() const override { return text; }
  void SetText(const std::string& newText) override { text = newText; }

  std::string text = "Text1";  // the text a box has before the dialog empties it
};

// Like a track bar: a value set from the program is kept within the range and
// raises no change event; a move by the user does.
class FakeSlider : public Slider {
 public:
  std::int32_t Value() const override { return value; }
  void SetValue(std::int32_t newValue) override {
    value = std::clamp(newValue, min, max);
    ++setValueCount;
  }
  void SetRange(std::int32_t newMin, std::int32_t newMax) override {
    min = newMin;
    max = newMax;
    value = std::clamp(value, min, max);
  }
  void SetSmallChange(std::int32_t step) override { smallChange = step; }
  void SetLargeChange(std::int32_t step) override { largeChange = step; }
  void SetTickFrequency(std::int32_t every) override { tickFrequency = every; }

  // The user drags the slider (or presses a key) to this value.
  void UserMove(std::int32_t newValue) {
    const std::int32_t before = value;
    value = std::clamp(newValue, min, max);
    if (value != before && onChange) onChange();
  }

  std::int32_t value = 0;
  std::int32_t min = 0;
  std::int32_t max = 10;
  std::int32_t smallChange = 1;
  std::int32_t largeChange = 5;
  std::int32_t tickFrequency = 1;
  int setValueCount = 0;
  std::function<void()> onChange;
};

// Answers each chooser as scripted: a value confirms, nothing cancels, and
// failing makes the chooser unable to open.
class FakeCommonDialog : public CommonDialog {
 public:
  struct ColorCall {
    std::int32_t flags = 0;
    std::int32_t color = 0;
  };
  struct FontCall {
    std::int32_t flags = 0;
    std::int16_t min = 0;
    std::int16_t max = 0;
    FontChoice start;
  };

  std::optional<std::int32_t> ShowColor(std::int32_t flags, std::int32_t color) override {
    colorCalls.push_back({flags, color});
    if (failing) RaiseInvalidArgument();
    return colorAnswer;
  }
  std::optional<FontChoice> ShowFont(std::int32_t flags, std::int16_t min, std::int16_t max,
                                     const FontChoice& start) override {
    fontCalls.push_back({flags, min, max, start});
    if (failing) RaiseInvalidArgument();
    return fontAnswer;
  }

  std::optional<std::int32_t> colorAnswer;
  std::optional<FontChoice> fontAnswer;
  bool failing = false;
  std::vector<ColorCall> colorCalls;
  std::vector<FontCall> fontCalls;
};

// A whole preferences dialog on the null platform: the settings as loaded from
// the store, the controls, and frmConfig wired to them (the slider's user moves
// raise SldrSpeed_Change). Load() runs the dialog's load.
struct DialogRig {
  explicit DialogRig(LocaleNumberParser parser = LocaleNumberParser(".", ","))
      : numberParser(std::move(parser)),
        dialog(program, store, system, window, cmbVerseSelection, cmbAnimation, TxtTimeDelay,
               SldrSpeed, CommonDialog1, numberParser) {
    program.settings.LineBreak = "\r\n";
    SldrSpeed.onChange = [this] { dialog.SldrSpeed_Change(); };
  }

  // Fills the settings from the store (defaults for missing keys) and loads the dialog.
  void Load() {
    LoadSettings(program.settings, store);
    store.reads.clear();
    dialog.Form_Load();
  }

  std::string Stored(const std::string& section, const std::string& key) const {
    const auto it = store.values.find({kApplicationName, section, key});
    return it == store.values.end() ? std::string("<missing>") : it->second;
  }

  Program program;
  MemorySettingsStore store;
  FakeSystem system;
  FakeDialogWindow window;
  FakeDropDownList cmbVerseSelection;
  FakeDropDownList cmbAnimation;
  FakeTextBox TxtTimeDelay;
  FakeSlider SldrSpeed;
  FakeCommonDialog CommonDialog1;
  LocaleNumberParser numberParser;
  frmConfig dialog;
};

}  // namespace velun::fakes
