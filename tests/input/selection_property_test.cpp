// Random mixes of keys, clicks, drags, page arrows and commands: after every
// step the work part's list is intact, nothing lies past its end marker and
// the cursor's bar position equals a count from the part's start.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "editor_fixture.h"

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
          editor.score().selectWorkPart(pick(2));
          return "part switch";
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
  }
}

INSTANTIATE_TEST_SUITE_P(Seeds, SelectionProperty, ::testing::Values(1u, 7u, 42u, 2026u));

}  // namespace
}  // namespace kelvara::testing
