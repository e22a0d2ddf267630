// Random mixes of keys, clicks, drags, page arrows and commands: after every
// step the work part's list is intact, nothing lies past its end marker, the
// cursor's bar position equals a count from the part's start and its
// accidental state a count from the start of its page, with standard
// notation on or off.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "editor/settings_commands.h"
#include "editor_fixture.h"
#include "score/bar_math.h"
#include "score/standard_notation.h"
#include "support/scripted_dialogs.h"

namespace kelvara::testing {
namespace {

class SelectionProperty : public EditorTest, public ::testing::WithParamInterface<unsigned> {
 protected:
  int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }

  // One user action; returns its name for the failure message.
  std::string step() {
    static constexpr int kNoteKeys[] = {'Z', 'X', 'C', 'V', 'B', 'N', 'M', 'S', 'F', 'G'};
    KeyInput& keys = editor.input();
    const int32_t width = view.viewWidth();
    switch (pick(24)) {
      case 0:
      case 1:
      case 2: {
        const int key = kNoteKeys[pick(10)];
        keys.FormKeyDown(key, {});
        keys.FormKeyUp(key, {});
        return "note";
      }
      case 3:
        press(vk::kSpace);
        return "rest";
      case 4:
        press(vk::kDigit1 + pick(7));
        return "length";
      case 5:
        keys.SpeedButtonClick(8 + pick(4));
        return "mode";
      case 6:
        press(pick(2) ? vk::kLeft : vk::kRight);
        return "arrow";
      case 7:
      case 8:
        shiftPress(pick(3) ? vk::kRight : vk::kLeft);
        return "shift arrow";
      case 9:
        press(pick(3) == 0 ? vk::kShift : pick(2) ? vk::kBack : vk::kEscape, {.shift = false});
        return "shift/back/escape";
      case 10:
        press(vk::kDelete);
        return "delete";
      case 11: {
        static constexpr int kCtrl[] = {'C', 'X', 'V'};
        ctrlPress(kCtrl[pick(3)]);
        return "clipboard key";
      }
      case 12:
        if (pick(2)) {
          editor.renderer().BitBtn9Click();
        } else {
          editor.renderer().BitBtn10Click();
        }
        return "page arrow";
      case 13:
        click(pick(width), pick(3) == 0);
        return "click";
      case 14: {
        const int32_t from = pick(width);
        editor.mouse().Image1MouseDown(MouseButton::Left, false, from);
        for (int i = 0, n = pick(4); i < n; ++i) editor.mouse().Image1MouseMove(pick(width));
        editor.mouse().Image1MouseUp(MouseButton::Left);
        return "drag";
      }
      case 15: {
        static constexpr int kSpans[] = {0, 1, 2, 4, 8, 16};
        editor.tuplets().Change_renpu(kSpans[pick(6)]);
        return "tuplet";
      }
      case 16: {
        EditMenu& menu = editor.editMenu();
        switch (pick(4)) {
          case 0:
            dialogs.lengths.push_back({pick(2) ? "1/16" : "x", pick(2) == 0});
            menu.Syu_dlClick(dialogs);
            break;
          case 1:
            dialogs.velocities.push_back({std::to_string(pick(128)), std::to_string(pick(130))});
            menu.Syu_velClick(dialogs);
            break;
          case 2: {
            TailForm tail;
            tail.kind = static_cast<TailKind>(pick(3));
            tail.vibratoPeriod = std::to_string(pick(6));
            tail.shiftAmount = "0.5";
            dialogs.tails.push_back(tail);
            menu.Syu_yoClick(dialogs);
            break;
          }
          default:
            menu.Paste1Click();
        }
        dialogs.lengths.clear();
        dialogs.velocities.clear();
        dialogs.tails.clear();
        return "modifier";
      }
      case 17:
        editor.input().percussionButtonClick(pick(kPadCount));
        return "pad";
      case 18:
        editor.mouse().Image1MouseDown(MouseButton::Right, false, pick(width));
        return "right click";
      case 19:
        editor.input().Timer2Timer();
        return "blink";
      case 20:
        if (pick(8) == 0) {
          static constexpr int kItems[] = {0, 1, 10};  // item 10: the percussion part
          editor.score().selectWorkPart(kItems[pick(3)]);
          return "part switch";
        }
        if (pick(4) == 0) {
          // The credit dialog's box, ticked or cleared.
          AuxiliaryOptions options{true, true, !s().StandardNotation};
          commandDialogs.form5 = [&](const AuxiliaryOptions&,
                                     const std::function<void(const AuxiliaryOptions&)>& changed) {
            changed(options);
            return options;
          };
          settings.BitBtn6Click();
          return "standard notation switched";
        }
        return "nothing";
      case 21: {
        // What users do to reach another page's notes: a page arrow, then a
        // selection with the keys, then a command on it.
        if (pick(2)) {
          editor.renderer().BitBtn9Click();
        } else {
          editor.renderer().BitBtn10Click();
        }
        const int key = pick(2) ? vk::kRight : vk::kLeft;
        for (int i = 0, n = 1 + pick(3); i < n; ++i) shiftPress(key);
        static constexpr int kCommands[] = {vk::kDelete, 'C', 'X', 'V'};
        const int command = kCommands[pick(4)];
        if (command == vk::kDelete) {
          press(command);
        } else {
          ctrlPress(command);
        }
        return "page arrow, selection and command";
      }
      case 22:
        for (int i = 0, n = pick(40); i < n; ++i) press(vk::kLeft);
        return "run left";
      default:
        for (int i = 0, n = pick(20); i < n; ++i) press(vk::kRight);
        return "run right";
    }
  }

  // The accidentals in force at the cursor counted afresh from the start
  // of the page the cursor stands on: the page shown, or the one the page
  // arrows left when another is shown.
  LetterAccidentals countedAccidentals() {
    const int p = s().WorkPart;
    const int32_t shown = s().PageFirstBar;
    const bool onShown = pageFirstBarFor(s().BarNo[p], s().BarsPerPage) == shown ||
                         (s().BarNo[p] == shown + s().BarsPerPage && s().BarFill[p] == 0);
    if (onShown) return countAccidentals(s(), p, s().PageNode, s().PageFill);
    // The page of the cursor's bar, laid out as a page redraw lays it out.
    const int32_t firstBar = pageFirstBarFor(s().BarNo[p], s().BarsPerPage);
    const int32_t barLen = s().BarLen();
    const TOnpu* node = first();
    int32_t bar = 1, fill = 0;
    while (bar < firstBar && !isEndMarker(*node)) {
      advanceBar(bar, fill, barContribution(*node), barLen);
      node = node->Next;
    }
    if (!(bar == firstBar && fill == 0) && node->Prev->Pitch[0] >= -1) {
      node = node->Prev;
      retreatBar(bar, fill, barContribution(*node), barLen);
    }
    return countAccidentals(s(), p, node, fill);
  }

  ScriptedDialogs commandDialogs;
  SettingsCommands settings{editor, commandDialogs};
  std::mt19937 random_{GetParam()};
};

TEST_P(SelectionProperty, NoMixOfInputsBreaksThePart) {
  // Two pages and a half of notes to start from, so page arrows, clicks and
  // selections meet page boundaries.
  fill(160, 8);
  for (int i = 0; i < 700; ++i) {
    const std::string what = step();
    ASSERT_TRUE(scoreIntact(s(), s().WorkPart)) << "step " << i << ": " << what;
    ASSERT_EQ(s().Busy, 0) << what;
    ASSERT_EQ(s().PageFirstBar % s().BarsPerPage, 1) << what;
    ASSERT_EQ(s().AccState, countedAccidentals())
        << "step " << i << ": " << what << (s().StandardNotation ? ", standard notation" : "")
        << " page " << s().PageFirstBar << " cursor bar " << s().BarNo[s().WorkPart] << "/"
        << s().BarFill[s().WorkPart] << " part " << s().WorkPart << " sel " << int(s().SelActive);
  }
}

INSTANTIATE_TEST_SUITE_P(Seeds, SelectionProperty, ::testing::Values(1u, 7u, 42u, 2026u));

}  // namespace
}  // namespace kelvara::testing
