#include "input/edit_menu.h"
#include "score/ui_text.h"

#include <string>

namespace kelvara {

EditMenuItems EditMenu::itemStates() const {
  const bool selection = s_.SelActive != 0;
  return {selection, selection, true, selection, selection, selection};
}

template <typename Command>
void EditMenu::run(Command command) {
  if (!s_.Busy) {
    s_.Busy = 1;
    command();
    s_.Busy = 0;
  }
  view_.focusNoteEntry();
}

void EditMenu::Cut1Click() {
  run([this] { score_.Cut1Click(); });
}
void EditMenu::Copy1Click() {
  run([this] { score_.Copy1Click(); });
}
void EditMenu::Paste1Click() {
  run([this] { score_.Paste1Click(); });
}
void EditMenu::Delete1Click() {
  run([this] { score_.Delete1Click(); });
}

void EditMenu::renpu(int32_t d) {
  run([this, d] {
    if (!tuplets_.Change_renpu(d)) {
      questions_.error(fillText(uiText("kelvara::Input",
                                       "連符にできるのは %1 個までです。"
                                       "選択範囲を短くしてください。"),
                                {std::to_string(kMaxTupletMembers)}));
    }
  });
}
void EditMenu::Ren_1Click() {
  renpu(1);
}
void EditMenu::Ren_2Click() {
  renpu(2);
}
void EditMenu::Ren_4Click() {
  renpu(4);
}
void EditMenu::Ren_8Click() {
  renpu(8);
}
void EditMenu::Ren_16Click() {
  renpu(16);
}
void EditMenu::Ren_reClick() {
  renpu(0);
}

void EditMenu::Syu_dlClick(ModifierDialogs& dialogs) {
  run([&] { modifiers_.Change_dl(dialogs); });
}
void EditMenu::Syu_velClick(ModifierDialogs& dialogs) {
  run([&] { modifiers_.Change_vel(dialogs); });
}
void EditMenu::Syu_yoClick(ModifierDialogs& dialogs) {
  run([&] { modifiers_.Change_yoin(dialogs); });
}

}  // namespace kelvara
