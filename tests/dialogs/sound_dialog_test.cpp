// The sound dialog on Qt's offscreen platform, driven through its controls.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <functional>

#include "dialogs/sound_dialog.h"
#include "sound/fake_midi_input.h"
#include "sound/recording_midi_output.h"

namespace kelvara::testing {
namespace {

struct ScriptedQuestions : UserQuestions {
  std::vector<std::string> errors, informs;
  void inform(const std::string& text) override { informs.push_back(text); }
  void error(const std::string& text) override { errors.push_back(text); }
  bool confirm(const std::string&, const std::string&) override { return true; }
  bool askYesNo(const std::string&) override { return true; }
};

class SoundDialog : public ::testing::Test {
 protected:
  SoundDialog() {
    for (int p = 0; p < kPartCount; ++p) {
      s.PartProgram[p] = p == kPercussionPart ? 0 : p + 1;
      s.PartVolume[p] = 100;
      s.PartPan[p] = 10;
    }
  }

  // Runs the command; `whileOpen` works the dialog's controls once it shows.
  bool run(const std::function<void(TForm2&)>& whileOpen, MidiInputChoice* input = nullptr) {
    QTimer::singleShot(0, [&] {
      auto* d = qobject_cast<TForm2*>(QApplication::activeModalWidget());
      ASSERT_NE(d, nullptr);
      whileOpen(*d);
    });
    return runSoundDialog(dialog, s, midi, &questions, input);
  }

  // The volume box in the row labelled `label`, found by where it is shown.
  static QLineEdit* volumeBoxInRow(TForm2& d, const QString& label) {
    auto* grid = qobject_cast<QGridLayout*>(d.findChild<QGroupBox*>()->layout());
    for (int row = 0; row < grid->rowCount(); ++row) {
      auto* item = grid->itemAtPosition(row, 0);
      auto* text = item != nullptr ? qobject_cast<QLabel*>(item->widget()) : nullptr;
      if (text != nullptr && text->text() == label) {
        return qobject_cast<QLineEdit*>(grid->itemAtPosition(row, 2)->widget());
      }
    }
    return nullptr;
  }

  static void type(QLineEdit* box, const QString& text) {
    box->selectAll();
    QTest::keyClicks(box, text);
  }

  EditorState s;
  RecordingMidiOutput midi{3};
  ScriptedQuestions questions;
  TForm2 dialog{midi, nullptr, &questions};
};

TEST_F(SoundDialog, ShowsEveryDeviceAndTheVoiceListsWithANumberedFixedPitchEntryPerVoice) {
  EXPECT_EQ(dialog.windowTitle(), "MIDI音源");
  ASSERT_EQ(dialog.ComboBox1->count(), 3);
  EXPECT_EQ(dialog.ComboBox1->itemText(2), "Recorder 2");
  for (int part = 0; part < kPartCount; ++part) {
    QComboBox* list = dialog.voiceList(part);
    if (part == kPercussionPart) {
      EXPECT_EQ(list, nullptr);
      continue;
    }
    ASSERT_EQ(list->count(), 128);
    EXPECT_EQ(list->itemText(127), "127: Gun Shot");
    // The numbers line up: spaces, digits and letters are equally wide (some
    // monospaced fonts do not call themselves fixed-pitch, so widths are compared).
    const QFontMetrics metrics(list->font());
    EXPECT_EQ(metrics.horizontalAdvance("  0: Piano 1"), metrics.horizontalAdvance("127: Gun Sho"));
    QSlider* bar = dialog.panBar(part);
    EXPECT_EQ(bar->minimum(), 0);
    EXPECT_EQ(bar->maximum(), 20);
    EXPECT_EQ(bar->tickInterval(), 1);
  }
  EXPECT_EQ(dialog.findChild<QComboBox*>("ComboBox11"), dialog.voiceList(10));
}

TEST_F(SoundDialog, CancelChangesNothingAndLeavesTheOutputAlone) {
  const auto before = std::tuple(s.MidiDevice, s.PartProgram, s.PartVolume, s.PartPan);
  EXPECT_FALSE(run([](TForm2& d) {
    d.ComboBox1->setCurrentIndex(2);
    for (int part = 0; part < kPartCount; ++part) {
      if (d.voiceList(part) != nullptr) d.voiceList(part)->setCurrentIndex(100);
      type(d.volumeBox(part), "5");
      d.panBar(part)->setValue(0);
    }
    QTest::mouseClick(d.CancelButton, Qt::LeftButton);
  }));
  EXPECT_EQ(std::tuple(s.MidiDevice, s.PartProgram, s.PartVolume, s.PartPan), before);
  EXPECT_TRUE(midi.events().empty());

  // The next time the dialog shows the state again, not what was cancelled.
  run([](TForm2& d) {
    EXPECT_EQ(d.ComboBox1->currentIndex(), 0);
    EXPECT_EQ(d.volumeBox(3)->text(), "100");
    d.reject();
  });
}

TEST_F(SoundDialog, PanBarEndsAndMiddleStore0And20And10) {
  EXPECT_TRUE(run([](TForm2& d) {
    QTest::keyClick(d.panBar(0), Qt::Key_Home);
    QTest::keyClick(d.panBar(1), Qt::Key_End);
    QTest::keyClick(d.panBar(2), Qt::Key_End);
    for (int i = 0; i < 10; ++i) QTest::keyClick(d.panBar(2), Qt::Key_Left);
    QTest::mouseClick(d.OkButton, Qt::LeftButton);
  }));
  EXPECT_EQ(s.PartPan[0], 0);
  EXPECT_EQ(s.PartPan[1], 20);
  EXPECT_EQ(s.PartPan[2], 10);
}

TEST_F(SoundDialog, PercussionRowIsPartNineAndTheTenthRowIsPartTen) {
  EXPECT_TRUE(run([](TForm2& d) {
    QLineEdit* percussion = volumeBoxInRow(d, "パーカッション");
    QLineEdit* tenth = volumeBoxInRow(d, "10パート");
    ASSERT_NE(percussion, nullptr);
    ASSERT_NE(tenth, nullptr);
    EXPECT_EQ(percussion->objectName(), "Edit11");
    EXPECT_EQ(tenth->objectName(), "Edit10");
    type(percussion, "33");
    type(tenth, "44");
    d.voiceList(10)->setCurrentIndex(56);
    d.ComboBox1->setCurrentIndex(1);
    QTest::mouseClick(d.OkButton, Qt::LeftButton);
  }));
  EXPECT_EQ(s.PartVolume[9], 33);
  EXPECT_EQ(s.PartVolume[10], 44);
  EXPECT_EQ(s.PartProgram[10], 56);
  EXPECT_EQ(s.PartProgram[9], 0);
  EXPECT_EQ(midi.openDevice(), 1);
  EXPECT_EQ(midi.messages().back(), 0xCAu + 56u * 256u);
}

TEST_F(SoundDialog, BadVolumeKeepsTheDialogOpenOnThatBoxAndStoresNothing) {
  const auto before = std::tuple(s.MidiDevice, s.PartProgram, s.PartVolume, s.PartPan);
  bool stayedOpen = false;
  bool focused = false;
  EXPECT_FALSE(run([&](TForm2& d) {
    d.ComboBox1->setCurrentIndex(2);
    d.panBar(0)->setValue(3);
    type(d.volumeBox(4), "abc");
    type(d.volumeBox(7), "200");
    QTest::mouseClick(d.OkButton, Qt::LeftButton);
    stayedOpen = d.isVisible();
    focused = d.focusWidget() == d.volumeBox(4);
    d.reject();
  }));
  EXPECT_TRUE(stayedOpen);
  EXPECT_TRUE(focused);
  EXPECT_EQ(questions.errors,
            (std::vector<std::string>{"5パートの音量 'abc' は整数ではありません"}));
  EXPECT_EQ(std::tuple(s.MidiDevice, s.PartProgram, s.PartVolume, s.PartPan), before);
  EXPECT_TRUE(midi.events().empty());
}

TEST_F(SoundDialog, OutOfRangeVolumeIsRefusedUntilCorrected) {
  EXPECT_TRUE(run([](TForm2& d) {
    type(d.volumeBox(0), "128");
    QTest::mouseClick(d.OkButton, Qt::LeftButton);
    ASSERT_TRUE(d.isVisible());
    type(d.volumeBox(0), "127");
    QTest::mouseClick(d.OkButton, Qt::LeftButton);
  }));
  ASSERT_EQ(questions.errors.size(), 1u);
  EXPECT_NE(questions.errors[0].find("'128'"), std::string::npos);
  EXPECT_EQ(s.PartVolume[0], 127);
}

TEST_F(SoundDialog, MidiInputOffersNoneAndThePortsAndOkOpensTheOneChosen) {
  FakeMidiInput input;
  const std::string keys = "Keys:Keys MIDI 1 24:0";
  input.present = {{keys, "Keys MIDI 1"}};
  MidiInputQueue queue;
  MidiInputChoice choice(input, queue);
  auto choose = [&](int item, QPushButton* TForm2::*button) {
    return run(
        [&](TForm2& d) {
          ASSERT_EQ(d.InputList->count(), 2);
          EXPECT_EQ(d.InputList->itemText(0), "なし");
          EXPECT_EQ(d.InputList->itemText(1), "Keys MIDI 1");
          d.InputList->setCurrentIndex(item);
          QTest::mouseClick(d.*button, Qt::LeftButton);
        },
        &choice);
  };
  EXPECT_FALSE(choose(1, &TForm2::CancelButton));
  EXPECT_EQ(input.opened, "");
  EXPECT_TRUE(choose(1, &TForm2::OkButton));
  EXPECT_EQ(input.opened, keys);
  EXPECT_TRUE(choose(0, &TForm2::OkButton));
  EXPECT_EQ(input.opened, "");

  // The output's own port cannot be the input too: what is sent would come back.
  input.present.push_back({"Rec:Recorder 2 30:0", "Recorder 2"});
  EXPECT_TRUE(run(
      [](TForm2& d) {
        d.ComboBox1->setCurrentIndex(2);
        d.InputList->setCurrentIndex(2);
        QTest::mouseClick(d.OkButton, Qt::LeftButton);
      },
      &choice));
  EXPECT_EQ(input.opened, "");
  ASSERT_EQ(questions.informs.size(), 1u);
  EXPECT_NE(questions.informs[0].find("Recorder 2"), std::string::npos);
  input.present.pop_back();

  // No ports (no ALSA sequencer): "なし" alone.
  input.present.clear();
  run(
      [](TForm2& d) {
        EXPECT_EQ(d.InputList->count(), 1);
        d.reject();
      },
      &choice);
}

}  // namespace
}  // namespace kelvara::testing
